#include "controls/enum/EnumEntryTexts.h"

#include "classlib/HResult.h"
#include "values/EnumEntries.h"

namespace {

constexpr wchar_t kBitSeparator[] = L" | ";

}  // namespace

HRESULT FindEnumEntryText(const VARIANT& list, long code, ql::Bstr& text, bool& found) noexcept {
    found = false;
    ULONG count = 0;
    QL_RETURN_IF_FAILED(GetEnumListCount(list, &count));
    for (ULONG index = 0; index < count; ++index) {
        long entryCode = 0;
        ql::Bstr entryText;
        QL_RETURN_IF_FAILED(GetEnumListEntry(list, index, &entryCode, entryText.Put()));
        if (entryCode == code) {
            text = std::move(entryText);
            found = true;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT JoinBitEnumTexts(const VARIANT& list, ULONG value, ql::Bstr& text) noexcept {
    ql::Bstr joined(L"");
    QL_RETURN_HR_IF(E_OUTOFMEMORY, joined.IsNull());
    ULONG count = 0;
    QL_RETURN_IF_FAILED(GetEnumListCount(list, &count));
    for (ULONG index = 0; index < count; ++index) {
        long code = 0;
        ql::Bstr entryText;
        QL_RETURN_IF_FAILED(GetEnumListEntry(list, index, &code, entryText.Put()));
        // Codes are bit masks: compared with the value as 32-bit patterns, whatever their sign.
        const ULONG mask = static_cast<ULONG>(code);
        if ((value & mask) != mask) continue;
        if (!joined.IsEmpty()) QL_RETURN_IF_FAILED(joined.Append(kBitSeparator));
        QL_RETURN_IF_FAILED(joined.Append(entryText.View()));
    }
    text = std::move(joined);
    return S_OK;
}
