#pragma once
// Streams on memory in tests: built from bytes a test wrote, and read back whole.
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "classlib/ComPtr.h"

namespace vtest {

using Bytes = std::vector<BYTE>;

// A stream on memory holding `bytes`, positioned at its start.
ql::ComPtr<IStream> StreamOn(const Bytes& bytes);
// Everything a stream holds, from its start.
Bytes StreamBytes(IStream* stream);

}  // namespace vtest
