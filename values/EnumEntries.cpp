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

// Reads the code of the entry at `index` of a list whose checks have passed and that has more than `index`
// entries; `entry` keeps the entry's text in the code page for its text part.
HRESULT ReadEntryCode(SAFEARRAY* array, ULONG index, std::string& entry, long* code) noexcept {
    QL_RETURN_IF_FAILED(ReadNarrowEntry(array, index, entry));
    long parsed = 0;
    QL_RETURN_HR_IF(E_UNEXPECTED, std::sscanf(entry.c_str(), "%ld;", &parsed) != 1);
    *code = parsed;
    return S_OK;
}

// The text part of an entry ReadEntryCode read.
HRESULT EntryText(const std::string& entry, ql::Bstr& text) noexcept {
    // The first semicolon as a character of the code page, never the trail byte of a double-byte one.
    const auto* start = reinterpret_cast<const unsigned char*>(entry.c_str());
    const unsigned char* semicolon = ::_mbschr(start, ';');
    std::string_view textPart(entry);
    if (semicolon) textPart.remove_prefix(static_cast<size_t>(semicolon - start) + 1);
    return AnsiToBstr(textPart, text);
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
    std::string entry;
    long entryCode = 0;
    ql::Bstr entryText;
    QL_RETURN_IF_FAILED(ReadEntryCode(list.parray, index, entry, &entryCode));
    QL_RETURN_IF_FAILED(EntryText(entry, entryText));
    *code = entryCode;
    *text = entryText.Detach();
    return S_OK;
}

bool GetEnumEntryByValue(const VARIANT& list, long value, ULONG* index, BSTR* text) noexcept {
    if (!index || !text) return false;
    ULONG count = 0;
    if (FAILED(CountEntries(list, &count))) return false;
    // One buffer for every entry, and a text made only for the entry that is found: a value check reads
    // many lists on every load.
    std::string entry;
    for (ULONG position = 0; position < count; ++position) {
        long code = 0;
        if (FAILED(ReadEntryCode(list.parray, position, entry, &code))) return false;
        if (code != value) continue;
        ql::Bstr entryText;
        if (FAILED(EntryText(entry, entryText))) return false;
        *index = position;
        *text = entryText.Detach();
        return true;
    }
    return false;
}
