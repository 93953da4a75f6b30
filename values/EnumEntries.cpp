#include "values/EnumEntries.h"

#include <mbstring.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "values/AnsiText.h"

namespace {

HRESULT CountEntries(const VARIANT& list, ULONG* count) noexcept {
    *count = 0;
    QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&list) != kEnumEntryArrayType);
    QL_RETURN_HR_IF(E_UNEXPECTED, !list.parray);
    QL_RETURN_HR_IF(E_INVALIDARG, ::SafeArrayGetDim(list.parray) != 1);
    *count = list.parray->rgsabound[0].cElements;
    return S_OK;
}

// The entry at `index` in the ANSI code page, up to its first zero character.
HRESULT ReadNarrowEntry(SAFEARRAY* array, ULONG index, std::string& entry) noexcept {
    ql::SafeArrayData<const BSTR> entries(array);
    QL_RETURN_IF_FAILED(entries.Status());
    const BSTR wide = entries[index];
    QL_RETURN_HR_IF(E_UNEXPECTED, !wide);
    return WideToAnsi(std::wstring_view(wide, std::wcslen(wide)), entry);
}

// Reads the entry at `index` of a list whose checks have passed and that has more than `index` entries.
HRESULT ReadEntry(SAFEARRAY* array, ULONG index, long* code, ql::Bstr& text) noexcept {
    std::string entry;
    QL_RETURN_IF_FAILED(ReadNarrowEntry(array, index, entry));
    long parsed = 0;
    QL_RETURN_HR_IF(E_UNEXPECTED, std::sscanf(entry.c_str(), "%ld;", &parsed) != 1);
    // The first semicolon as a character of the code page, never the trail byte of a double-byte one.
    const auto* start = reinterpret_cast<const unsigned char*>(entry.c_str());
    const unsigned char* semicolon = ::_mbschr(start, ';');
    std::string_view textPart(entry);
    if (semicolon) textPart.remove_prefix(static_cast<size_t>(semicolon - start) + 1);
    QL_RETURN_IF_FAILED(AnsiToBstr(textPart, text));
    *code = parsed;
    return S_OK;
}

}  // namespace

HRESULT GetEnumListCount(const VARIANT& list, ULONG* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    return CountEntries(list, count);
}

HRESULT GetEnumListEntry(const VARIANT& list, ULONG index, long* code, BSTR* text) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !code || !text);
    ULONG count = 0;
    QL_RETURN_IF_FAILED(CountEntries(list, &count));
    QL_RETURN_HR_IF(E_UNEXPECTED, index >= count);
    long entryCode = 0;
    ql::Bstr entryText;
    QL_RETURN_IF_FAILED(ReadEntry(list.parray, index, &entryCode, entryText));
    *code = entryCode;
    *text = entryText.Detach();
    return S_OK;
}

bool GetEnumEntryByValue(const VARIANT& list, long value, ULONG* index, BSTR* text) noexcept {
    if (!index || !text) return false;
    ULONG count = 0;
    if (FAILED(CountEntries(list, &count))) return false;
    for (ULONG position = 0; position < count; ++position) {
        long code = 0;
        ql::Bstr entryText;
        if (FAILED(ReadEntry(list.parray, position, &code, entryText))) return false;
        if (code == value) {
            *index = position;
            *text = entryText.Detach();
            return true;
        }
    }
    return false;
}
