#pragma once
// The entry list of an enumerated parameter (EnumEntryArray): a VARIANT of VT_ARRAY|VT_BSTR with one
// dimension, one entry per string, each a decimal code, a semicolon and the built-in text ("8;Auto"),
// in the order of the parameter's entry table (neither sorted nor unique: a lookup takes the first entry
// with a code). Entries are addressed by position from the start of the array's data, whatever its lower
// bound.
//
// An entry is read in the system's ANSI code page: the code with sscanf "%ld;" (leading white space and
// a sign allowed, so "0x10;x" reads as code 0), the text is everything after the first semicolon, unchanged
// (" 5 ;t" gives code 5 and text "t", "5; t" text " t"), or the whole entry when it has no semicolon. An
// entry without a leading number, an empty one and a null one are malformed.
//
// The list is only read (its data locked briefly); it must not change while it is read. Texts handed out
// are new BSTRs that the caller frees; the output BSTR is overwritten without being freed. Stateless.
#include <windows.h>

#include <oleauto.h>

constexpr VARTYPE kEnumEntryArrayType = VT_ARRAY | VT_BSTR;

// S_OK with the number of entries. *count is 0 first and on every failure: E_INVALIDARG for a value that
// is no entry list, has other than one dimension or whose array does not hold texts it owns (it is then
// not read), E_UNEXPECTED for a null array, E_POINTER for a null count.
HRESULT GetEnumListCount(const VARIANT& list, ULONG* count) noexcept;

// The code and text of the entry at `index`. The list checks of GetEnumListCount; E_UNEXPECTED for an
// index beyond the list or a malformed entry; E_OUTOFMEMORY when the text cannot be made; E_POINTER for a
// null output. The outputs are written only on S_OK.
HRESULT GetEnumListEntry(const VARIANT& list, ULONG index, long* code, BSTR* text) noexcept;

// The first entry whose code is `value`: true with its position and text. False when no entry carries the
// code, when the list is not a one-dimensional entry list with elements, when an entry before it is
// malformed (the search ends there), when the text cannot be made, or for a null output; the outputs are
// then untouched.
bool GetEnumEntryByValue(const VARIANT& list, long value, ULONG* index, BSTR* text) noexcept;
