// The online page's mode, its notification handler, its services to the page classes, its check and the
// handling of a bound control that loses the focus.
#include "controls/sync/QuelkOnlinePage.h"

#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/sync/AccessWordMark.h"
#include "dataset/VariableFields.h"
#include "dataset/VariantArguments.h"

namespace {

// DTM-internal members of two device records of the AI function block (flow): online, leaving one of
// their fields reads the device record that holds it.
ULONG DeviceHolderOf(ULONG id) noexcept {
    constexpr ULONG kPercentFlow = 70, kOutputScale = 71;
    if (id == 105 || id == 106) return kPercentFlow;
    if (id >= 107 && id <= 110) return kOutputScale;
    return id;
}

}  // namespace

// --- IQuelkPageMode ---

HRESULT CQuelkOnlinePage::SetOnline(ULONG online) noexcept {
    online_ = online;
    return S_OK;
}

HRESULT CQuelkOnlinePage::SetFrameMode(ULONG mode) noexcept {
    frameMode_ = mode;
    return S_OK;
}

HRESULT CQuelkOnlinePage::CompareSingleParameter(VARIANT id, VARIANT* deviceValue,
                                                 VARIANT* dtmValue) noexcept {
    ql::ComPtr<IDtmObject> dtm;
    if (SUCCEEDED(QueryDtm(dtm)) && dtm) (void)dtm->CompareSingleParameter(id, deviceValue, dtmValue);
    return S_OK;
}

// --- notifications ---

HRESULT CQuelkOnlinePage::OnNotify(ULONG code, VARIANT data) noexcept {
    switch (code) {
        case kNotifyValueChanged:
            return OnValueChangedNotify(data);
        case kNotifyDeviceValue:
            return OnDeviceValueNotify(data);
        case kNotifyDeviceWritten:
            return OnWrittenNotify(data);
        default:
            // A code the base does not handle is no failure for a parameter page.
            (void)CQuelkControlBase::OnNotify(code, data);
            return S_OK;
    }
}

HRESULT CQuelkOnlinePage::OnValueChangedNotify(const VARIANT& data) noexcept {
    ql::Variant element, value;
    QL_RETURN_IF_FAILED(FetchIdValuePair(data, element, value));
    ULONG id = 0;
    // An id that is no unsigned 32-bit number names no parameter.
    if (FAILED(VariantToUInt32(*element, &id))) return S_OK;
    // Read while the transfer that caused the notification still marks the record.
    ULONG access = 0;
    (void)GetParameterState(id, &access);
    // The page's own offline store must not overwrite the device's value an online page shows.
    if (IsOnline() && (access & kAccessOfflineStoreMark)) return S_OK;
    (void)CQuelkControlBase::OnNotify(kNotifyValueChanged, data);
    return S_OK;
}

HRESULT CQuelkOnlinePage::OnDeviceValueNotify(const VARIANT& data) noexcept {
    if (!IsOnline()) return S_OK;
    ql::Variant value;
    ULONG id = 0;
    QL_RETURN_IF_FAILED(UnpackIdValue(data, &id, value.Get()));
    (void)ShowValueById(id, *value);
    return S_OK;
}

HRESULT CQuelkOnlinePage::OnWrittenNotify(const VARIANT& data) noexcept {
    if (!IsOnline()) return S_OK;
    ULONG id = 0;
    if (FAILED(VariantToUInt32(data, &id))) return S_OK;
    const int row = FindParamRow(id);
    if (row < 0) return S_OK;
    // The first row's bits go to every row of the parameter.
    (void)SetStateById(id, m_rows[row].state & ~kRowModified);
    return S_OK;
}

HRESULT CQuelkOnlinePage::ShowMessage(ULONG, BSTR text, VARIANT) noexcept {
    try {
        lastDeviceError_.assign(text ? text : L"", text ? ::SysStringLen(text) : 0);
    } catch (...) {
        lastDeviceError_.clear();  // the flag still tells the commit handlers that a transfer failed
    }
    hasDeviceError_ = true;
    return S_OK;
}

// --- services ---

HRESULT CQuelkOnlinePage::IsDtmOffline(bool* offline) noexcept {
    QL_RETURN_IF_NULL_OUT(offline);
    ULONG state = 0;
    ql::ComPtr<IQuelkDtm> dtm;
    if (SUCCEEDED(QueryDtm(dtm)) && dtm) (void)dtm->GetState(&state);
    *offline = state != kDtmStateOnline;
    return S_OK;
}

HRESULT CQuelkOnlinePage::ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept {
    ql::ComPtr<IDtmObject> dtm;
    if (SUCCEEDED(QueryDtm(dtm)) && dtm) (void)dtm->SetActiveXFunctionID(static_cast<LONG>(frameMode_));
    dtm.Reset();
    return CheckParameterValue(id, valid, true);
}

HRESULT CQuelkOnlinePage::OnParameterEdited(UINT, WPARAM wParam, LPARAM, BOOL& handled) noexcept {
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return E_POINTER;
    const UINT controlId = LOWORD(wParam);
    int row = -1;
    for (UINT index = 0; index < m_rowCount && row < 0; ++index) {
        if (m_rows[index].controlId == controlId) row = static_cast<int>(index);
    }
    if (row < 0) {
        handled = FALSE;
        return S_OK;
    }
    const bool online = IsOnline();
    const ULONG id = online ? DeviceHolderOf(m_rows[row].id) : m_rows[row].id;
    ULONG access = 0;
    QL_RETURN_IF_FAILED(GetParameterState(id, &access));
    {
        const ULONG mark = online ? kAccessOnlineTransferMark : kAccessOfflineStoreMark;
        AccessWordMark marked(m_variables.Get(), id, access | mark, access & ~mark);
        if (online) {
            // The value read reaches the page as 0x2800 while the mark stands; the dataset keeps its own.
            VARIANT_BOOL ok = VARIANT_FALSE;
            (void)store->ReadFromDevice(id, &ok);
        } else {
            (void)RefreshControl(id);
        }
    }
    if (const HWND dialog = DialogWindow()) {
        ::SendDlgItemMessageW(dialog, static_cast<int>(controlId), EM_SETSEL, static_cast<WPARAM>(-1), 0);
    }
    return S_OK;
}
