// The online page's mode, its notification handler, its services to the page classes, its check and the
// handling of a bound control that loses the focus.
#include "controls/sync/QuelkOnlinePage.h"

#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/sync/AccessWordMark.h"
#include "dataset/DatasetDeviceAccess.h"
#include "dataset/VariableFields.h"
#include "dataset/VariantArguments.h"
#include "values/PlainNumber.h"

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
    // The page only passes the comparison on; its answer to the caller is always S_OK.
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
    const bool outer = showingDeviceValue_;
    showingDeviceValue_ = true;
    // The notice is taken: a value the page cannot show leaves the field as it is.
    (void)ShowValueById(id, *value);
    showingDeviceValue_ = outer;
    return S_OK;
}

HRESULT CQuelkOnlinePage::OnWrittenNotify(const VARIANT& data) noexcept {
    if (!IsOnline()) return S_OK;
    ULONG id = 0;
    if (FAILED(VariantToUInt32(data, &id))) return S_OK;
    const int row = FindParamRow(id);
    if (row < 0) return S_OK;
    // The first row's bits go to every row of the parameter. The transfer has ended: a mark the rows took
    // while it stood (the dataset announces an unchanged value as a change, under the mark) is its own and
    // goes with it.
    (void)SetStateById(
        id, m_rows[row].state & ~(kRowModified | kAccessOnlineTransferMark | kAccessOfflineStoreMark));
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
    // A state that cannot be read counts as offline (0).
    if (SUCCEEDED(QueryDtm(dtm)) && dtm) (void)dtm->GetState(&state);
    *offline = state != kStateConnected;
    return S_OK;
}

HRESULT CQuelkOnlinePage::ValidateParameter(ULONG id, VARIANT_BOOL* valid) noexcept {
    ql::ComPtr<IDtmObject> dtm;
    // Only tells the DTM which function checks; the check below runs in any case.
    if (SUCCEEDED(QueryDtm(dtm)) && dtm) (void)dtm->SetActiveXFunctionID(static_cast<LONG>(frameMode_));
    dtm.Reset();
    return CheckParameterValue(id, valid, true);
}

HRESULT CQuelkOnlinePage::OnParameterEdited(UINT, WPARAM wParam, LPARAM, BOOL& handled) noexcept {
    // The read waits for the device: the page holds itself meanwhile.
    const ql::ComPtr<IUnknown> keepAlive(ControllingUnknown());
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
    // Inside the wait of the page's own action (a click that moved the focus), the action's read-back
    // shows the device's value: leaving a field asks the device nothing more.
    if (!(online && InDeviceAction())) {
        const ULONG mark = online ? kAccessOnlineTransferMark : kAccessOfflineStoreMark;
        AccessWordMark marked(m_variables.Get(), id, access | mark, access & ~mark);
        if (online) {
            // The value read reaches the page as 0x2800 while the mark stands; the dataset keeps its own.
            VARIANT_BOOL ok = VARIANT_FALSE;
            // Leaving a field only brings it back in line: after a failed read it stays as it is, and the DTM
            // reports the failure itself.
            (void)store->ReadFromDevice(id, &ok);
        } else {
            // As above: a field that cannot be refreshed stays as it is.
            (void)RefreshControl(id);
        }
    }
    if (const HWND dialog = DialogWindow()) {
        ::SendDlgItemMessageW(dialog, static_cast<int>(controlId), EM_SETSEL, static_cast<WPARAM>(-1), 0);
    }
    return S_OK;
}

// --- a person's action on the device ---

CQuelkOnlinePage::DeviceAction::DeviceAction(CQuelkOnlinePage& page) noexcept
    : page_(page), hold_(page.ControllingUnknown()) {
    if (page_.actionDepth_++ == 0) page_.deviceSilent_ = false;
}

CQuelkOnlinePage::DeviceAction::~DeviceAction() {
    if (--page_.actionDepth_ == 0) page_.deviceSilent_ = false;
}

HRESULT CQuelkOnlinePage::NoteDeviceResult(HRESULT result) noexcept {
    // HRESULT_FROM_WIN32(ERROR_CANCELLED): the wait ended because the thread is asked to quit.
    if (InDeviceAction() && (result == E_ABORT || result == HRESULT_FROM_WIN32(ERROR_CANCELLED))) {
        deviceSilent_ = true;
    }
    if (result == kDeviceRefusedResult) TakeRefusalMessage();
    return result;
}

void CQuelkOnlinePage::TakeRefusalMessage() noexcept {
    // Taken from the thread in any case, so that no later failure finds it.
    ql::ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.Put()) != S_OK || !info) return;
    ql::Bstr text;
    // A message the DTM broadcast to the page meanwhile says the same.
    if (hasDeviceError_ || FAILED(info->GetDescription(text.Put()))) return;
    ql::Variant none;
    (void)ShowMessage(0, text.Get(), *none.Get());
}

HRESULT CQuelkOnlinePage::ReadDeviceValue(ULONG id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    ::VariantInit(value);
    if (DeviceSilent()) return E_ABORT;
    ql::ComPtr<IDtmObject> dtm;
    if (FAILED(QueryDtm(dtm)) || !dtm) return E_POINTER;
    // The comparison answers no value for a failed read and keeps the read's result to itself; a read that
    // got no answer leaves its error object on the thread. Anything older is of no concern here.
    (void)::SetErrorInfo(0, nullptr);
    ql::Variant device, stored;
    QL_RETURN_IF_FAILED(dtm->CompareSingleParameter(*UlongArgument(id), device.Put(), stored.Put()));
    // A NaN or an infinity the device answers is no value: every size a page derived from it would be none
    // either, and would go back to the device and into the dataset.
    if (IsNonFiniteNumber(*device)) return E_FAIL;
    if (device.Type() != VT_EMPTY) return device.Detach(value);
    ql::ComPtr<IErrorInfo> info;
    GUID source = GUID_NULL;
    const bool unanswered = ::GetErrorInfo(0, info.Put()) == S_OK && info &&
                            SUCCEEDED(info->GetGUID(&source)) && IsEqualGUID(source, kNoAnswerErrorGuid);
    return unanswered ? NoteDeviceResult(E_ABORT) : E_FAIL;
}

HRESULT CQuelkOnlinePage::WriteParameterToDevice(ULONG id, const VARIANT& value) noexcept {
    if (DeviceSilent()) return E_ABORT;
    ql::ComPtr<IQuelkVariablesEx> store;
    if (FAILED(QueryDtm(store)) || !store) return E_POINTER;
    VARIANT_BOOL written = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(NoteDeviceResult(store->WriteToDevice(id, value, &written)));
    return written == VARIANT_TRUE ? S_OK : S_FALSE;
}

HRESULT CQuelkOnlinePage::ApplyModifiedRows() noexcept {
    const DeviceAction action(*this);
    return CQuelkControlBase::ApplyModifiedRows();
}
