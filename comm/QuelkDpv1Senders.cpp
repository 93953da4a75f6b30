// The senders of the DP-V1 client: connect, disconnect, and the read and write of one parameter,
// asynchronous and synchronous. The senders never change the DTM's state; the answers do.
#include "comm/QuelkDpv1Communication.h"

#include <cwchar>
#include <utility>

#include "classlib/HResult.h"
#include "classlib/Handle.h"
#include "classlib/PumpingWait.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "comm/Dpv1InvokeId.h"
#include "comm/Dpv1RequestDocuments.h"
#include "comm/CommunicationStates.h"
#include "comm/Dpv1ValueEncoding.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariantArguments.h"
#include "values/QuelkVariant.h"

namespace {

// Elements of a read or write context: [parameter id, value written, transaction kind].
constexpr ULONG kContextElements = 3;

HRESULT PutContextElement(SAFEARRAY* array, LONG position, const VARIANT& element) noexcept {
    return ::SafeArrayPutElement(array, &position, const_cast<VARIANT*>(&element));
}

HRESULT MakeTransactionContext(ULONG id, const VARIANT* value, LONG kind, ql::Variant& context) noexcept {
    ql::SafeArray array;
    QL_RETURN_HR_IF(E_OUTOFMEMORY, FAILED(array.Create(VT_VARIANT, kContextElements)));
    CQuelkVariant idElement(id);
    QL_RETURN_IF_FAILED(PutContextElement(array.Get(), 0, idElement));
    if (value) QL_RETURN_IF_FAILED(PutContextElement(array.Get(), 1, *value));
    CQuelkVariant kindElement(kind);
    QL_RETURN_IF_FAILED(PutContextElement(array.Get(), 2, kindElement));
    context.AttachArray(VT_VARIANT, array.Detach());
    return S_OK;
}

// An error object that says no answer came: it stays with the thread also where a caller does not pass the
// failure on.
void SetNoAnswerErrorInfo(DWORD waitedMs) noexcept {
    ql::ComPtr<ICreateErrorInfo> create;
    if (FAILED(::CreateErrorInfo(create.Put())) || !create) return;
    wchar_t text[96];
    // The text always fits; the error object is extra information, the failure travels as the HRESULT.
    (void)std::swprintf(text, 96, L"No answer from the device within %lu ms.",
                        static_cast<unsigned long>(waitedMs));
    (void)create->SetDescription(text);
    (void)create->SetGUID(kNoAnswerErrorGuid);
    ql::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(info))) (void)::SetErrorInfo(0, info.Get());  // as above: extra information
}

// A byte-sized value of the dataset (api, station address): exactly VT_UI1, else E_FAIL.
HRESULT ReadByteParameter(IQuelkVariables* store, ULONG id, BYTE* value) noexcept {
    CQuelkVariant idArgument(id);
    ql::Variant read;
    QL_RETURN_IF_FAILED(store->GetValue(idArgument, read.Put()));
    QL_RETURN_HR_IF(E_FAIL, read.Type() != VT_UI1);
    *value = V_UI1(read.Get());
    return S_OK;
}

}  // namespace

// ---- connect and disconnect ----

HRESULT CQuelkDpv1Communication::SendConnect(BYTE api, BYTE busAddress, VARIANT_BOOL* accepted) noexcept {
    ql::Bstr protocolId;
    QL_RETURN_IF_FAILED(GuidToBstr(&kProfibusDpv1ProtocolId, protocolId.Put()));
    ql::Bstr document;
    QL_RETURN_IF_FAILED(BuildConnectRequest(api, busAddress, document.Put()));
    ql::Variant context;
    ql::Bstr invokeId;
    return SendRequest(RequestKind::Connect, *context, document.Get(), protocolId.Get(), nullptr, invokeId,
                       accepted);
}

HRESULT CQuelkDpv1Communication::SendDisconnect(BYTE api, BYTE busAddress, VARIANT_BOOL* accepted) noexcept {
    ql::Bstr document;
    QL_RETURN_IF_FAILED(BuildDisconnectRequest(api, busAddress, escapedReference_.Get(), document.Put()));
    ql::Variant context;
    ql::Bstr invokeId;
    return SendRequest(RequestKind::Disconnect, *context, document.Get(), nullptr, nullptr, invokeId,
                       accepted);
}

HRESULT CQuelkDpv1Communication::ConnectRequest(BYTE api, BYTE busAddress, VARIANT_BOOL* sent) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    *sent = VARIANT_FALSE;
    if (!communicationReference_.IsEmpty()) return S_OK;  // already connected: nothing is sent
    return SendConnect(api, busAddress, sent);
}

HRESULT CQuelkDpv1Communication::Connect(VARIANT_BOOL* sent) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    *sent = VARIANT_FALSE;
    const ql::ComPtr<IQuelkVariables> store = HeldStore();
    BYTE api = 0, busAddress = 0;
    QL_RETURN_IF_FAILED(ReadByteParameter(store.Get(), kParameterApi, &api));
    QL_RETURN_IF_FAILED(ReadByteParameter(store.Get(), kParameterStationAddress, &busAddress));
    if (!communicationReference_.IsEmpty()) return S_FALSE;

    VARIANT_BOOL accepted = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(SendConnect(api, busAddress, &accepted));
    if (accepted != VARIANT_TRUE) return S_FALSE;
    *sent = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDpv1Communication::DisconnectRequest(BYTE api, BYTE busAddress, VARIANT_BOOL* sent) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    *sent = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_UNEXPECTED, communicationReference_.IsEmpty());
    return SendDisconnect(api, busAddress, sent);
}

HRESULT CQuelkDpv1Communication::Disconnect(VARIANT_BOOL* sent) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    *sent = VARIANT_FALSE;
    // The partner's numbers are only repeated here: a disconnect goes out even when they cannot be read.
    BYTE api = 0, busAddress = 0;
    const ql::ComPtr<IQuelkVariables> store = HeldStore();
    BYTE read = 0;
    if (SUCCEEDED(ReadByteParameter(store.Get(), kParameterApi, &read))) api = read;
    if (SUCCEEDED(ReadByteParameter(store.Get(), kParameterStationAddress, &read))) busAddress = read;
    QL_RETURN_HR_IF(E_UNEXPECTED, communicationReference_.IsEmpty());

    VARIANT_BOOL accepted = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(SendDisconnect(api, busAddress, &accepted));
    if (accepted != VARIANT_TRUE) return S_FALSE;
    *sent = VARIANT_TRUE;
    return S_OK;
}

// ---- read and write ----

HRESULT CQuelkDpv1Communication::BuildTransaction(ULONG id, const VARIANT* value, ql::Bstr& document,
                                                  ql::Variant& context) noexcept {
    const ql::ComPtr<IQuelkVariables> store = HeldStore();
    CQuelkVariant idArgument(id);
    ql::Variant address;
    QL_RETURN_IF_FAILED(store->GetAddress(idArgument, address.Put()));
    BYTE slot = 0, index = 0;
    QL_RETURN_IF_FAILED(SplitDpv1Address(*address, &slot, &index));
    if (!value) {
        QL_RETURN_IF_FAILED(BuildReadRequest(slot, index, escapedReference_.Get(), document.Put()));
        return MakeTransactionContext(id, nullptr, kDpv1Read, context);
    }
    // The value as the dataset will hold it once the device has taken it: a script's I4 or text into a
    // float record goes out as the float, never as bytes of its own type that the device reads as another
    // number. The copy keeps nothing of the caller's memory (scripts pass every variable by reference), so
    // the answer, which comes after the call has returned, stores exactly what was sent.
    ql::Variant written;
    QL_RETURN_IF_FAILED(host_->Store().ConvertForRecord(id, *value, written));
    ql::Bstr data;
    QL_RETURN_IF_FAILED(::ValueToText(*written, data.Put()));
    QL_RETURN_IF_FAILED(BuildWriteRequest(slot, index, escapedReference_.Get(), data.Get(), document.Put()));
    return MakeTransactionContext(id, written.Get(), kDpv1Write, context);
}

HRESULT CQuelkDpv1Communication::SendTransaction(ULONG id, const VARIANT* value, bool synchronous,
                                                 VARIANT_BOOL* sent, Dpv1TransferOutcome* outcome) noexcept {
    QL_RETURN_IF_NULL_OUT(sent);
    *sent = VARIANT_FALSE;
    if (communicationReference_.IsNull()) return S_OK;  // not connected: nothing is sent
    ql::Bstr document;
    ql::Variant context;
    QL_RETURN_IF_FAILED(BuildTransaction(id, value, document, context));
    ql::Bstr invokeId;
    if (!synchronous) {
        return SendRequest(RequestKind::Transaction, *context, document.Get(), nullptr, nullptr, invokeId,
                           sent);
    }

    const ql::SelfHold keepAlive = HoldObject();
    ql::ManualResetEvent event;
    QL_RETURN_HR_IF(HRESULT_FROM_WIN32(::GetLastError()), !event.Get());
    Dpv1SyncWaiter waiter;
    waiter.event = event.Get();
    QL_RETURN_IF_FAILED(
        SendRequest(RequestKind::Transaction, *context, document.Get(), nullptr, &waiter, invokeId, sent));
    if (*sent != VARIANT_TRUE) return S_OK;  // refused: the record is gone again

    // The answer may have come during the request call; otherwise it comes while the wait dispatches.
    ql::PumpingWaitResult waited = ql::PumpingWaitResult::Signalled;
    if (!waiter.answered) waited = ql::WaitWithMessagePump(event.Get(), transactionTimeout_);
    if (!waiter.answered) {
        // No answer in time: the record goes, so a late answer finds nothing.
        // A record an answer already took is simply not there any more.
        (void)pending_.Remove(invokeId.Get());
        if (waited == ql::PumpingWaitResult::QuitRequested) return kQuitRequestedResult;
        SetNoAnswerErrorInfo(transactionTimeout_);
        return E_ABORT;
    }
    // The store's last result is this request's own again, whatever was evaluated inside the wait.
    if (waiter.outcome.reported) {
        // Only copies the outcome's text back; without memory for it the result flag still stands.
        (void)host_->Store().SetLastResult(waiter.outcome.ok, waiter.outcome.message.Get());
    }
    if (outcome) *outcome = std::move(waiter.outcome);
    return FAILED(waiter.result) ? waiter.result : S_OK;
}

HRESULT CQuelkDpv1Communication::ReadRequest(ULONG id, VARIANT_BOOL* sent) noexcept {
    return SendTransaction(id, nullptr, false, sent);
}

HRESULT CQuelkDpv1Communication::WriteRequest(ULONG id, VARIANT value, VARIANT_BOOL* sent) noexcept {
    return SendTransaction(id, &value, false, sent);
}

HRESULT CQuelkDpv1Communication::ReadRequestSync(ULONG id, VARIANT_BOOL* sent) noexcept {
    return SendTransaction(id, nullptr, true, sent);
}

HRESULT CQuelkDpv1Communication::WriteRequestSync(ULONG id, VARIANT value, VARIANT_BOOL* sent) noexcept {
    return SendTransaction(id, &value, true, sent);
}

HRESULT CQuelkDpv1Communication::Read(VARIANT id, VARIANT_BOOL* sent) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return ReadRequest(number, sent);
}

HRESULT CQuelkDpv1Communication::Write(VARIANT id, VARIANT value, VARIANT_BOOL* sent) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return WriteRequest(number, value, sent);
}

HRESULT CQuelkDpv1Communication::ReadSync(VARIANT id, VARIANT_BOOL* sent) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return ReadRequestSync(number, sent);
}

HRESULT CQuelkDpv1Communication::WriteSync(VARIANT id, VARIANT value, VARIANT_BOOL* sent) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return WriteRequestSync(number, value, sent);
}
