#pragma once
// CFunctionUi: one user interface the frame has open, the way an FDT frame opens it. For a DTM function the
// frame writes the function-call document, asks the DTM's IDtmActiveXInformation for the function's control
// (ProgID first, the class id when the DTM names no ProgID), creates and hosts it (CControlContainer) and
// initialises it with IDtmActiveXControl::Init (a fresh invoke id, the function call, the DTM). A control
// that is no DTM function (the DP-V1 test control, a test control) is opened by ProgID or class id alone.
//
// Closing (the user closes the window, or the DTM asks through IFrameActiveX::CloseActiveXControlRequest):
// IDtmActiveXControl::PrepareToRelease for a DTM function, then the control is closed and released and the
// window goes. Afterwards nothing of the frame holds the control or the DTM.
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <string>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "frame/ControlContainer.h"

class CFunctionUi {
public:
    CFunctionUi() noexcept;
    CFunctionUi(const CFunctionUi&) = delete;
    CFunctionUi& operator=(const CFunctionUi&) = delete;
    ~CFunctionUi() { (void)Close(); }

    // Opens the user interface of the DTM's function `functionId`. S_FALSE when the control refused Init (the
    // window is closed again); the DTM's or the control's failure otherwise.
    HRESULT OpenFunction(IUnknown* dtm, long functionId) noexcept;
    // Opens a control by ProgID or class id in braces. With a DTM, a control that answers IDtmActiveXControl
    // is initialised with it (a fresh invoke id and a function call of its own): S_FALSE when it refused.
    HRESULT OpenControl(const std::wstring& classIdOrProgId, IUnknown* dtm = nullptr) noexcept;
    // Lets the control go (see the top). S_OK also when nothing was open.
    HRESULT Close() noexcept;

    bool IsOpen() const noexcept { return container_.IsOpen(); }
    const std::wstring& InvokeId() const noexcept { return invokeId_; }
    CControlContainer& Container() noexcept { return container_; }
    // What PrepareToRelease answered at the last close (S_OK when the control had no DTM).
    HRESULT LastReleaseResult() const noexcept { return lastReleaseResult_; }

private:
    // IDtmActiveXControl::Init of the hosted control; on refusal the window is closed again.
    HRESULT InitControl(IUnknown* dtm, const ql::Bstr& functionCall) noexcept;

    std::wstring invokeId_;
    ql::ComPtr<IDtmActiveXControl> fdtControl_;
    CControlContainer container_;
    HRESULT lastReleaseResult_ = S_OK;
};
