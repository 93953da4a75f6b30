#include "comm/OnlineParameterRequests.h"

#include <string_view>

#include "QuelkInterfaces.h"
#include "classlib/HResult.h"
#include "comm/CommunicationStates.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/QuelkVariableStorePart.h"
#include "classlib/PumpingWait.h"

namespace {

bool IsRequestState(ULONG state) noexcept {
    return state == kStateCommunicationSet || state == kStateConnecting || state == kStateConnected;
}

// Both null, or both present and equal character by character.
bool IsSameInvokeId(BSTR given, BSTR running) noexcept {
    if (!given || !running) return given == running;
    const UINT length = ::SysStringLen(given);
    return length == ::SysStringLen(running) &&
           std::wstring_view(given, length) == std::wstring_view(running, length);
}

HRESULT MarshalForWorker(IUnknown* object, ql::ComPtr<IStream>& stream) noexcept {
    QL_RETURN_HR_IF(E_FAIL, object == nullptr);
    return ::CoMarshalInterThreadInterfaceInStream(IID_IUnknown, object, stream.Put());
}

}  // namespace

void COnlineParameterRequests::CollectFinishedRequest() noexcept {
    if (!running_ || !running_->finished) return;
    running_.reset();
    runningInvokeId_.Reset();
    worker_.Reset();
}

bool COnlineParameterRequests::IsRequestRunning() noexcept {
    CollectFinishedRequest();
    return static_cast<bool>(running_);
}

BSTR COnlineParameterRequests::RunningInvokeId() noexcept {
    CollectFinishedRequest();
    return runningInvokeId_.Get();
}

HRESULT COnlineParameterRequests::CancelOnlineRequest(BSTR invokeId, VARIANT_BOOL* stopped) noexcept {
    QL_RETURN_IF_NULL_OUT(stopped);
    *stopped = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    QL_RETURN_HR_IF(E_INVALIDARG, !IsSameInvokeId(invokeId, RunningInvokeId()));
    if (host_->UserLevel() < kUserLevelOperator) return S_FALSE;
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    if (!IsRequestState(state)) return S_FALSE;

    const ql::ComPtr<IQuelkVariablesEx> store(&host_->StorePart());
    QL_RETURN_IF_FAILED(store->RequestStop(stopped));
    if (*stopped != VARIANT_TRUE) return S_OK;
    // The frame asked for this ending: its worker does not report it.
    if (running_) running_->cancelled = true;
    ::Sleep(host_->CancelPause());
    return S_OK;
}

HRESULT COnlineParameterRequests::DownloadRequest(BSTR invokeId, BSTR text, VARIANT_BOOL* started) noexcept {
    return StartRequest(OnlineRequestKind::Download, invokeId, text, started);
}

HRESULT COnlineParameterRequests::UploadRequest(BSTR invokeId, BSTR text, VARIANT_BOOL* started) noexcept {
    return StartRequest(OnlineRequestKind::Upload, invokeId, text, started);
}

bool COnlineParameterRequests::ReachOnline(ULONG state) noexcept {
    if (state == kStateCommunicationSet) {
        VARIANT_BOOL sent = VARIANT_FALSE;
        (void)host_->Client().GoOnline(&sent);  // the state after the wait tells
    }
    // States 9 and 10 end with the connect answer (or with a connect that could not be sent); the state
    // event is set in 9 and 12. The limit bounds the whole wait.
    if (HANDLE event = host_->StateEvent()) (void)ql::WaitWithMessagePump(event, host_->StateWaitTime());
    ULONG reached = 0;
    return SUCCEEDED(host_->GetState(&reached)) && reached == kStateConnected;
}

HRESULT COnlineParameterRequests::StartRequest(OnlineRequestKind kind, BSTR invokeId, BSTR text,
                                               VARIANT_BOOL* started) noexcept {
    QL_RETURN_IF_NULL_OUT(started);
    *started = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    // Held across the wait for the connection: a frame handler inside it may drop the last reference.
    const ql::ComPtr<IUnknown> keepAlive(host_->ControllingUnknown());
    if (host_->UserLevel() < kUserLevelOperator) return S_FALSE;
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    if (!IsRequestState(state)) return S_FALSE;
    if (IsRequestRunning()) return S_FALSE;
    if (state != kStateConnected && !ReachOnline(state)) return S_FALSE;
    // The wait dispatched messages: another request may have started meanwhile.
    if (IsRequestRunning()) return S_FALSE;

    std::shared_ptr<OnlineRequestJob> job;
    QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
        job = std::make_shared<OnlineRequestJob>();
        return S_OK;
    }));
    job->kind = kind;
    ql::Bstr runningId;
    QL_RETURN_IF_FAILED(runningId.AssignCopy(invokeId));
    QL_RETURN_IF_FAILED(job->invokeId.AssignCopy(invokeId));
    QL_RETURN_IF_FAILED(job->text.AssignCopy(text));
    QL_RETURN_IF_FAILED(requestText_.AssignCopy(text));

    QL_RETURN_IF_FAILED(MarshalForWorker(host_->ControllingUnknown(), job->dtmStream));
    HRESULT hr = MarshalForWorker(host_->Frame(), job->frameStream);
    if (FAILED(hr)) {
        ReleaseMarshalledInterfaces(*job);
        return hr;
    }
    HANDLE thread = nullptr;
    if (FAILED(StartOnlineRequestWorker(job, &thread))) {
        ReleaseMarshalledInterfaces(*job);
        return S_FALSE;
    }
    worker_.Attach(thread);
    running_ = std::move(job);
    runningInvokeId_ = std::move(runningId);
    *started = VARIANT_TRUE;
    return S_OK;
}
