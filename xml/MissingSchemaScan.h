#pragma once
// Finds the schema file names in the reason text of a "schema not found" parse error.
//
// The parser names a schema it could not find in single quotes ("... resource 'DTMFunctionCallSchema.xml'
// ..."). The scan looks for the first quoted name from the start of each line of the reason, so a name
// that stands on a later line is found again from every earlier line start; adding a schema twice is the
// collection's business.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string_view>

// A name longer than this does not fit a path buffer with its terminating zero; it ends the scan as a
// malformed reason instead of being cut.
inline constexpr std::size_t kMaxSchemaNameLength = MAX_PATH - 1;

using SchemaNameSink = std::function<HRESULT(std::wstring_view name)>;

// Calls `addName` for the first single-quoted name found from each line start, in order.
// S_OK when the scan runs out (no quote, a quote at the line start, or no further line);
// E_FAIL at a quote that is never closed, an empty name or a name longer than kMaxSchemaNameLength;
// otherwise the first result of `addName` that is not S_OK (S_FALSE included), which ends the scan.
HRESULT ScanMissingSchemaNames(std::wstring_view reason, const SchemaNameSink& addName);
