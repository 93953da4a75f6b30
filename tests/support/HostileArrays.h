#pragma once
// Arrays that do not hold what their VARIANT claims, as a broken or hostile caller may pass them: the shapes
// that a reader of a caller's array must refuse before it reads anything. Each comes as a VARIANT of
// VT_ARRAY|`claimed` (VT_VARIANT or VT_UI1 are the claims the readers meet) with `count` elements, element
// i standing for `texts`[i % texts.size()]:
// - "elements the caller owns": an array made by SafeArrayAllocDescriptorEx + SafeArrayAllocData, which
//   records its element type but owns none of its elements; they are the texts themselves, as VARIANTs
//   holding them where VARIANTs are claimed and as texts otherwise;
// - "DECIMALs": an array of DECIMALs whose bytes spell VARIANTs holding the texts;
// - "wide elements": elements of 1024 bytes, each starting with a VARIANT that holds a text;
// - "empty elements": elements 0 bytes wide, whose data lies on a page that is only reserved, so that any
//   read of it faults;
// - "texts": an array of texts the platform owns, copies of the texts.
// Clearing the VARIANT frees only what the platform owns, never `texts` themselves, which must not be empty.
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "tests/support/TestVariants.h"

namespace vtest {

std::vector<NamedValue> HostileArrays(VARTYPE claimed, const std::vector<BSTR>& texts, ULONG count);

// A sound byte string for the same readers: `count` bytes 0x41, 0x42, ... ("ABC...").
ql::Variant LetterBytes(size_t count);

}  // namespace vtest
