// Reading an enumerated row's control back as the parameter's code, and asking the DTM whether that code
// is acceptable. A combo or list box answers with the item data of its lines (the entry codes the fill
// attached), an edit with the code of the entry whose built-in text it holds, and a row with a format
// with the number its text reads as. Nothing here changes a control.
#include <cstdio>
#include <cstring>
#include <string>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/enum/EnumEntryTexts.h"
#include "controls/enum/EnumListMessages.h"
#include "dataset/VariableFields.h"
#include "values/AnsiText.h"
#include "values/EnumEntries.h"

namespace {

bool HasFormat(const ParameterMapEntry& entry) noexcept { return entry.format && *entry.format != '\0'; }

// Whether `format` holds exactly one conversion and that one stores a 32-bit integer, so that scanning a
// text with it can write nothing but the one number it is given.
bool IsSingleIntegerFormat(const char* format) noexcept {
    int conversions = 0;
    for (const char* c = format; *c; ++c) {
        if (*c != '%') continue;
        ++c;
        if (*c == '%') continue;
        while (*c >= '0' && *c <= '9') ++c;
        if (*c == 'l') ++c;
        if (*c == '\0' || !std::strchr("diuoxX", *c)) return false;
        ++conversions;
    }
    return conversions == 1;
}

// Clears the caller's VARIANT and hands it the result.
HRESULT StoreResult(ql::Variant& result, VARIANT* out) noexcept { return result.CopyTo(out); }

// The number `text` reads as under the row's `format`, as VT_I4 into `out`; S_FALSE when it holds none.
HRESULT StoreScannedNumber(const std::string& text, const char* format, VARIANT* out) noexcept {
    if (!IsSingleIntegerFormat(format)) return S_FALSE;
    int scanned = 0;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int read = std::sscanf(text.c_str(), format, &scanned);
#pragma GCC diagnostic pop
    if (read != 1) return S_FALSE;
    ql::Variant result;
    result.SetI4(scanned);
    return StoreResult(result, out);
}

// S_OK when the DTM answers the check of `value` for the parameter `id` (`ok` its verdict, false when the
// check itself failed); S_FALSE without a DTM or without the check interface.
HRESULT AskDtmToCheck(IQuelkVariables* dtm, ULONG id, const VARIANT& value, bool* ok) noexcept {
    ql::ComPtr<IQuelkValueCheck> check;
    if (!dtm || FAILED(dtm->QueryInterface(IID_IQuelkValueCheck, check.PutVoid())) || !check) return S_FALSE;
    ULONG flags = 0;
    const HRESULT hr = check->CheckValue(*UlongArgument(id), value, &flags);
    *ok = SUCCEEDED(hr) && !(flags & kAccessRejected);
    return S_OK;
}

}  // namespace

HRESULT CQuelkControlBase::GetEnumEntryByString(UINT row, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    if (row >= m_rowCount) return S_FALSE;
    const ParameterMapEntry& entry = m_rows[row];
    if (entry.enumerationKind != kEnumerationList || entry.enumeration.Type() != kEnumEntryArrayType) {
        return S_FALSE;
    }
    if (HasFormat(entry)) {
        std::string text;
        QL_RETURN_IF_FAILED(ReadRowText(row, text));
        return StoreScannedNumber(text, entry.format, value);
    }

    ql::Variant result;
    const int kind = GetDlgItemKind(entry.controlId);
    if (kind == kItemEdit) {
        std::string ansi;
        ql::Bstr text;
        QL_RETURN_IF_FAILED(ReadRowText(row, ansi));
        QL_RETURN_IF_FAILED(AnsiToBstr(ansi, text));
        long code = 0;
        bool found = false;
        // Only the built-in text names an entry: a translated text is no value.
        if (FAILED(FindEnumEntryCode(*entry.enumeration, text.View(), code, found)) || !found) return S_FALSE;
        result.SetI4(code);
        return StoreResult(result, value);
    }
    const EnumListMessages* messages = EnumListMessagesFor(kind);
    if (!messages) return S_FALSE;
    const HWND item = ::GetDlgItem(DialogWindow(), static_cast<int>(entry.controlId));
    const LRESULT line = ::SendMessageA(item, messages->getCurSel, 0, 0);
    if (line == messages->error) return S_FALSE;
    result.SetI4(
        static_cast<LONG>(::SendMessageA(item, messages->getItemData, static_cast<WPARAM>(line), 0)));
    return StoreResult(result, value);
}

HRESULT CQuelkControlBase::ReadEnumSelection(UINT row, VARIANT* value) noexcept {
    if (row >= m_rowCount) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(value);
    const ParameterMapEntry& entry = m_rows[row];
    if (entry.enumerationKind != kEnumerationBits || entry.enumeration.Type() != kEnumEntryArrayType) {
        return S_FALSE;
    }
    if (HasFormat(entry)) {
        std::string text;
        QL_RETURN_IF_FAILED(ReadRowText(row, text));
        return StoreScannedNumber(text, entry.format, value);
    }
    if (GetDlgItemKind(entry.controlId) != kItemListBox) return S_FALSE;
    ql::Variant result;
    const HWND item = ::GetDlgItem(DialogWindow(), static_cast<int>(entry.controlId));
    const LRESULT count = ::SendMessageA(item, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return S_FALSE;
    // The selected lines' codes are flags: combined with OR, so that flags shared by two selected lines
    // (an entry naming a group of flags) are counted once.
    ULONG bits = 0;
    for (LRESULT line = 0; line < count; ++line) {
        const LRESULT selected = ::SendMessageA(item, LB_GETSEL, static_cast<WPARAM>(line), 0);
        if (selected == LB_ERR) return S_FALSE;
        if (selected > 0) {
            bits |= static_cast<ULONG>(::SendMessageA(item, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
        }
    }
    result.SetUI4(bits);
    return StoreResult(result, value);
}

HRESULT CQuelkControlBase::CheckEnumText(UINT row, VARIANT* value, bool* ok) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = false;
    QL_RETURN_IF_NULL_OUT(value);
    if (GetEnumEntryByString(row, value) != S_OK) return S_FALSE;
    return AskDtmToCheck(m_variables.Get(), m_rows[row].id, *value, ok);
}

HRESULT CQuelkControlBase::CheckEnumSelection(UINT row, VARIANT* value, bool* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = false;
    QL_RETURN_IF_NULL_OUT(value);
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    if (ReadEnumSelection(row, value) != S_OK) return S_FALSE;
    return AskDtmToCheck(m_variables.Get(), m_rows[row].id, *value, ok);
}
