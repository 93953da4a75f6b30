#pragma once
// CBaseOrvo: the DP-V1 test control, for trying the link to the device by hand. The user enters the device's
// station address and DP-V1 API and connects, reads or writes one raw record by slot and index (its bytes
// as text in the data field) and disconnects; every outcome goes to the message field. The buttons follow
// the DTM's state: no channel, nothing; a channel, Connect; online, Read, Write and Disconnect.
//
// Connect and disconnect go to the DTM's DP-V1 client; their results come back as the DTM's state change
// and the connection notifications. Reads and writes put the record's address on the DTM-internal byte
// array "AllParam" and send it through the client's synchronous requests, so the record's bytes travel as
// that parameter's value (the store never sends an internal item to the device itself).
//
// Opened by a frame by ProgID ("VarnokP3.BaseOrvo"); it is no function of the DTM. Threading: the frame's
// user-interface thread; a read or write waits with the message loop running, the buttons disabled.
#include <windows.h>

#include "VarnokP3.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "comm/BaseOrvoResources.h"
#include "controls/base/QuelkCompositeControl.h"

class CBaseOrvo final : public ql::ComObjectBase<CBaseOrvo>, public CQuelkCompositeControl {
    QL_INTERFACE_TABLE(CBaseOrvo, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkCompositeControl))

    QL_BEGIN_MSG_MAP(CBaseOrvo)
    QL_COMMAND_HANDLER(IDC_ORVO_CONNECT, BN_CLICKED, OnConnect)
    QL_COMMAND_HANDLER(IDC_ORVO_DISCONNECT, BN_CLICKED, OnDisconnect)
    QL_COMMAND_HANDLER(IDC_ORVO_READ, BN_CLICKED, OnRead)
    QL_COMMAND_HANDLER(IDC_ORVO_WRITE, BN_CLICKED, OnWrite)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnCancel)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColorDialog)
    QL_CHAIN_MSG_MAP(CQuelkCompositeControl)
    QL_END_MSG_MAP()

public:
    CBaseOrvo() noexcept;
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

    // --- IQuelkControl ---
    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowStatusText(BSTR text) noexcept override;
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override;
    using CQuelkCompositeControl::Init;
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG id, BSTR text, VARIANT extra) noexcept override;
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;

private:
    void UpdateButtonStates() noexcept;
    void UpdateAddressFields() noexcept;
    void EnableButtons(BOOL enable) noexcept;
    // The low byte of a parameter's value (the address fields are bytes); 0 when it cannot be read.
    BYTE LowByteOf(ULONG id) noexcept;
    // Empties the messages and stores the slot and index fields; false (and the reason shown) when there is
    // no variable store or a field cannot be stored.
    bool StartRecordTransfer(const char* withoutStoreText) noexcept;
    // Puts the record's address (slot * 65536 + index) on the transfer parameter.
    HRESULT AddressRecord() noexcept;
    HRESULT ReadRecord() noexcept;
    HRESULT WriteRecord() noexcept;

    LRESULT OnConnect(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnDisconnect(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnRead(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnWrite(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnCtlColorDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;

    ql::ComPtr<IQuelkDpv1Communication> m_dpv1;
    BOOL m_commAvailable = FALSE;
    BOOL m_online = FALSE;
};
