// The DP-V1 test control: its dialog following the DTM's state, and its four buttons.
#include "comm/BaseOrvo.h"

#include <string>

#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "controls/base/ControlArguments.h"
#include "values/AnsiText.h"

namespace {

// The dataset items the control works on (all DTM-internal).
constexpr ULONG kRecordId = 5;  // "AllParam": a byte array whose address the control sets
constexpr ULONG kSlotId = 6;
constexpr ULONG kIndexId = 7;
constexpr ULONG kRowFlags = kAccessDeviceReadWrite;

const ParameterMap& BaseOrvoMap() {
    static const ParameterMap map{
        {kParameterStationAddress, "Station Adress", 0, IDC_ORVO_STATION, "%u", kRowFlags,
         kControlDefaultColors},
        {kParameterApi, "Api", 0, IDC_ORVO_API, "%u", kRowFlags, kControlDefaultColors},
        {kRecordId, "AllParam", 0, IDC_ORVO_DATA, "%s", kRowFlags, kControlDefaultColors},
        {kSlotId, "Slot", 0, IDC_ORVO_SLOT, "%u", kRowFlags, kControlDefaultColors},
        {kIndexId, "Index", 0, IDC_ORVO_INDEX, "%u", kRowFlags, kControlDefaultColors},
    };
    return map;
}

constexpr UINT kButtons[] = {IDC_ORVO_CONNECT, IDC_ORVO_READ, IDC_ORVO_WRITE, IDC_ORVO_DISCONNECT};

ql::Variant I4Argument(LONG value) noexcept {
    ql::Variant argument;
    argument.SetI4(value);
    return argument;
}

}  // namespace

CBaseOrvo::CBaseOrvo() noexcept : CQuelkCompositeControl(IDD_BASEORVO, CLSID_BaseOrvo, BaseOrvoMap()) {}

// --- IQuelkControl ---

HRESULT CBaseOrvo::Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    const HRESULT hr = CQuelkCompositeControl::Init(dtm, ok);
    if (hr != S_OK) return hr;
    // Opened without the FDT initialisation: reads and writes work, connect and disconnect do not.
    if (!HasDtmLink()) return S_OK;
    QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(DtmLink(), m_dpv1));
    QL_RETURN_HR_IF(E_FAIL, !m_dpv1);
    UpdateButtonStates();
    UpdateAddressFields();
    return S_OK;
}

HRESULT CBaseOrvo::SetDtmState(ULONG state) noexcept {
    if (state == kStateConfigured) {
        m_commAvailable = FALSE;
        m_online = FALSE;
    } else if (state == kStateCommunicationSet || state == kStateDisconnecting) {
        m_commAvailable = TRUE;
        m_online = FALSE;
    } else if (state == kStateConnected) {
        m_commAvailable = TRUE;
        m_online = TRUE;
    } else {
        return S_OK;  // connecting, or a state without communication: the dialog stays as it is
    }
    UpdateButtonStates();
    UpdateAddressFields();
    if (const HWND dialog = DialogWindow()) {
        ::SetFocus(::GetDlgItem(dialog, m_online ? IDC_ORVO_SLOT : IDC_ORVO_STATION));
        ::UpdateWindow(dialog);
    }
    return S_OK;
}

HRESULT CBaseOrvo::ShowStatusText(BSTR text) noexcept {
    const HWND dialog = DialogWindow();
    if (!dialog) return S_OK;
    std::string ansi;
    if (text && FAILED(WideToAnsi(std::wstring_view(text, ::SysStringLen(text)), ansi))) ansi.clear();
    ::SetDlgItemTextA(dialog, IDC_ORVO_MESSAGES, ansi.c_str());
    return S_OK;
}

HRESULT CBaseOrvo::ShowMessage(ULONG, BSTR text, VARIANT) noexcept {
    UpdateButtonStates();
    // The status line is a notice: a text that cannot be shown leaves the last one.
    (void)ShowStatusText(text);  // unformatted: a device message may hold '%'
    return S_OK;
}

HRESULT CBaseOrvo::OnNotify(ULONG code, VARIANT data) noexcept {
    switch (code) {
        case kNotifyValueChanged:
            UpdateButtonStates();
            return CQuelkCompositeControl::OnNotify(code, data);
        case kNotifyConnectionSucceeded:
            UpdateButtonStates();
            // The status line is best effort: the buttons already follow the connection.
            (void)ShowStatusText(nullptr);
            return S_OK;
        case kNotifyConnectionFailed:
            UpdateButtonStates();
            if (V_VT(&data) == VT_BSTR) (void)ShowStatusText(V_BSTR(&data));
            return S_OK;
        default:
            return CQuelkCompositeControl::OnNotify(code, data);
    }
}

// --- the dialog following the state ---

void CBaseOrvo::UpdateButtonStates() noexcept {
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    for (UINT id : kButtons) {
        const bool enabled = m_commAvailable && (m_online ? id != IDC_ORVO_CONNECT : id == IDC_ORVO_CONNECT);
        const bool isDefault = m_commAvailable && id == (m_online ? IDC_ORVO_READ : IDC_ORVO_CONNECT);
        const HWND button = ::GetDlgItem(dialog, static_cast<int>(id));
        ::EnableWindow(button, enabled ? TRUE : FALSE);
        ::SendMessageW(button, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void CBaseOrvo::UpdateAddressFields() noexcept {
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    const BOOL open = (m_commAvailable && m_online) ? TRUE : FALSE;
    for (int id : {IDC_ORVO_SLOT, IDC_ORVO_INDEX, IDC_ORVO_DATA})
        ::EnableWindow(::GetDlgItem(dialog, id), open);
}

void CBaseOrvo::EnableButtons(BOOL enable) noexcept {
    const HWND dialog = DialogWindow();
    if (!dialog) return;
    for (UINT id : kButtons) ::EnableWindow(::GetDlgItem(dialog, static_cast<int>(id)), enable);
}

// --- the requests ---

BYTE CBaseOrvo::LowByteOf(ULONG id) noexcept {
    ql::Variant value;
    if (!Variables() || FAILED(Variables()->GetValue(*I4Argument(static_cast<LONG>(id)), value.Put())) ||
        FAILED(value.ChangeType(VT_I4))) {
        return 0;
    }
    return static_cast<BYTE>(V_I4(value.Get()) & 0xFF);
}

bool CBaseOrvo::StartRecordTransfer(const char* withoutStoreText) noexcept {
    Report("%s", "");
    const char* failure = withoutStoreText;
    if (Variables()) {
        failure = nullptr;
        if (StoreControlValue(kSlotId) != S_OK)
            failure = "Error writing SlotValue!";
        else if (StoreControlValue(kIndexId) != S_OK)
            failure = "Error writing IndexValue!";
    }
    if (failure) Report("%s", failure);
    return failure == nullptr;
}

HRESULT CBaseOrvo::AddressRecord() noexcept {
    const LONG address = LowByteOf(kSlotId) * 65536L + LowByteOf(kIndexId);
    QL_RETURN_IF_FAILED(Variables()->SetAddress(*I4Argument(kRecordId), *I4Argument(address)));
    return m_dpv1 ? S_OK : E_UNEXPECTED;
}

HRESULT CBaseOrvo::ReadRecord() noexcept {
    // The store never sends a DTM-internal item to the device: the client reads the record itself. Its
    // bytes come back as the parameter's value (and so into the data field); a device error as a message.
    QL_RETURN_IF_FAILED(AddressRecord());
    VARIANT_BOOL sent = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(m_dpv1->ReadRequestSync(kRecordId, &sent));
    return sent == VARIANT_TRUE ? S_OK : E_FAIL;
}

HRESULT CBaseOrvo::WriteRecord() noexcept {
    QL_RETURN_IF_FAILED(AddressRecord());
    ql::Variant data;
    if (ReadParameterDisplayByID(kRecordId, data.Get()) != S_OK) return E_FAIL;
    VARIANT_BOOL sent = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(m_dpv1->WriteRequestSync(kRecordId, *data, &sent));
    return sent == VARIANT_TRUE ? S_OK : E_FAIL;
}

// --- the buttons ---

LRESULT CBaseOrvo::OnConnect(WORD, WORD, HWND, BOOL&) noexcept {
    Report("%s", "");
    if (!Variables()) {
        Report("%s", " Parameter Handler not initialized!");
        return 0;
    }
    if (FAILED(StoreControlValue(kParameterStationAddress))) {
        Report("Error writing StationAddress!");
        return 0;
    }
    if (FAILED(StoreControlValue(kParameterApi))) {
        Report("Error writing API!");
        return 0;
    }
    if (!m_dpv1) return E_UNEXPECTED;
    EnableButtons(FALSE);
    VARIANT_BOOL sent = VARIANT_FALSE;
    const HRESULT hr =
        m_dpv1->ConnectRequest(LowByteOf(kParameterApi), LowByteOf(kParameterStationAddress), &sent);
    // Otherwise the DTM's state change and its connection notification bring the buttons back.
    if (FAILED(hr)) {
        Report("Error sending ConnectRequest (hRes = %08X)!", static_cast<unsigned int>(hr));
        UpdateButtonStates();
    }
    return 0;
}

LRESULT CBaseOrvo::OnDisconnect(WORD, WORD, HWND, BOOL&) noexcept {
    Report("%s", "");
    if (!m_dpv1) return E_UNEXPECTED;
    EnableButtons(FALSE);
    VARIANT_BOOL sent = VARIANT_FALSE;
    // The disconnect names API 0 whatever the API field holds.
    const HRESULT hr = m_dpv1->DisconnectRequest(0, LowByteOf(kParameterStationAddress), &sent);
    if (FAILED(hr) || hr == S_FALSE) {
        Report("DisconnectError (hRes = %08X)!", static_cast<unsigned int>(hr));
        UpdateButtonStates();
    }
    return 0;
}

LRESULT CBaseOrvo::OnRead(WORD, WORD, HWND, BOOL&) noexcept {
    if (!StartRecordTransfer(" Parameter Handler not initialized!")) return 0;
    ::SetDlgItemTextW(DialogWindow(), IDC_ORVO_DATA, L"");
    EnableButtons(FALSE);
    if (ReadRecord() != S_OK) {
        Report("Error reading Parameter!");
        UpdateButtonStates();  // nothing will come back that would bring the buttons back
    }
    return 0;
}

LRESULT CBaseOrvo::OnWrite(WORD, WORD, HWND, BOOL&) noexcept {
    if (!StartRecordTransfer("Parameter Handler not initialized!")) return 0;
    EnableButtons(FALSE);
    if (WriteRecord() != S_OK) {
        Report("Error writing WriteData!");
        UpdateButtonStates();
    }
    return 0;
}

LRESULT CBaseOrvo::OnOk(WORD, WORD, HWND, BOOL&) noexcept {
    if (FAILED(FocusFirstInvalidControl())) return 0;  // an invalid field has the focus: stay open
    (void)ApplyModifiedRows();                         // closes whatever the commits answer
    // A close request that cannot be posted leaves the control open; the user can close it again.
    (void)PostCloseRequest();
    return 0;
}

LRESULT CBaseOrvo::OnCancel(WORD, WORD, HWND, BOOL&) noexcept {
    // A close request that cannot be posted leaves the control open; the user can close it again.
    (void)PostCloseRequest();
    return 0;
}

LRESULT CBaseOrvo::OnCtlColorDialog(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    return 0;  // the dialog keeps the system's background
}
