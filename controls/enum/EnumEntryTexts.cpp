#include "controls/enum/EnumEntryTexts.h"

#include "classlib/HResult.h"
#include "values/EnumEntries.h"

namespace {

constexpr wchar_t kBitSeparator[] = L" | ";

// Calls visit(code, text) for the entries in list order until it answers false or fails; the first entry
// that cannot be read ends the walk with its error.
template <class Visit>
HRESULT VisitEntries(const VARIANT& list, Visit visit) noexcept {
    ULONG count = 0;
    QL_RETURN_IF_FAILED(GetEnumListCount(list, &count));
    for (ULONG index = 0; index < count; ++index) {
        long code = 0;
        ql::Bstr text;
        QL_RETURN_IF_FAILED(GetEnumListEntry(list, index, &code, text.Put()));
        bool goOn = true;
        QL_RETURN_IF_FAILED(visit(code, text, goOn));
        if (!goOn) break;
    }
    return S_OK;
}

}  // namespace

HRESULT FindEnumEntryText(const VARIANT& list, long code, ql::Bstr& text, bool& found) noexcept {
    found = false;
    return VisitEntries(list, [&](long entryCode, ql::Bstr& entryText, bool& goOn) noexcept {
        if (entryCode == code) {
            text = std::move(entryText);
            found = true;
            goOn = false;
        }
        return S_OK;
    });
}

HRESULT FindEnumEntryCode(const VARIANT& list, std::wstring_view text, long& code, bool& found) noexcept {
    found = false;
    return VisitEntries(list, [&](long entryCode, ql::Bstr& entryText, bool& goOn) noexcept {
        if (entryText.View() == text) {
            code = entryCode;
            found = true;
            goOn = false;
        }
        return S_OK;
    });
}

HRESULT JoinBitEnumTexts(const VARIANT& list, ULONG value, ql::Bstr& text) noexcept {
    ql::Bstr joined(L"");
    QL_RETURN_HR_IF(E_OUTOFMEMORY, joined.IsNull());
    QL_RETURN_IF_FAILED(VisitEntries(list, [&](long code, ql::Bstr& entryText, bool&) noexcept {
        // Codes are bit masks: compared with the value as 32-bit patterns, whatever their sign.
        const ULONG mask = static_cast<ULONG>(code);
        if ((value & mask) != mask) return S_OK;
        if (!joined.IsEmpty()) QL_RETURN_IF_FAILED(joined.Append(kBitSeparator));
        return joined.Append(entryText.View());
    }));
    text = std::move(joined);
    return S_OK;
}
