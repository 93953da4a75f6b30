#pragma once
// CQuelkDpv1Communication: the DTM object's PROFIBUS DP-V1 client on the frame's communication channel. It
// sends connect, disconnect, read and write requests as FDTProfibusDPV1CommunicationSchema documents, keeps
// each request that awaits its answer as a pending CQuelkDpv1Transaction, receives the channel's answers on
// its IFdtCommunicationEvents sink, matches them by invoke id and evaluates them: a connection answer moves
// the DTM between states 9 and 12, a read or write answer ends in the store's result sink. It also goes
// online and offline (IQuelkOnlineState), writes and reads the bus information of the parameter document,
// and is the dataset's device access (IDatasetDeviceAccess).
//
// A member part of the DTM object (QL_ENTRY_MEMBER rows for its six interfaces); it reaches the rest of the
// object through its host (ICommunicationHost), and the lifecycle reaches it through DtmCommunicationSeam,
// which it implements with the same methods of IQuelkDpv1Client and IQuelkOnlineState.
//
// Threading: apartment-threaded; every call, the channel's answers included, arrives on the DTM object's
// user-interface thread. A channel that calls the sink from a thread of its own is refused
// (RPC_E_WRONG_THREAD) before anything is touched: nothing here is synchronised. Synchronous requests and
// going offline wait while dispatching that thread's messages, so answers, timers and further requests
// (synchronous ones too) run inside any wait; each synchronous request keeps its result and the outcome its
// answer reported in its own pending record. Every method that waits or calls out holds the DTM object, so
// that a handler inside the wait that drops the last reference cannot free it under the method. No locks.
// Ownership: one reference to the channel; the pending records; the communication reference, kept as the
// peer sent it (for comparisons) and escaped for XML (for the request documents).
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/SelfHold.h"
#include "idl/OutsideDispatch.h"
#include "classlib/Handle.h"
#include "comm/CommunicationHost.h"
#include "comm/DtmCommunicationSeam.h"
#include "comm/PendingTransactions.h"
#include "dataset/DatasetDeviceAccess.h"

// The transaction kinds a read or write context carries.
enum Dpv1TransactionKind : LONG { kDpv1Read = 1, kDpv1Write = 2 };

// Waits of the client, in milliseconds.
constexpr DWORD kDpv1TransactionTimeoutMs = 5000;
constexpr DWORD kDpv1DisconnectTimeoutMs = 5000;

class CQuelkDpv1Communication : public ql::MemberPart,
                                public ToolkitDispatchImpl<IQuelkDpv1Communication>,
                                public ToolkitDispatchImpl<IQuelkDpv1Client>,
                                public ToolkitDispatchImpl<IQuelkOnlineAccess>,
                                public ToolkitDispatchImpl<IQuelkOnlineState>,
                                public ToolkitDispatchImpl<IQuelkBusInformation>,
                                public FdtDispatchImpl<IFdtCommunicationEvents>,
                                public IDatasetDeviceAccess,
                                public DtmCommunicationSeam {
    QL_MEMBER_IUNKNOWN()

public:
    CQuelkDpv1Communication(ql::PartOwner& owner, ICommunicationHost& host) noexcept
        : ql::MemberPart(owner), host_(&host) {}
    CQuelkDpv1Communication(const CQuelkDpv1Communication&) = delete;
    CQuelkDpv1Communication& operator=(const CQuelkDpv1Communication&) = delete;

    // ---- IQuelkDpv1Communication (slots 7 to 18; 13 to 18 are called by the object itself) ----
    HRESULT STDMETHODCALLTYPE ConnectRequest(BYTE api, BYTE busAddress, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE DisconnectRequest(BYTE api, BYTE busAddress,
                                                VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE ReadRequest(ULONG id, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteRequest(ULONG id, VARIANT value, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE ReadRequestSync(ULONG id, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteRequestSync(ULONG id, VARIANT value, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE OnConnectResult(VARIANT context, VARIANT_BOOL ok, BYTE api, BYTE busAddress,
                                              BSTR message) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDisconnectResult(VARIANT context, VARIANT_BOOL ok, BYTE api, BYTE busAddress,
                                                 BSTR message) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAborted() noexcept override;
    HRESULT STDMETHODCALLTYPE SplitDpv1Address(VARIANT address, BYTE* slot, BYTE* index) noexcept override;
    HRESULT STDMETHODCALLTYPE EvaluateReadResponse(ULONG id, BSTR response) noexcept override;
    HRESULT STDMETHODCALLTYPE EvaluateWriteResponse(ULONG id, VARIANT value, BSTR response) noexcept override;

    // ---- IQuelkDpv1Client (slots 7 to 17; 10 to 17 are called by the object itself) ----
    HRESULT STDMETHODCALLTYPE SetChannel(IUnknown* channel) noexcept override;
    HRESULT STDMETHODCALLTYPE Read(VARIANT id, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE Write(VARIANT id, VARIANT value, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE Connect(VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE Disconnect(VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE EvaluateConnectResponse(VARIANT context, BSTR response) noexcept override;
    HRESULT STDMETHODCALLTYPE EvaluateDisconnectResponse(VARIANT context, BSTR response) noexcept override;
    HRESULT STDMETHODCALLTYPE DispatchTransactionResponse(VARIANT context, BSTR response) noexcept override;
    HRESULT STDMETHODCALLTYPE HandleAbort(BSTR communicationReference) noexcept override;
    HRESULT STDMETHODCALLTYPE ValueToText(VARIANT value, BSTR* text) noexcept override;
    HRESULT STDMETHODCALLTYPE TextToValue(BSTR text, VARTYPE type, VARIANT* value) noexcept override;

    // ---- IQuelkOnlineAccess ----
    HRESULT STDMETHODCALLTYPE ReadSync(VARIANT id, VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE WriteSync(VARIANT id, VARIANT value, VARIANT_BOOL* sent) noexcept override;

    // ---- IQuelkOnlineState ----
    HRESULT STDMETHODCALLTYPE GoOnline(VARIANT_BOOL* sent) noexcept override;
    HRESULT STDMETHODCALLTYPE GoOffline(VARIANT_BOOL* offline) noexcept override;

    // ---- IQuelkBusInformation ----
    HRESULT STDMETHODCALLTYPE GetBusInformation(BSTR* busInformation, VARIANT_BOOL* done) noexcept override;
    // Stores the parameter document's MasterSlaveBus @busAddress as the station address (parameter 3), as
    // a value the user sets: it must pass the store's value check. S_OK with `done` VARIANT_TRUE when stored;
    // S_FALSE with `done` VARIANT_FALSE when the check refuses the address (nothing stored; the frame is
    // told which address, through the DTM's report sink). E_POINTER for a null `done` or document, or one
    // that is no IXMLDOMDocument2; E_FAIL without the attribute; the failure of reading it as a byte (an
    // address above 255) or of storing it.
    HRESULT STDMETHODCALLTYPE ApplyBusInformation(IUnknown* parameterDocument,
                                                  VARIANT_BOOL* done) noexcept override;

    // ---- IFdtCommunicationEvents: the channel's answers ----
    HRESULT STDMETHODCALLTYPE OnAbort(BSTR communicationReference) noexcept override;
    HRESULT STDMETHODCALLTYPE OnConnectResponse(BSTR invokeId, BSTR response) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDisconnectResponse(BSTR invokeId, BSTR response) noexcept override;
    HRESULT STDMETHODCALLTYPE OnTransactionResponse(BSTR invokeId, BSTR response) noexcept override;

    // ---- IDatasetDeviceAccess: the store's device reads and writes. The synchronous forms answer S_FALSE
    // when nothing went out (not connected, or the channel declined); the synchronous write answers
    // kDeviceRefusedResult when the device or the channel answered it with an error ----
    HRESULT ReadParameterAsync(ULONG id, VARIANT_BOOL* sent) noexcept override;
    HRESULT WriteParameterAsync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) noexcept override;
    HRESULT ReadParameter(ULONG id) noexcept override;
    HRESULT WriteParameter(ULONG id, const VARIANT& value) noexcept override;

    // ---- For the DTM object's lifecycle (DtmCommunicationSeam; SetChannel, GoOnline and GoOffline above)
    // ----
    bool HasClient() noexcept override { return true; }
    // The frame releases the communication while a connect or disconnect is unanswered (state 10 or 11):
    // the pending requests are dropped (waiters wake with E_ABORT), the connection is forgotten and the DTM
    // returns to state 9, from where the release can go on. S_FALSE in any other state (nothing changes).
    HRESULT AbandonConnection() noexcept override;

    // ---- State, for the DTM object and tests ----
    bool HasChannel() const noexcept { return static_cast<bool>(channel_); }
    bool IsConnected() const noexcept { return !communicationReference_.IsNull(); }
    BSTR CommunicationReference() const noexcept { return communicationReference_.Get(); }
    const CPendingTransactions& PendingTransactions() const noexcept { return pending_; }
    DWORD TransactionTimeout() const noexcept { return transactionTimeout_; }
    DWORD DisconnectTimeout() const noexcept { return disconnectTimeout_; }
    // Tests shorten the waits; the DTM itself never changes them.
    void SetTimeouts(DWORD transactionMs, DWORD disconnectMs) noexcept {
        transactionTimeout_ = transactionMs;
        disconnectTimeout_ = disconnectMs;
    }

private:
    // Which channel request a sender makes.
    enum class RequestKind { Connect, Disconnect, Transaction };

    // Registers {invokeId, context, waiter} and calls the channel. `sent` is the channel's acceptance
    // (exactly VARIANT_TRUE); a refused request is removed again. `invokeId` receives the id used.
    HRESULT SendRequest(RequestKind kind, const VARIANT& context, BSTR document, BSTR protocolId,
                        Dpv1SyncWaiter* waiter, ql::Bstr& invokeId, VARIANT_BOOL* sent) noexcept;
    // The request of a read or write: the document and context for `id`; `value` is null for a read. A
    // write sends `value` converted to the record's type as SetValue converts it, and refuses, before
    // anything is sent, a value the record would not take.
    HRESULT BuildTransaction(ULONG id, const VARIANT* value, ql::Bstr& document,
                             ql::Variant& context) noexcept;
    // The road of every read and write sender; `synchronous` waits for the answer, and `outcome` (when
    // given) receives what the evaluation of that answer reported.
    HRESULT SendTransaction(ULONG id, const VARIANT* value, bool synchronous, VARIANT_BOOL* sent,
                            Dpv1TransferOutcome* outcome = nullptr) noexcept;
    // The api (parameter 2) and bus address (parameter 3) of the dataset.
    HRESULT ReadConnectionParameters(BYTE* api, BYTE* busAddress) noexcept;
    HRESULT SendConnect(BYTE api, BYTE busAddress, VARIANT_BOOL* accepted) noexcept;
    HRESULT SendDisconnect(BYTE api, BYTE busAddress, VARIANT_BOOL* accepted) noexcept;
    // The answer road shared by the three answer methods: takes the record out before evaluating.
    HRESULT TakePending(BSTR invokeId, CQuelkDpv1Transaction* record) noexcept;

    // The store part's VARIANT-id interface, holding the DTM object while the caller uses it.
    ql::ComPtr<IQuelkVariables> HeldStore() noexcept;
    // Connection answers (ConnectResponse, DisconnectResponse): one procedure, two settings.
    struct ConnectionAnswer;
    HRESULT EvaluateConnectionResponse(const ConnectionAnswer& answer, const VARIANT& context,
                                       BSTR response) noexcept;
    // Read and write answers.
    HRESULT EvaluateTransferResponse(ULONG id, const VARIANT* written, BSTR response) noexcept;
    HRESULT ReportTransfer(IQuelkVariables* store, VARIANT_BOOL ok, ULONG id, const VARIANT& value,
                           BSTR message) noexcept;
    // Keeps a new communication reference (and its escaped form), or forgets it with null.
    HRESULT StoreCommunicationReference(BSTR reference) noexcept;
    // Broadcasts 0x3400 for ok exactly VARIANT_TRUE, else 0x3401 with a copy of the message.
    HRESULT BroadcastConnectionResult(VARIANT_BOOL ok, BSTR message) noexcept;
    // Holds the DTM object for the length of a method that waits or calls out (nothing without a host).
    ql::SelfHold HoldObject() noexcept;
    bool IsOwnerThread() const noexcept { return ::GetCurrentThreadId() == ownerThread_; }

    ICommunicationHost* host_;  // never null
    DWORD transactionTimeout_ = kDpv1TransactionTimeoutMs;
    DWORD disconnectTimeout_ = kDpv1DisconnectTimeoutMs;
    CPendingTransactions pending_;
    ql::ComPtr<IFdtCommunication> channel_;
    // Exists only while GoOffline waits for the disconnect answer; the event is GoOffline's.
    ql::ManualResetEvent* disconnectEvent_ = nullptr;
    ql::Bstr communicationReference_;
    ql::Bstr escapedReference_;
    // Where the read or write answer being evaluated records what it reported to the store; null outside
    // an evaluation (a nested evaluation keeps its own and puts the outer one back).
    Dpv1TransferOutcome* transferOutcome_ = nullptr;
    // The thread of the DTM object's apartment: the one the object was made on.
    const DWORD ownerThread_ = ::GetCurrentThreadId();
};
