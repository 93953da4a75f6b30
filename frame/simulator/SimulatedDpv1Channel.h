#pragma once
// CSimulatedDpv1Channel: the frame's PROFIBUS DP-V1 communication channel (IFdtCommunication) to one
// simulated "Varnok Thermal Mass Flowmeter". It takes the DTM's connect, disconnect and transaction requests,
// checks each request document (against the FDT schemas when it has their folder), lets the device answer,
// and sends the answer through the DTM's IFdtCommunicationEvents as a real channel does: later, on the DTM's
// thread, from a thread timer (or, when a test or benchmark asks, during the request call itself).
//
// Tests switch faults on for chosen requests: silence, a late answer, a duplicate answer, a wrong or braced
// invoke id, a malformed or schema-invalid response, fdt:CommunicationError, a DP-V1 error of the channel's
// own, an abort of the connection in the middle of a run, and a refused or failed request. Every request
// and every answer (with what the DTM returned for it) is recorded.
//
// Threading: apartment-threaded; requests and answers run on the thread of the DTM, whose message loop
// delivers the timers. Ownership: each queued answer holds the sink it goes to; the channel drops them when
// it goes (or when the frame drops the callback).
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/ComPtr.h"
#include "frame/simulator/SimulatedFlowmeter.h"
#include "xml/QuelkXMLHandlerImpl.h"

// The requests a fault applies to (bits). A rule for kSimTransaction takes reads and writes alike; one for
// kSimReadTransaction or kSimWriteTransaction only that direction (a record a device refuses to write).
enum SimulatedRequestKind : unsigned {
    kSimConnect = 1,
    kSimDisconnect = 2,
    kSimTransaction = 4,
    kSimAnyRequest = 7,
    kSimReadTransaction = 8,
    kSimWriteTransaction = 16,
};

enum class ChannelFault {
    Silence,                // accepted, never answered
    LateAnswer,             // answered after the rule's delay
    DuplicateAnswer,        // the answer comes twice
    WrongInvokeId,          // answered under a fresh invoke id
    BracedInvokeId,         // answered under the invoke id in braces
    MalformedResponse,      // an answer that is no well-formed XML
    SchemaInvalidResponse,  // a well-formed answer the schema refuses
    CommunicationError,     // fdt:CommunicationError instead of the response
    DeviceError,            // the response carries the rule's DP-V1 error code
    Abort,                  // the connection breaks: OnAbort, then this transaction's CommunicationError
    Refuse,                 // S_OK with accepted FALSE
    Fail,                   // E_FAIL
};

struct ChannelFaultRule {
    ChannelFault fault = ChannelFault::Silence;
    unsigned requests = kSimAnyRequest;
    int skip = 0;        // matching requests that pass untouched first
    int count = 1;       // matching requests it applies to then; -1 for every one
    DWORD delayMs = 0;   // LateAnswer
    SimBytes errorCode;  // DeviceError
};

enum class AnswerTiming { DuringRequest, Later };

struct SimulatedRequest {
    unsigned kind = 0;
    std::wstring invokeId;
    std::wstring document;
    bool valid = false;  // the document parsed (and validated)
    bool accepted = false;
};

struct SimulatedAnswer {
    unsigned kind = 0;  // 0: OnAbort
    std::wstring invokeId;
    std::wstring text;      // the response, or the communication reference of an abort
    HRESULT result = S_OK;  // what the DTM answered
};

class CSimulatedDpv1Channel final : public ql::ComObjectBase<CSimulatedDpv1Channel>,
                                    public ql::NoDispatchImpl<IFdtCommunication> {
    QL_INTERFACE_TABLE(CSimulatedDpv1Channel, QL_ENTRY(IFdtCommunication),
                       QL_ENTRY_IID(IID_IDispatch, IFdtCommunication))

public:
    CSimulatedDpv1Channel() noexcept = default;
    void FinalRelease() noexcept;

    CSimulatedFlowmeter& Device() noexcept { return device_; }

    // Requests are validated against the FDT schema files of `folder` (a Windows path).
    HRESULT SetSchemaFolder(const std::wstring& folder) noexcept;
    // When the answers go out; Later answers after `delayMs` (a timer's resolution at least).
    void SetAnswerTiming(AnswerTiming timing, DWORD delayMs = 0) noexcept {
        timing_ = timing;
        delayMs_ = delayMs;
    }
    void AddFault(const ChannelFaultRule& rule) { faults_.push_back(rule); }
    void ClearFaults() noexcept { faults_.clear(); }
    // The communication reference the next connection gets (a fresh UUID text otherwise).
    void SetNextReference(const std::wstring& reference) { nextReference_ = reference; }

    // Breaks the connection now: OnAbort with its reference to the DTM.
    void AbortConnection() noexcept;
    // Delivers every queued answer now, without waiting for the timers.
    void DeliverQueuedAnswers() noexcept;
    // Forgets the DTM's sink and every queued answer (a frame that lets the channel go).
    void DropCallback() noexcept;

    bool IsConnected() const noexcept { return connected_; }
    const std::wstring& Reference() const noexcept { return reference_; }
    size_t QueuedAnswerCount() const noexcept { return queued_.size(); }
    const std::vector<SimulatedRequest>& Requests() const noexcept { return requests_; }
    const std::vector<SimulatedAnswer>& Answers() const noexcept { return answers_; }
    size_t CountRequests(unsigned kind) const noexcept;
    // Forgets the recorded requests and answers and frees their memory (a long run that counts the heap).
    void ForgetRecords() noexcept {
        std::vector<SimulatedRequest>().swap(requests_);
        std::vector<SimulatedAnswer>().swap(answers_);
    }
    // The channel's own time so far, in seconds: handling requests, without the time the DTM spent in the
    // answers delivered meanwhile (benchmarks separate the DTM's cost from the simulator's with it).
    double OwnSeconds() const noexcept;

    // ---- IFdtCommunication: the DTM sends only the three requests ----
    HRESULT STDMETHODCALLTYPE CommunicationReserved7(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConnectRequest(IFdtCommunicationEvents* callback, BSTR invokeId,
                                             BSTR protocolId, BSTR request,
                                             VARIANT_BOOL* accepted) noexcept override;
    HRESULT STDMETHODCALLTYPE DisconnectRequest(BSTR invokeId, BSTR request,
                                                VARIANT_BOOL* accepted) noexcept override;
    HRESULT STDMETHODCALLTYPE TransactionRequest(BSTR invokeId, BSTR request,
                                                 VARIANT_BOOL* accepted) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSupportedProtocols(BSTR* protocols) noexcept override;
    HRESULT STDMETHODCALLTYPE SequenceBegin(BSTR, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE SequenceStart(BSTR, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE SequenceEnd(BSTR, VARIANT_BOOL* result) noexcept override;

private:
    struct Delivery {
        unsigned kind = 0;
        ql::ComPtr<IFdtCommunicationEvents> sink;
        std::wstring invokeId;
        std::wstring text;
    };
    using DeliverySequence = std::vector<Delivery>;

    HRESULT HandleRequest(unsigned kind, IFdtCommunicationEvents* callback, BSTR invokeId, BSTR protocolId,
                          BSTR request, VARIANT_BOOL* accepted);
    // Takes the first rule that applies to this request (counting down its skip and count).
    bool TakeFault(unsigned kind, ChannelFaultRule* rule);
    // The normal answer to a request; false when the channel refuses it.
    bool AnswerConnect(IXMLDOMNode* document, std::wstring* response);
    bool AnswerDisconnect(IXMLDOMNode* document, std::wstring* response);
    // `reachesDevice` false: the request is checked, but a fault answers in the device's place.
    bool AnswerTransaction(IXMLDOMNode* document, bool reachesDevice, std::wstring* response);
    HRESULT ParseRequest(BSTR request, ql::ComPtr<IXMLDOMDocument2>& document) noexcept;
    void Send(DeliverySequence sequence, DWORD delayMs);
    void Deliver(const Delivery& delivery) noexcept;
    void DeliverTimer(UINT_PTR timer) noexcept;
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR timer, DWORD) noexcept;

    CSimulatedFlowmeter device_;
    CQuelkXMLHandlerImpl xml_;
    bool validates_ = false;
    AnswerTiming timing_ = AnswerTiming::Later;
    DWORD delayMs_ = 0;
    std::vector<ChannelFaultRule> faults_;
    ql::ComPtr<IFdtCommunicationEvents> sink_;
    bool connected_ = false;
    std::wstring reference_;
    std::wstring nextReference_;
    BYTE api_ = 0;
    std::map<UINT_PTR, DeliverySequence> queued_;
    std::vector<SimulatedRequest> requests_;
    std::vector<SimulatedAnswer> answers_;
    LONGLONG ownTicks_ = 0;
    LONGLONG deliveryTicks_ = 0;
};
