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
#include "values/ScalarTypes.h"

namespace {

HRESULT CountEntries(const VARIANT& list, ULONG* count) noexcept {
    *count = 0;
    QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&list) != kEnumEntryArrayType);
    QL_RETURN_HR_IF(E_UNEXPECTED, !list.parray);
    // Entries are read as texts the array owns, each as wide as a text pointer: any other array would be
    // read past its data, or its bytes taken for pointers.
    QL_RETURN_HR_IF(E_INVALIDARG, !ql::HoldsElementsOf(*list.parray, VT_BSTR));
    QL_RETURN_HR_IF(E_INVALIDARG, list.parray->cDims != 1);
    *count = list.parray->rgsabound[0].cElements;
    return S_OK;
}

// The entry at `index` of the locked list, up to its first zero character; E_UNEXPECTED for a null one.
HRESULT WideEntry(const ql::SafeArrayData<const BSTR>& entries, ULONG index,
                  std::wstring_view& entry) noexcept {
    const BSTR wide = entries[index];
    QL_RETURN_HR_IF(E_UNEXPECTED, !wide);
    entry = std::wstring_view(wide, std::wcslen(wide));
    return S_OK;
}

// The entry at `index` in the ANSI code page, up to its first zero character.
HRESULT ReadNarrowEntry(SAFEARRAY* array, ULONG index, std::string& entry) noexcept {
    ql::SafeArrayData<const BSTR> entries(array);
    QL_RETURN_IF_FAILED(entries.Status());
    std::wstring_view wide;
    QL_RETURN_IF_FAILED(WideEntry(entries, index, wide));
    return WideToAnsi(wide, entry);
}

// The code of an entry in the ANSI code page, read with "%ld;".
HRESULT ParseNarrowCode(const std::string& entry, long* code) noexcept {
    long parsed = 0;
    QL_RETURN_HR_IF(E_UNEXPECTED, std::sscanf(entry.c_str(), "%ld;", &parsed) != 1);
    *code = parsed;
    return S_OK;
}

// Reads the code of the entry at `index` of a list whose checks have passed and that has more than `index`
// entries; `entry` keeps the entry's text in the code page for its text part.
HRESULT ReadEntryCode(SAFEARRAY* array, ULONG index, std::string& entry, long* code) noexcept {
    QL_RETURN_IF_FAILED(ReadNarrowEntry(array, index, entry));
    return ParseNarrowCode(entry, code);
}

enum class QuickCode { Parsed, Malformed, Unknown };

bool IsCSpace(wchar_t c) noexcept { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// The code of `entry` as "%ld;" reads it from the entry's ANSI form, without making that form. Every ANSI
// code page keeps ASCII as it is, so the answer is known (Parsed or Malformed) when the entry's white
// space, sign and digits, and the character that ends them, are ASCII. Unknown otherwise: a character
// beyond ASCII may convert to a digit or a space (best fit), and a number of ten digits or more may
// overflow as the scan decides.
QuickCode ReadCodeQuickly(std::wstring_view entry, long* code) noexcept {
    constexpr int kSafeDigits = 9;
    size_t at = 0;
    while (at < entry.size() && IsCSpace(entry[at])) ++at;
    bool negative = false;
    if (at < entry.size() && (entry[at] == L'+' || entry[at] == L'-')) negative = entry[at++] == L'-';
    long value = 0;
    int digits = 0;
    while (at < entry.size() && entry[at] >= L'0' && entry[at] <= L'9') {
        if (++digits > kSafeDigits) return QuickCode::Unknown;
        value = value * 10 + (entry[at++] - L'0');
    }
    if (at < entry.size() && entry[at] >= 0x80) return QuickCode::Unknown;
    if (digits == 0) return QuickCode::Malformed;
    *code = negative ? -value : value;
    return QuickCode::Parsed;
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
    ql::SafeArrayData<const BSTR> entries(list.parray);
    if (FAILED(entries.Status())) return false;
    // A value check reads many lists on every load: an entry's ANSI form is made only when its code needs
    // it, and its text only for the entry that is found.
    std::string narrow;
    for (ULONG position = 0; position < count; ++position) {
        std::wstring_view entry;
        if (FAILED(WideEntry(entries, position, entry))) return false;
        long code = 0;
        const QuickCode quick = ReadCodeQuickly(entry, &code);
        if (quick == QuickCode::Malformed) return false;
        const bool narrowMade = quick == QuickCode::Unknown;
        if (narrowMade && (FAILED(WideToAnsi(entry, narrow)) || FAILED(ParseNarrowCode(narrow, &code))))
            return false;
        if (code != value) continue;
        ql::Bstr entryText;
        if ((!narrowMade && FAILED(WideToAnsi(entry, narrow))) || FAILED(EntryText(narrow, entryText)))
            return false;
        *index = position;
        *text = entryText.Detach();
        return true;
    }
    return false;
}
