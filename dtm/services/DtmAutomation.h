#pragma once
// CDtmAutomation: the DTM object's three dual automation interfaces, through which its controls reach it:
// IDtmObject (the service login's request to open the online parameterization, the progress display,
// comparing one parameter with the device, the active function id of a page), IUserInfo (the user level)
// and ICheckOnlineParameter (whether an upload or download runs), and ISupportErrorInfo for IDtmObject.
//
// A member part of the DTM object: its table lists IDtmObject first (the object's identity) with IDispatch
// answered by IDtmObject, and IUserInfo, ICheckOnlineParameter and ISupportErrorInfo where they belong
// (QL_ENTRY_MEMBER). Threading: the frame's user-interface thread. Not owned: the host.
#include <windows.h>

#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/SupportErrorInfo.h"
#include "dtm/DtmHost.h"

class CDtmAutomation : public ql::MemberPart,
                       public ql::DispatchImpl<IDtmObject>,
                       public ql::DispatchImpl<IUserInfo>,
                       public ql::DispatchImpl<ICheckOnlineParameter>,
                       public ql::SupportErrorInfoImpl<&IID_IDtmObject> {
    QL_MEMBER_IUNKNOWN()

public:
    CDtmAutomation(ql::PartOwner& owner, DtmHost& host) noexcept : ql::MemberPart(owner), host_(host) {}
    CDtmAutomation(const CDtmAutomation&) = delete;
    CDtmAutomation& operator=(const CDtmAutomation&) = delete;

    // ---- IDtmObject ----
    // The service login stored a user name (parameter 10) and a password (11): when both are the service
    // account's, the frame is asked to open the online parameterization (function 2). S_OK either way.
    HRESULT STDMETHODCALLTYPE ShowTreeActiveX() noexcept override;
    HRESULT STDMETHODCALLTYPE ShowProgressValue(LONG index, LONG count, BSTR title) noexcept override;
    // Reads the parameter from the device under the compare mark (the dataset keeps its value) and answers
    // the device's and the dataset's value. S_OK whatever the device read gave.
    HRESULT STDMETHODCALLTYPE CompareSingleParameter(VARIANT parameterId, VARIANT* deviceValue,
                                                     VARIANT* dtmValue) noexcept override;
    HRESULT STDMETHODCALLTYPE SetActiveXFunctionID(LONG functionId) noexcept override;
    HRESULT STDMETHODCALLTYPE GetActiveFunctionID(LONG* functionId) noexcept override;

    // ---- IUserInfo ----
    HRESULT STDMETHODCALLTYPE GetUserLevel(LONG* userLevel) noexcept override;

    // ---- ICheckOnlineParameter ----
    HRESULT STDMETHODCALLTYPE CheckIfUpDownloadRunning(LONG* running) noexcept override;

private:
    DtmHost& host_;
    LONG activeFunctionId_ = 0;  // the toolkit left it unset; 0 until a page sets it
};
