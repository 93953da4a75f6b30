// Going online and offline through the lifecycle states 9 to 12, the connection results that reach the open
// user interfaces, the abort hook and the split of a DP-V1 address.
#include "comm/QuelkDpv1Communication.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "classlib/Handle.h"
#include "classlib/PumpingWait.h"

// ---- IQuelkOnlineState ----

HRESULT CQuelkDpv1Communication::GoOnline(VARIANT_BOOL* sent) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    QL_RETURN_HR_IF(E_FAIL, state != kStateCommunicationSet);
    const ql::SelfHold keepAlive = HoldObject();
    QL_RETURN_IF_FAILED(host_->SetState(kStateConnecting));

    VARIANT_BOOL connectSent = VARIANT_FALSE;
    const HRESULT hr = Connect(&connectSent);
    if (SUCCEEDED(hr) && connectSent == VARIANT_TRUE) {
        // The connect answer moves the state on (12, or 9 on a failure); it may already have done so.
        *sent = VARIANT_TRUE;
        return S_OK;
    }
    // Back to 9 only from the 10 set above: whoever told of state 10 may have moved the DTM on meanwhile.
    if (SUCCEEDED(host_->GetState(&state)) && state == kStateConnecting) {
        // The connect request's own failure is the answer; the state falls back as far as it can.
        (void)host_->SetState(kStateCommunicationSet);
    }
    return hr;
}

HRESULT CQuelkDpv1Communication::GoOffline(VARIANT_BOOL* offline) noexcept {
    QL_RETURN_IF_NULL_OUT(offline);
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    QL_RETURN_HR_IF(E_FAIL, state != kStateConnected);
    const ql::SelfHold keepAlive = HoldObject();
    QL_RETURN_IF_FAILED(host_->SetState(kStateDisconnecting));

    ql::ManualResetEvent event;
    disconnectEvent_ = &event;
    VARIANT_BOOL disconnectSent = VARIANT_FALSE;
    const HRESULT hr = event.Get() ? Disconnect(&disconnectSent) : HRESULT_FROM_WIN32(::GetLastError());
    if (FAILED(hr) || disconnectSent != VARIANT_TRUE) {
        disconnectEvent_ = nullptr;
        // Only from the 11 set above, which a handler of its announcement may already have left: back to
        // 12 while the connection still exists, else on to 9, where a connection that is gone belongs.
        if (SUCCEEDED(host_->GetState(&state)) && state == kStateDisconnecting) {
            // The disconnect request's own failure is the answer; the state falls back as far as it can.
            (void)host_->SetState(IsConnected() ? kStateConnected : kStateCommunicationSet);
        }
        return FAILED(hr) ? hr : E_FAIL;
    }
    // The answer may have come during the request; the wait then ends at once. A time-out leaves state 11
    // until a late answer (or the release of the communication) ends it.
    // How the wait ended does not matter: the state afterwards tells whether the DTM is offline.
    (void)ql::WaitWithMessagePump(event.Get(), disconnectTimeout_);
    disconnectEvent_ = nullptr;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    if (state == kStateCommunicationSet) *offline = VARIANT_TRUE;
    return S_OK;
}

// ---- the hooks of the connection answers ----

HRESULT CQuelkDpv1Communication::BroadcastConnectionResult(VARIANT_BOOL ok, BSTR message) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    ql::Variant argument;
    if (ok == VARIANT_TRUE) {
        // A notice to the open user interfaces: one that fails does not change the connection's result.
        (void)host_->BroadcastNotification(kNotifyConnectionSucceeded, *argument);
        return S_OK;
    }
    ql::Bstr copy;
    if (SUCCEEDED(copy.AssignCopy(message))) {
        argument.AttachBstr(copy.Detach());
    } else {
        argument.SetError(E_OUTOFMEMORY);
    }
    // As above: a notice.
    (void)host_->BroadcastNotification(kNotifyConnectionFailed, *argument);
    return S_OK;
}

HRESULT CQuelkDpv1Communication::OnConnectResult(VARIANT, VARIANT_BOOL ok, BYTE, BYTE,
                                                 BSTR message) noexcept {
    return BroadcastConnectionResult(ok, message);
}

HRESULT CQuelkDpv1Communication::OnDisconnectResult(VARIANT, VARIANT_BOOL ok, BYTE, BYTE,
                                                    BSTR message) noexcept {
    return BroadcastConnectionResult(ok, message);
}

HRESULT CQuelkDpv1Communication::OnAborted() noexcept {
    // The open user interfaces learn of an abort through the state broadcast alone.
    return S_OK;
}

HRESULT CQuelkDpv1Communication::SplitDpv1Address(VARIANT address, BYTE* slot, BYTE* index) noexcept {
    QL_RETURN_HR_IF(E_POINTER, slot == nullptr || index == nullptr);
    ql::Variant number;
    QL_RETURN_IF_FAILED(number.CopyFrom(address));
    QL_RETURN_IF_FAILED(number.ChangeType(VT_I4));
    const ULONG bits = static_cast<ULONG>(V_I4(number.Get()));
    *slot = static_cast<BYTE>((bits >> 16) & 0xFF);
    *index = static_cast<BYTE>(bits & 0xFF);
    return S_OK;
}
