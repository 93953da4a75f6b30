// Values between a row's dialog control and a VARIANT: showing a value, reading the typed value back, the
// by-id forms of both, and the display text that the dataset attaches to a parameter. The text forms come
// from values/DialogValueText; the updating flag is set around every write into a dialog control, so that
// the notifications the write causes are not taken for user input.
#include <string>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "dataset/VariableFields.h"
#include "values/AnsiText.h"
#include "values/DialogValueText.h"
#include "values/EnumEntries.h"
#include "values/ValueComparison.h"
#include "values/VariantConversion.h"

namespace {

constexpr int kKindButton = 6;
constexpr LONG kCheckBoxStyleBit = 0x2;  // BS_CHECKBOX, BS_AUTOCHECKBOX, BS_AUTO3STATE; not BS_3STATE
constexpr int kDialogTextChars = 256;

ql::Variant Long(LONG value) noexcept {
    ql::Variant v;
    v.SetI4(value);
    return v;
}

}  // namespace

HRESULT CQuelkControlBase::ShowValue(UINT row, VARIANT value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    const ParameterMapEntry& entry = m_rows[row];
    if (entry.controlId == 0) return S_OK;
    {
        ScopedFlag<BOOL> updating(m_updating);
        // Only asks the DTM for the record's display attribute before showing it; the value is shown either
        // way.
        (void)ProbeParameterState(entry.id);
    }
    const bool enumerationFormat = entry.format && *entry.format == '\0';
    if (enumerationFormat && entry.enumerationKind == kEnumerationList) return ShowEnumValue(row, value);
    if (enumerationFormat && entry.enumerationKind == kEnumerationBits) return ShowBitEnumValue(row, value);

    if (IsChildControl(entry.controlId)) {
        ql::ComPtr<IQuelkChildControl> child;
        QL_RETURN_HR_IF(E_UNEXPECTED, FAILED(QueryChildControl(entry.controlId, child)));
        ScopedFlag<BOOL> updating(m_updating);
        QL_RETURN_IF_FAILED(child->DisplayValue(entry.id, value));
        return S_OK;
    }

    const HWND window = entry.controlWindow;
    if (window && GetControlKind(window) == kKindButton &&
        (::GetWindowLongW(window, GWL_STYLE) & kCheckBoxStyleBit)) {
        ql::Variant flag;
        // A value without a boolean reading shows by its own low word, as the copy left unconverted would.
        (void)ConvertVariantType(flag.Get(), &value, VT_BOOL, 0, 0);
        const bool checked =
            flag.Type() == VT_BOOL ? V_BOOL(flag.Get()) != VARIANT_FALSE : (V_BOOL(&value) != 0);
        ScopedFlag<BOOL> updating(m_updating);
        ::SendDlgItemMessageW(dialog_, static_cast<int>(entry.controlId), BM_SETCHECK,
                              checked ? BST_CHECKED : BST_UNCHECKED, 0);
        return S_OK;
    }

    std::string text;
    bool shown = false;
    QL_RETURN_IF_FAILED(FormatDialogText(entry.format, value, text, shown));
    if (!shown || !dialog_) return S_OK;
    ScopedFlag<BOOL> updating(m_updating);
    ::SetDlgItemTextA(dialog_, static_cast<int>(entry.controlId), text.c_str());
    return S_OK;
}

HRESULT CQuelkControlBase::ShowValueById(ULONG id, VARIANT value) noexcept {
    HRESULT result = S_OK;
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].id != id) continue;
        result = ShowValue(row, value);
        if (FAILED(result)) return result;
    }
    return result;
}

HRESULT CQuelkControlBase::ReadRowText(UINT row, std::string& text) const noexcept {
    char buffer[kDialogTextChars] = {};
    if (dialog_)
        ::GetDlgItemTextA(dialog_, static_cast<int>(m_rows[row].controlId), buffer, kDialogTextChars);
    try {
        text = buffer;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CQuelkControlBase::ReadParameterDisplay(UINT row, VARIANT* value) noexcept {
    if (row >= m_rowCount) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(value);
    const ParameterMapEntry& entry = m_rows[row];
    if (entry.controlId == 0) return S_OK;
    if (IsChildControl(entry.controlId)) {
        ql::ComPtr<IQuelkChildControl> child;
        QL_RETURN_HR_IF(E_UNEXPECTED, FAILED(QueryChildControl(entry.controlId, child)));
        return SUCCEEDED(child->ReadParameterValue(entry.id, value)) ? S_OK : S_FALSE;
    }
    if (entry.enumerationKind == kEnumerationList) return GetEnumEntryByString(row, value);
    if (entry.enumerationKind == kEnumerationBits) return ReadEnumSelection(row, value);

    std::string text;
    QL_RETURN_IF_FAILED(ReadRowText(row, text));
    ::VariantInit(value);  // the caller passes an empty VARIANT
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    VARTYPE type = VT_EMPTY;
    QL_RETURN_IF_FAILED(GetParameterType(entry.id, &type));

    const HWND window = entry.controlWindow;
    if (window && GetControlKind(window) == kKindButton &&
        (::GetWindowLongW(window, GWL_STYLE) & kCheckBoxStyleBit)) {
        const LRESULT check =
            ::SendDlgItemMessageW(dialog_, static_cast<int>(entry.controlId), BM_GETCHECK, 0, 0);
        V_VT(value) = VT_BOOL;
        V_BOOL(value) = check ? VARIANT_TRUE : VARIANT_FALSE;
        (void)::VariantChangeType(value, value, 0, type);  // a box whose type does not take it stays VT_BOOL
        return S_OK;
    }
    if (type == VT_R4) {
        float number = 0.0f;
        QL_RETURN_IF_FAILED(ParseSingleDialogText(text, entry.format, number));
        V_VT(value) = VT_R4;
        V_R4(value) = number;
        return S_OK;
    }
    if (type == (VT_ARRAY | VT_UI1)) return ParseHexDialogText(text, value);
    ql::Bstr wide;
    QL_RETURN_IF_FAILED(AnsiToBstr(text, wide));
    ql::Variant typed;
    typed.AttachBstr(wide.Detach());
    QL_RETURN_IF_FAILED(ConvertVariantType(typed.Get(), typed.Get(), type, 0, 0));
    return typed.Detach(value);
}

HRESULT CQuelkControlBase::ReadParameterDisplayByID(ULONG id, VARIANT* value) noexcept {
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    return ReadParameterDisplay(static_cast<UINT>(row), value);
}

HRESULT CQuelkControlBase::ConvertParameterToText(ULONG id, BSTR* text) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !text);
    *text = nullptr;
    ql::ComPtr<IQuelkVariableFields> fields;
    if (FAILED(QueryDtm(fields)) || !fields) return E_NOINTERFACE;
    ql::Variant display;
    QL_RETURN_IF_FAILED(
        fields->GetVariableField(*UlongArgument(id), *UlongArgument(kFieldDisplayAttribute), display.Get()));
    if (display.Type() == VT_EMPTY) return S_FALSE;
    if (display.Type() == VT_BSTR) {
        ql::Bstr copy;
        QL_RETURN_IF_FAILED(copy.AssignCopy(V_BSTR(display.Get())));
        *text = copy.Detach();
        return S_OK;
    }
    if (display.Type() != VT_UI4) return S_OK;

    const ULONG source = V_UI4(display.Get());
    ql::Variant value;
    QL_RETURN_IF_FAILED(m_variables->GetValue(*UlongArgument(source), value.Get()));
    ql::Variant asText;
    QL_RETURN_IF_FAILED(ConvertVariantType(asText.Get(), value.Get(), VT_BSTR, 0, 0));
    VARIANT converted;
    // Detach into a local cannot fail.
    (void)asText.Detach(&converted);
    ql::Bstr result;
    result.Attach(V_BSTR(&converted));
    ql::Variant kind;
    QL_RETURN_IF_FAILED(
        fields->GetVariableField(*UlongArgument(source), *Long(kFieldEnumerationKind), kind.Get()));
    (void)value.ChangeType(VT_I4);  // matters only for an enumerated source
    QL_RETURN_IF_FAILED(kind.ChangeType(VT_UI2));
    if (V_UI2(kind.Get()) == kEnumerationList) {
        ql::Variant entries;
        QL_RETURN_IF_FAILED(
            fields->GetVariableField(*UlongArgument(source), *Long(kFieldEnumerationEntries), entries.Get()));
        ULONG count = 0;
        QL_RETURN_IF_FAILED(GetEnumListCount(*entries, &count));
        for (ULONG i = 0; i < count; ++i) {
            long code = 0;
            ql::Bstr entryText;
            QL_RETURN_IF_FAILED(GetEnumListEntry(*entries, i, &code, entryText.Put()));
            if (code == V_I4(value.Get())) {
                result = std::move(entryText);
                break;
            }
        }
    }
    *text = result.Detach();
    return S_OK;
}

BOOL CQuelkControlBase::IsVariantEqual(VARIANT first, VARIANT second) noexcept {
    return ::IsVariantEqual(first, second);
}
