// Showing an enumerated value in a row's control: a hosted child control gets the entry's built-in text,
// an edit shows it ("<Out of Range>" when no entry has the value), a combo or list box selects the line
// whose item data is the value. A bit-enumerated value shows the texts of every flag it holds, joined, or
// selects every such line of a list box. The updating flag is set while a control is changed, so that the
// notifications the change raises are not taken for user input; it is clear again on every way out.
#include <string>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/enum/EnumEntryTexts.h"
#include "controls/enum/EnumListMessages.h"
#include "values/AnsiText.h"
#include "values/EnumEntries.h"

namespace {

constexpr wchar_t kOutOfRange[] = L"<Out of Range>";

// `value` converted to `type` by the standard OLE rules (no flags).
HRESULT ConvertForDisplay(const VARIANT& value, VARTYPE type, ql::Variant& converted) noexcept {
    QL_RETURN_IF_FAILED(converted.CopyFrom(value));
    return converted.ChangeType(type);
}

HRESULT SetItemText(HWND item, std::wstring_view text) noexcept {
    std::string ansi;
    QL_RETURN_IF_FAILED(WideToAnsi(text, ansi));
    ::SetWindowTextA(item, ansi.c_str());
    return S_OK;
}

// Hands a hosted child control the text to show, with the updating flag set around the call.
HRESULT DisplayOnChild(IQuelkChildControl* child, ULONG id, ql::Bstr& text, BOOL& updating) noexcept {
    ql::Variant shown;
    shown.AttachBstr(text.Detach());
    ScopedFlag<BOOL> flag(updating);
    QL_RETURN_IF_FAILED(child->DisplayValue(id, *shown));
    return S_OK;
}

}  // namespace

HRESULT CQuelkControlBase::EnumDisplayChild(UINT row, ql::ComPtr<IQuelkChildControl>& child) noexcept {
    child.Reset();
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount || m_rows[row].enumeration.Type() != kEnumEntryArrayType);
    const UINT controlId = m_rows[row].controlId;
    if (!IsChildControl(controlId)) return S_OK;
    // Asked again: a child that was hosted a moment ago but cannot be reached now is a failure.
    QL_RETURN_HR_IF(E_UNEXPECTED, FAILED(QueryChildControl(controlId, child)));
    return S_OK;
}

HRESULT CQuelkControlBase::ShowEnumValue(UINT row, VARIANT value) noexcept {
    ql::ComPtr<IQuelkChildControl> child;
    QL_RETURN_IF_FAILED(EnumDisplayChild(row, child));
    const ParameterMapEntry& entry = m_rows[row];
    const VARIANT& list = *entry.enumeration;

    if (child) {
        ULONG count = 0;
        if (FAILED(GetEnumListCount(list, &count)) || count == 0) return S_FALSE;
        ql::Variant code;
        QL_RETURN_IF_FAILED(ConvertForDisplay(value, VT_I4, code));
        ql::Bstr text;
        bool found = false;
        QL_RETURN_IF_FAILED(FindEnumEntryText(list, V_I4(code.Get()), text, found));
        if (!found) return S_FALSE;  // the child is not told about a value it has no text for
        return DisplayOnChild(child.Get(), entry.id, text, m_updating);
    }

    ScopedFlag<BOOL> updating(m_updating);
    const int kind = GetDlgItemKind(entry.controlId);
    const HWND item = ::GetDlgItem(DialogWindow(), static_cast<int>(entry.controlId));
    // A value that does not convert to a code matches no entry and no line.
    ql::Variant code;
    const bool convertible = SUCCEEDED(ConvertForDisplay(value, VT_I4, code));
    if (kind == kItemEdit) {
        ULONG count = 0;
        QL_RETURN_IF_FAILED(GetEnumListCount(list, &count));
        ql::Bstr text;
        bool found = false;
        if (convertible) QL_RETURN_IF_FAILED(FindEnumEntryText(list, V_I4(code.Get()), text, found));
        return SetItemText(item, found ? text.View() : std::wstring_view(kOutOfRange));
    }
    const EnumListMessages* messages = EnumListMessagesFor(kind);
    if (!messages) return S_OK;
    const LRESULT count = ::SendMessageA(item, messages->getCount, 0, 0);
    if (count == messages->error) return S_OK;
    LRESULT selected = -1;
    for (LRESULT line = 0; convertible && line < count && selected < 0; ++line) {
        const LRESULT data = ::SendMessageA(item, messages->getItemData, static_cast<WPARAM>(line), 0);
        if (static_cast<LONG>(data) == V_I4(code.Get())) selected = line;
    }
    ::SendMessageA(item, messages->setCurSel, static_cast<WPARAM>(selected), 0);
    return S_OK;
}

HRESULT CQuelkControlBase::ShowBitEnumValue(UINT row, VARIANT value) noexcept {
    ql::ComPtr<IQuelkChildControl> child;
    QL_RETURN_IF_FAILED(EnumDisplayChild(row, child));
    const ParameterMapEntry& entry = m_rows[row];
    const VARIANT& list = *entry.enumeration;

    if (child) {
        ql::Variant bits;
        QL_RETURN_IF_FAILED(ConvertForDisplay(value, VT_UI4, bits));
        ql::Bstr joined(L"");
        ULONG count = 0;
        // A list without entries shows as an empty text: the child is told even then.
        if (SUCCEEDED(GetEnumListCount(list, &count))) {
            QL_RETURN_IF_FAILED(JoinBitEnumTexts(list, V_UI4(bits.Get()), joined));
        }
        return DisplayOnChild(child.Get(), entry.id, joined, m_updating);
    }

    ScopedFlag<BOOL> updating(m_updating);
    const int kind = GetDlgItemKind(entry.controlId);
    const HWND item = ::GetDlgItem(DialogWindow(), static_cast<int>(entry.controlId));
    ql::Variant bits;
    const HRESULT converted = ConvertForDisplay(value, VT_UI4, bits);
    if (kind == kItemEdit) {
        QL_RETURN_IF_FAILED(converted);
        ULONG count = 0;
        const HRESULT listState = GetEnumListCount(list, &count);
        if (FAILED(listState)) {
            QL_RETURN_IF_FAILED(SetItemText(item, L""));
            return listState;
        }
        ql::Bstr joined;
        QL_RETURN_IF_FAILED(JoinBitEnumTexts(list, V_UI4(bits.Get()), joined));
        return SetItemText(item, joined.View());
    }
    if (kind != kItemListBox) return S_OK;  // a combo box cannot show several flags
    const LRESULT count = ::SendMessageA(item, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) return S_OK;
    ::SendMessageA(item, LB_SETSEL, FALSE, -1);
    // A value that does not convert to flags selects nothing.
    for (LRESULT line = 0; SUCCEEDED(converted) && line < count; ++line) {
        const ULONG mask =
            static_cast<ULONG>(::SendMessageA(item, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
        if ((V_UI4(bits.Get()) & mask) == mask) ::SendMessageA(item, LB_SETSEL, TRUE, line);
    }
    return S_OK;
}
