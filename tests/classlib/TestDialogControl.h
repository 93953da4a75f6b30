#pragma once
// CUiTestControl: a dialog control built on the class library as the system's controls are: two edits, a
// check box, a status line, OK and Cancel. OK (or Enter) counts a confirmation, shows "Confirmed" and fires
// Confirmed to the event sinks; Cancel (or Esc) shows "Cancelled". It keeps the bytes it was loaded from and
// saves them back unchanged, and it answers the FDT initialisation (keeping the DTM until PrepareToRelease),
// so the frame can open it as a DTM function.
#include <windows.h>

#include <vector>

#include "FdtInterfaces.h"
#include "UiTestServer.h"
#include "classlib/Bstr.h"
#include "classlib/ConnectionPoint.h"
#include "classlib/DialogControl.h"
#include "classlib/DispatchImpl.h"
#include "idl/OutsideDispatch.h"

class CUiTestControl final : public ql::ComObjectBase<CUiTestControl>,
                             public ql::DispatchImpl<IUiTestControl>,
                             public FdtDispatchImpl<IDtmActiveXControl>,
                             public ql::DialogControl,
                             public ql::ConnectionPointContainer {
    QL_INTERFACE_TABLE(CUiTestControl, QL_ENTRY(IUiTestControl), QL_ENTRY_IID(IID_IDispatch, IUiTestControl),
                       QL_ENTRY(IDtmActiveXControl), QL_ENTRY_CHAIN(ql::DialogControl),
                       QL_ENTRY_CHAIN(ql::ConnectionPointContainer))

    QL_BEGIN_MSG_MAP(CUiTestControl)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnCancel)
    QL_CHAIN_MSG_MAP(ql::DialogControl)
    QL_END_MSG_MAP()

public:
    CUiTestControl() noexcept;
    HRESULT FinalConstruct() noexcept;

    // ---- IUiTestControl ----
    HRESULT STDMETHODCALLTYPE get_ConfirmCount(LONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE get_InvokeId(BSTR* invokeId) noexcept override;
    HRESULT STDMETHODCALLTYPE get_AmbientLocale(LONG* locale) noexcept override;

    // ---- IDtmActiveXControl (described by the FDT library, not by this one) ----
    HRESULT STDMETHODCALLTYPE Init(BSTR invokeId, BSTR functionCall, IDtm* dtm,
                                   VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE PrepareToRelease(VARIANT_BOOL* ok) noexcept override;

protected:
    HINSTANCE DialogModule() const noexcept override;
    HRESULT LoadState(IStream* stream) noexcept override;
    HRESULT SaveState(IStream* stream, bool clearDirty) noexcept override;

private:
    LRESULT OnOk(WORD, WORD, HWND, BOOL&);
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&);
    void ShowStatus(const wchar_t* text) noexcept;

    LONG confirmCount_ = 0;
    std::vector<BYTE> loaded_;
    ql::Bstr invokeId_;
    ql::ComPtr<IDtm> dtm_;
};
