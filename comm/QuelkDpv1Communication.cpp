// The core of the DP-V1 client: the channel, the common road of every request, the answers on the sink and
// their dispatch, the abort, and the value encoding's interface slots.
#include "comm/QuelkDpv1Communication.h"

#include <string_view>

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "comm/Dpv1InvokeId.h"
#include "comm/Dpv1ValueEncoding.h"
#include "dataset/QuelkVariableStorePart.h"
#include "values/XmlText.h"

namespace {

// The message of a refused write as the calling thread's error object: it travels with the failure to
// whoever committed the value, which need not be one of the open controls the store told.
void SetRefusalErrorInfo(BSTR message) noexcept {
    ql::ComPtr<ICreateErrorInfo> create;
    if (FAILED(::CreateErrorInfo(create.Put())) || !create) return;
    // An error object is extra information for the caller; the failure itself travels as the HRESULT.
    (void)create->SetDescription(message);
    (void)create->SetGUID(IID_IQuelkVariablesEx);
    ql::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(info))) (void)::SetErrorInfo(0, info.Get());  // as above: extra information
}

// Both null count as equal, one null as unequal, otherwise every character counts, letter case included.
bool IsExactlySameText(BSTR first, BSTR second) noexcept {
    if (!first || !second) return first == second;
    const UINT length = ::SysStringLen(first);
    if (length != ::SysStringLen(second)) return false;
    return std::wstring_view(first, length) == std::wstring_view(second, length);
}

}  // namespace

// ---- the channel ----

HRESULT CQuelkDpv1Communication::SetChannel(IUnknown* channel) noexcept {
    channel_.Reset();
    if (!channel) {
        // Without a channel no answer can come any more: requests still waiting give up at once (E_ABORT)
        // instead of waiting out their time-out, and a connection of the old channel is forgotten, so that
        // a later channel can be connected.
        pending_.AbortAll();
        // Forgetting the reference (null) always succeeds.
        (void)StoreCommunicationReference(nullptr);
        return S_OK;
    }
    ql::ComPtr<IFdtCommunication> fdtChannel;
    QL_RETURN_IF_FAILED(channel->QueryInterface(IID_IFdtCommunication, fdtChannel.PutVoid()));
    QL_RETURN_HR_IF(E_FAIL, !fdtChannel);
    channel_ = std::move(fdtChannel);
    return S_OK;
}

HRESULT CQuelkDpv1Communication::AbandonConnection() noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    if (state != kStateConnecting && state != kStateDisconnecting) return S_FALSE;
    pending_.AbortAll();
    // Forgetting the reference (null) always succeeds.
    (void)StoreCommunicationReference(nullptr);
    QL_RETURN_IF_FAILED(host_->SetState(kStateCommunicationSet));
    // A GoOffline still waiting for its answer ends its wait now.
    if (disconnectEvent_) disconnectEvent_->Set();
    return S_OK;
}

HRESULT CQuelkDpv1Communication::StoreCommunicationReference(BSTR reference) noexcept {
    if (!reference) {
        communicationReference_.Reset();
        escapedReference_.Reset();
        return S_OK;
    }
    ql::Bstr raw;
    QL_RETURN_IF_FAILED(raw.AssignCopy(reference));
    // The reference is the peer's text: it goes into every later request document between an attribute's
    // quotes, so it is escaped once here rather than trusted to hold no markup.
    ql::Bstr escaped;
    QL_RETURN_IF_FAILED(EscapeXmlText(raw.Get(), escaped.Put()));
    communicationReference_ = std::move(raw);
    escapedReference_ = std::move(escaped);
    return S_OK;
}

// ---- the road of every request ----

HRESULT CQuelkDpv1Communication::SendRequest(RequestKind kind, const VARIANT& context, BSTR document,
                                             BSTR protocolId, Dpv1SyncWaiter* waiter, ql::Bstr& invokeId,
                                             VARIANT_BOOL* sent) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    *sent = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_UNEXPECTED, !channel_);
    ql::ComPtr<IFdtCommunicationEvents> sink;
    if (kind == RequestKind::Connect) sink = ql::ComPtr<IFdtCommunicationEvents>(this);
    QL_RETURN_IF_FAILED(CreateInvokeId(invokeId.Put()));
    // Registered before the channel is called: the answer may arrive during the call itself.
    QL_RETURN_IF_FAILED(pending_.Add(invokeId.Get(), context, waiter));

    // Held for the call: an answer delivered during it may take the channel away from the client, or the
    // frame's last reference away from the DTM.
    const ql::SelfHold keepAlive = HoldObject();
    const ql::ComPtr<IFdtCommunication> channel(channel_);
    VARIANT_BOOL accepted = VARIANT_FALSE;
    HRESULT hr = E_UNEXPECTED;
    switch (kind) {
        case RequestKind::Connect:
            hr = channel->ConnectRequest(sink.Get(), invokeId.Get(), protocolId, document, &accepted);
            break;
        case RequestKind::Disconnect:
            hr = channel->DisconnectRequest(invokeId.Get(), document, &accepted);
            break;
        case RequestKind::Transaction:
            hr = channel->TransactionRequest(invokeId.Get(), document, &accepted);
            break;
    }
    // Only exactly VARIANT_TRUE is an acceptance; any other value (1, say) is a refusal.
    if (SUCCEEDED(hr) && accepted == VARIANT_TRUE) {
        *sent = VARIANT_TRUE;
        return S_OK;
    }
    // The record of a refused request goes if it is there; the request's answer is the refusal.
    (void)pending_.Remove(invokeId.Get());
    return FAILED(hr) ? hr : S_OK;
}

// ---- the answers ----

ql::SelfHold CQuelkDpv1Communication::HoldObject() noexcept {
    return ql::SelfHold(host_ ? host_->ControllingUnknown() : nullptr);
}

HRESULT CQuelkDpv1Communication::TakePending(BSTR invokeId, CQuelkDpv1Transaction* record) noexcept {
    // An answer that arrives when the client has no channel any more finds no record either: the list was
    // emptied when the channel went.
    return pending_.Take(invokeId, record);
}

HRESULT CQuelkDpv1Communication::OnConnectResponse(BSTR invokeId, BSTR response) noexcept {
    QL_RETURN_HR_IF(RPC_E_WRONG_THREAD, !IsOwnerThread());
    const ql::SelfHold keepAlive = HoldObject();
    CQuelkDpv1Transaction record;
    QL_RETURN_IF_FAILED(TakePending(invokeId, &record));
    if (V_VT(&record.Context()) == VT_ERROR) return V_ERROR(&record.Context());
    const HRESULT hr = EvaluateConnectResponse(record.Context(), response);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CQuelkDpv1Communication::OnDisconnectResponse(BSTR invokeId, BSTR response) noexcept {
    QL_RETURN_HR_IF(RPC_E_WRONG_THREAD, !IsOwnerThread());
    const ql::SelfHold keepAlive = HoldObject();
    CQuelkDpv1Transaction record;
    QL_RETURN_IF_FAILED(TakePending(invokeId, &record));
    HRESULT hr = S_OK;
    if (V_VT(&record.Context()) == VT_ERROR) {
        hr = V_ERROR(&record.Context());
    } else {
        hr = EvaluateDisconnectResponse(record.Context(), response);
    }
    // GoOffline's wait ends whatever the evaluation said: the state tells it the outcome.
    if (disconnectEvent_) disconnectEvent_->Set();
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CQuelkDpv1Communication::OnTransactionResponse(BSTR invokeId, BSTR response) noexcept {
    QL_RETURN_HR_IF(RPC_E_WRONG_THREAD, !IsOwnerThread());
    const ql::SelfHold keepAlive = HoldObject();
    CQuelkDpv1Transaction record;
    QL_RETURN_IF_FAILED(TakePending(invokeId, &record));
    if (V_VT(&record.Context()) == VT_ERROR) {
        const HRESULT copyFailure = V_ERROR(&record.Context());
        record.Complete(copyFailure);
        return copyFailure;
    }
    // The store's result sink tells the user interfaces, which may run further requests (and their
    // evaluations) before this one returns: the outcome is caught here, for this request alone.
    Dpv1TransferOutcome outcome;
    Dpv1TransferOutcome* const enclosing = transferOutcome_;
    transferOutcome_ = &outcome;
    const HRESULT hr = DispatchTransactionResponse(record.Context(), response);
    transferOutcome_ = enclosing;
    // The result goes to this request's own waiter, whatever other requests wait meanwhile.
    record.Complete(hr, std::move(outcome));
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CQuelkDpv1Communication::DispatchTransactionResponse(VARIANT context, BSTR response) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, V_VT(&context) != (VT_ARRAY | VT_VARIANT) || V_ARRAY(&context) == nullptr);
    SAFEARRAY* elements = V_ARRAY(&context);
    // Elements are taken by one index, each by the checked copy, which refuses any array but a vector of
    // VARIANTs of its own (from another a copy would take the caller's strings, or write past its end) and
    // any element it cannot copy: either makes it no context of ours.
    const auto element = [&](LONG position, ql::Variant& out) {
        const HRESULT hr = ql::CopyVectorElement(*elements, position, out);
        return hr == E_INVALIDARG ? E_UNEXPECTED : hr;
    };
    ql::Variant id, value, kind;
    QL_RETURN_IF_FAILED(element(0, id));
    QL_RETURN_HR_IF(E_FAIL, id.Type() != VT_UI4);
    QL_RETURN_IF_FAILED(element(1, value));
    QL_RETURN_IF_FAILED(element(2, kind));
    QL_RETURN_IF_FAILED(kind.ChangeType(VT_UI1));

    HRESULT hr = E_UNEXPECTED;
    switch (V_UI1(kind.Get())) {
        case kDpv1Read:
            hr = EvaluateReadResponse(V_UI4(id.Get()), response);
            break;
        case kDpv1Write:
            hr = EvaluateWriteResponse(V_UI4(id.Get()), *value.Get(), response);
            break;
        default:
            return E_UNEXPECTED;
    }
    return FAILED(hr) ? hr : S_OK;
}

HRESULT CQuelkDpv1Communication::OnAbort(BSTR communicationReference) noexcept {
    QL_RETURN_HR_IF(RPC_E_WRONG_THREAD, !IsOwnerThread());
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    const ql::SelfHold keepAlive = HoldObject();
    // An abort reported for a channel the client no longer has is ignored like its late answers.
    QL_RETURN_HR_IF(E_FAIL, !channel_);
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    QL_RETURN_HR_IF(E_FAIL, state != kStateConnected);
    // An abort of another connection (a reference that differs) is ignored and still answered S_OK.
    (void)HandleAbort(communicationReference);
    return S_OK;
}

HRESULT CQuelkDpv1Communication::HandleAbort(BSTR communicationReference) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    QL_RETURN_HR_IF(E_FAIL, !IsExactlySameText(communicationReference, communicationReference_.Get()));
    // Forgetting the reference (null) always succeeds.
    (void)StoreCommunicationReference(nullptr);
    // No answer can come on a broken connection: the requests that wait for one end now (E_ABORT) instead
    // of waiting out their time-out, and no answer of it is taken on a later connection.
    pending_.AbortAll();
    QL_RETURN_IF_FAILED(host_->SetState(kStateCommunicationSet));
    return OnAborted();
}

// ---- the value encoding's slots ----

HRESULT CQuelkDpv1Communication::ValueToText(VARIANT value, BSTR* text) noexcept {
    return ::ValueToText(value, text);
}

HRESULT CQuelkDpv1Communication::TextToValue(BSTR text, VARTYPE type, VARIANT* value) noexcept {
    return ::TextToValue(text, type, value);
}

// ---- the dataset's device access ----

HRESULT CQuelkDpv1Communication::ReadParameterAsync(ULONG id, VARIANT_BOOL* sent) noexcept {
    return ReadRequest(id, sent);
}

HRESULT CQuelkDpv1Communication::WriteParameterAsync(ULONG id, const VARIANT& value,
                                                     VARIANT_BOOL* sent) noexcept {
    return WriteRequest(id, value, sent);
}

HRESULT CQuelkDpv1Communication::ReadParameter(ULONG id) noexcept {
    VARIANT_BOOL sent = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(ReadRequestSync(id, &sent));
    return sent == VARIANT_TRUE ? S_OK : S_FALSE;
}

HRESULT CQuelkDpv1Communication::WriteParameter(ULONG id, const VARIANT& value) noexcept {
    VARIANT_BOOL sent = VARIANT_FALSE;
    // The answer's own outcome, kept by this request's pending record: a refused write is no success to the
    // page that committed it, whatever else was evaluated while it waited.
    Dpv1TransferOutcome outcome;
    QL_RETURN_IF_FAILED(SendTransaction(id, &value, true, &sent, &outcome));
    if (sent != VARIANT_TRUE) return S_FALSE;
    if (!outcome.reported || outcome.ok) return S_OK;
    SetRefusalErrorInfo(outcome.message.Get());
    return kDeviceRefusedResult;
}

ql::ComPtr<IQuelkVariables> CQuelkDpv1Communication::HeldStore() noexcept {
    return ql::ComPtr<IQuelkVariables>(&host_->StorePart());
}
