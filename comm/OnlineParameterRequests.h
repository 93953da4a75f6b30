#pragma once
// COnlineParameterRequests: the DTM object's IDtmOnlineParameter. The frame asks for an upload of the whole
// dataset from the device or a download to it without a user interface, or cancels such a request. The DTM
// checks the user's level and its state, goes online first when it has a channel but no connection, and
// runs the transfer on a worker thread of its own (OnlineRequestWorker), so that the frame's call returns at
// once; the worker tells the frame when the transfer has finished. One request runs at a time.
//
// A member part of the DTM object (QL_ENTRY_MEMBER row for IDtmOnlineParameter); it reaches the store and
// the DP-V1 client through its host (ICommunicationHost).
//
// Threading: the three methods run on the frame's user-interface thread, as does every clean-up of a
// request: the worker shares only its job with this part (an atomic flag tells that it has finished) and
// never touches the DTM object. Starting a request waits for the connection while dispatching messages.
#include <windows.h>

#include <memory>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "comm/CommunicationHost.h"
#include "comm/OnlineRequestWorker.h"
#include "classlib/Handle.h"

class COnlineParameterRequests : public ql::MemberPart, public FdtDispatchImpl<IDtmOnlineParameter> {
    QL_MEMBER_IUNKNOWN()

public:
    COnlineParameterRequests(ql::PartOwner& owner, ICommunicationHost& host) noexcept
        : ql::MemberPart(owner), host_(&host) {}
    COnlineParameterRequests(const COnlineParameterRequests&) = delete;
    COnlineParameterRequests& operator=(const COnlineParameterRequests&) = delete;
    // A worker still running keeps its own share of its job and ends on its own.
    ~COnlineParameterRequests() = default;

    // ---- IDtmOnlineParameter ----
    HRESULT STDMETHODCALLTYPE CancelOnlineRequest(BSTR invokeId, VARIANT_BOOL* stopped) noexcept override;
    HRESULT STDMETHODCALLTYPE DownloadRequest(BSTR invokeId, BSTR text,
                                              VARIANT_BOOL* started) noexcept override;
    HRESULT STDMETHODCALLTYPE UploadRequest(BSTR invokeId, BSTR text,
                                            VARIANT_BOOL* started) noexcept override;

    // True from the start of a request until its transfer has answered (ICheckOnlineParameter, the
    // cyclic reading of the controls, the release of the communication).
    bool IsRequestRunning() noexcept;
    // The invoke id of the running request; null when none runs.
    BSTR RunningInvokeId() noexcept;
    // The text of the last request; it stays until the next request replaces it.
    BSTR RequestText() const noexcept { return requestText_.Get(); }

private:
    HRESULT StartRequest(OnlineRequestKind kind, BSTR invokeId, BSTR text, VARIANT_BOOL* started) noexcept;
    // Brings the DTM online from state 9 or waits out state 10; true when it is online afterwards.
    bool ReachOnline(ULONG state) noexcept;
    // Forgets a request whose worker has finished, on this thread.
    void CollectFinishedRequest() noexcept;

    ICommunicationHost* host_;  // never null
    std::shared_ptr<OnlineRequestJob> running_;
    // The running request's invoke id as this thread reads it (the worker has its own copy).
    ql::Bstr runningInvokeId_;
    ql::Bstr requestText_;
    ql::Handle worker_;
};
