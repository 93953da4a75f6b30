#include "frame/simulator/SimulatedDpv1Channel.h"

#include <objbase.h>

#include <cwctype>
#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "frame/simulator/SimulatorResponses.h"
#include "values/XmlText.h"
#include "xml/XmlNodeReads.h"

namespace {

// The protocol a DP-V1 connection must name: the bus category "Profibus DP/V1".
constexpr wchar_t kDpv1ProtocolId[] = L"036D1499-387B-11D4-86E1-00E0987270B9";

constexpr std::wstring_view kDpv1Namespace = L"x-schema:FDTProfibusDPV1CommunicationSchema.xml";

const char* const kChannelSchemas[] = {"FDTDataTypesSchema.xml", "FDTProfibusDPV1CommunicationSchema.xml",
                                       ""};

// The channel's own error codes in a CommunicationError: no answer from the station, no such connection,
// and a broken connection.
const SimBytes kNoStationAnswer{0x01, 0x01};
const SimBytes kUnknownReference{0x01, 0x02};
const SimBytes kConnectionAborted{0x01, 0x03};

// The timers of every channel of this thread (the DTM's): thread timers carry no pointer of their own.
std::map<UINT_PTR, CSimulatedDpv1Channel*>& ChannelTimers() {
    static std::map<UINT_PTR, CSimulatedDpv1Channel*> timers;
    return timers;
}

std::wstring FreshUuidText() {
    GUID guid = {};
    (void)::CoCreateGuid(&guid);
    wchar_t text[40] = {};
    (void)::StringFromGUID2(guid, text, 40);  // {xxxxxxxx-...}
    return std::wstring(text + 1, 36);
}

bool EqualsIgnoringCase(std::wstring_view first, std::wstring_view second) {
    if (first.size() != second.size()) return false;
    for (size_t i = 0; i < first.size(); ++i) {
        if (std::towupper(first[i]) != std::towupper(second[i])) return false;
    }
    return true;
}

bool ReadNumber(IXMLDOMNode* document, const wchar_t* path, BYTE* value) {
    ql::Bstr xpath(path);
    ql::Variant read;
    if (FAILED(XmlGetNodeValue(document, xpath.Get(), read.Get(), VT_UI1))) return false;
    *value = V_UI1(read.Get());
    return true;
}

bool ReadText(IXMLDOMNode* document, const wchar_t* path, std::wstring* value) {
    ql::Bstr xpath(path);
    ql::Variant read;
    if (FAILED(XmlGetNodeValue(document, xpath.Get(), read.Get(), VT_BSTR))) return false;
    *value = std::wstring(V_BSTR(read.Get()), ::SysStringLen(V_BSTR(read.Get())));
    return true;
}

bool HasNode(IXMLDOMNode* document, const wchar_t* path) {
    ql::Bstr xpath(path);
    return XmlNodeExists(document, xpath.Get()) != 0;
}

std::wstring Text(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring(); }

LONGLONG Now() {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

// Adds the time of a scope to a counter, less what `excluded` grew by meanwhile.
class TickScope {
public:
    TickScope(LONGLONG& total, const LONGLONG& excluded)
        : total_(total), excluded_(excluded), start_(Now()), excludedAtStart_(excluded) {}
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;
    ~TickScope() { total_ += (Now() - start_) - (excluded_ - excludedAtStart_); }

private:
    LONGLONG& total_;
    const LONGLONG& excluded_;
    LONGLONG start_;
    LONGLONG excludedAtStart_;
};

}  // namespace

double CSimulatedDpv1Channel::OwnSeconds() const noexcept {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ownTicks_) / static_cast<double>(frequency.QuadPart);
}

void CSimulatedDpv1Channel::FinalRelease() noexcept { DropCallback(); }

HRESULT CSimulatedDpv1Channel::SetSchemaFolder(const std::wstring& folder) noexcept {
    const HRESULT hr = xml_.InitializeSchemaCache(folder.c_str(), kChannelSchemas, nullptr);
    validates_ = SUCCEEDED(hr) && xml_.SchemaCollection() != nullptr;
    return hr;
}

size_t CSimulatedDpv1Channel::CountRequests(unsigned kind) const noexcept {
    size_t count = 0;
    for (const SimulatedRequest& request : requests_) count += (request.kind & kind) ? 1 : 0;
    return count;
}

// ---- IFdtCommunication ----

HRESULT CSimulatedDpv1Channel::ConnectRequest(IFdtCommunicationEvents* callback, BSTR invokeId,
                                              BSTR protocolId, BSTR request,
                                              VARIANT_BOOL* accepted) noexcept {
    return ql::GuardComCall(
        [&] { return HandleRequest(kSimConnect, callback, invokeId, protocolId, request, accepted); });
}

HRESULT CSimulatedDpv1Channel::DisconnectRequest(BSTR invokeId, BSTR request,
                                                 VARIANT_BOOL* accepted) noexcept {
    return ql::GuardComCall(
        [&] { return HandleRequest(kSimDisconnect, nullptr, invokeId, nullptr, request, accepted); });
}

HRESULT CSimulatedDpv1Channel::GetSupportedProtocols(BSTR* protocols) noexcept {
    return ql::NotImplementedOut(protocols);
}
HRESULT CSimulatedDpv1Channel::SequenceBegin(BSTR, VARIANT_BOOL* result) noexcept {
    return ql::NotImplementedOut(result);
}
HRESULT CSimulatedDpv1Channel::SequenceStart(BSTR, VARIANT_BOOL* result) noexcept {
    return ql::NotImplementedOut(result);
}
HRESULT CSimulatedDpv1Channel::SequenceEnd(BSTR, VARIANT_BOOL* result) noexcept {
    return ql::NotImplementedOut(result);
}

HRESULT CSimulatedDpv1Channel::TransactionRequest(BSTR invokeId, BSTR request,
                                                  VARIANT_BOOL* accepted) noexcept {
    return ql::GuardComCall(
        [&] { return HandleRequest(kSimTransaction, nullptr, invokeId, nullptr, request, accepted); });
}

HRESULT CSimulatedDpv1Channel::ParseRequest(BSTR request, ql::ComPtr<IXMLDOMDocument2>& document) noexcept {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (validates_) {
        const HRESULT hr = xml_.LoadXMLDocument(request, document.Put(), &loaded, nullptr);
        if (FAILED(hr)) return hr;
        if (loaded != VARIANT_TRUE) return S_FALSE;
    } else {
        ql::ComPtr<IXMLDOMDocument> plain;
        if (FAILED(CreateXmlDomDocument(plain.Put())) || !plain) return E_FAIL;
        (void)plain->put_validateOnParse(VARIANT_FALSE);
        (void)plain->put_resolveExternals(VARIANT_FALSE);
        if (FAILED(plain->loadXML(request, &loaded)) || loaded != VARIANT_TRUE) return S_FALSE;
        if (FAILED(plain->QueryInterface(IID_IXMLDOMDocument2, document.PutVoid()))) return E_FAIL;
    }
    // Only a document of the DP-V1 schema is a request (one without its namespace validates against nothing).
    ql::ComPtr<IXMLDOMElement> root;
    ql::Bstr ns;
    if (FAILED(document->get_documentElement(root.Put())) || !root ||
        FAILED(root->get_namespaceURI(ns.Put())) || ns.View() != kDpv1Namespace) {
        return S_FALSE;
    }
    return S_OK;
}

bool CSimulatedDpv1Channel::TakeFault(unsigned kind, ChannelFaultRule* rule) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if ((it->requests & kind) == 0) continue;
        if (it->skip > 0) {
            --it->skip;
            continue;
        }
        *rule = *it;
        if (it->count > 0 && --it->count == 0) faults_.erase(it);
        return true;
    }
    return false;
}

HRESULT CSimulatedDpv1Channel::HandleRequest(unsigned kind, IFdtCommunicationEvents* callback, BSTR invokeId,
                                             BSTR protocolId, BSTR request, VARIANT_BOOL* accepted) {
    const TickScope own(ownTicks_, deliveryTicks_);
    if (!accepted) return E_POINTER;
    *accepted = VARIANT_FALSE;
    SimulatedRequest record;
    record.kind = kind;
    record.invokeId = Text(invokeId);
    record.document = Text(request);
    requests_.push_back(record);
    SimulatedRequest& logged = requests_.back();

    ChannelFaultRule fault;
    unsigned matched = kind;
    if (kind == kSimTransaction) {
        const bool write = record.document.find(L"WriteRequest") != std::wstring::npos;
        matched |= write ? kSimWriteTransaction : kSimReadTransaction;
    }
    const bool faulty = TakeFault(matched, &fault);
    if (faulty && fault.fault == ChannelFault::Fail) return E_FAIL;
    if (faulty && fault.fault == ChannelFault::Refuse) return S_OK;

    ql::ComPtr<IXMLDOMDocument2> document;
    logged.valid = ParseRequest(request, document) == S_OK && document;
    if (!logged.valid) return S_OK;  // a request that is not a valid document goes nowhere

    std::wstring response;
    bool answered = false;
    switch (kind) {
        case kSimConnect:
            if (!callback || !protocolId || std::wstring_view(protocolId) != kDpv1ProtocolId) return S_OK;
            sink_ = ql::ComPtr<IFdtCommunicationEvents>(callback);
            if (faulty && fault.fault == ChannelFault::DeviceError) {
                response = ConnectResponseXml(fault.errorCode, nullptr, 0, 0);
                answered = true;
            } else {
                answered = AnswerConnect(document.Get(), &response);
            }
            break;
        case kSimDisconnect:
            answered = AnswerDisconnect(document.Get(), &response);
            break;
        default: {
            // An error in place of the answer means the device did not take the request.
            const bool replaced = faulty && (fault.fault == ChannelFault::DeviceError ||
                                             fault.fault == ChannelFault::CommunicationError ||
                                             fault.fault == ChannelFault::Abort);
            answered = AnswerTransaction(document.Get(), !replaced, &response);
            break;
        }
    }
    if (!answered || !sink_) return S_OK;
    logged.accepted = true;
    *accepted = VARIANT_TRUE;

    Delivery answer;
    answer.kind = kind;
    answer.sink = sink_;
    answer.invokeId = logged.invokeId;
    answer.text = response;
    DWORD delay = delayMs_;
    DeliverySequence sequence;
    if (faulty) {
        switch (fault.fault) {
            case ChannelFault::Silence:
                return S_OK;
            case ChannelFault::LateAnswer:
                delay = fault.delayMs;
                break;
            case ChannelFault::DuplicateAnswer:
                sequence.push_back(answer);
                break;
            case ChannelFault::WrongInvokeId:
                answer.invokeId = FreshUuidText();
                break;
            case ChannelFault::BracedInvokeId:
                answer.invokeId = L"{" + answer.invokeId + L"}";
                break;
            case ChannelFault::MalformedResponse:
                answer.text = MalformedResponseXml();
                break;
            case ChannelFault::SchemaInvalidResponse:
                answer.text = SchemaInvalidResponseXml(reference_);
                break;
            case ChannelFault::CommunicationError:
                answer.text = CommunicationErrorXml(kNoStationAnswer, L"Station does not answer");
                break;
            case ChannelFault::DeviceError:
                if (kind == kSimDisconnect) {
                    connected_ = true;  // the device refused to close the connection
                    answer.text =
                        DisconnectResponseXml(fault.errorCode, reference_, api_, device_.StationAddress());
                } else if (kind == kSimTransaction) {
                    answer.text = (matched & kSimWriteTransaction)
                                      ? WriteResponseXml(fault.errorCode, reference_)
                                      : ReadResponseXml(fault.errorCode, reference_, nullptr);
                }
                break;
            case ChannelFault::Abort: {
                Delivery abort;
                abort.sink = sink_;
                abort.text = reference_;
                sequence.push_back(abort);
                answer.text = CommunicationErrorXml(kConnectionAborted, L"Connection aborted");
                connected_ = false;
                break;
            }
            default:
                break;
        }
    }
    sequence.push_back(answer);
    Send(std::move(sequence), delay);
    return S_OK;
}

bool CSimulatedDpv1Channel::AnswerConnect(IXMLDOMNode* document, std::wstring* response) {
    BYTE api = 0, busAddress = 0;
    if (!ReadNumber(document, L"FDT/ConnectRequest/@api", &api) ||
        !ReadNumber(document, L"FDT/ConnectRequest/@busAddress", &busAddress)) {
        return false;
    }
    if (busAddress != device_.StationAddress()) {
        *response = CommunicationErrorXml(kNoStationAnswer,
                                          L"No station at bus address " + std::to_wstring(busAddress));
        return true;
    }
    reference_ = nextReference_.empty() ? FreshUuidText() : nextReference_;
    nextReference_.clear();
    api_ = api;
    connected_ = true;
    *response = ConnectResponseXml(Dpv1ErrorBytes(Dpv1DeviceError::None), &reference_, api, busAddress);
    return true;
}

bool CSimulatedDpv1Channel::AnswerDisconnect(IXMLDOMNode* document, std::wstring* response) {
    BYTE api = 0, busAddress = 0;
    std::wstring reference;
    if (!ReadNumber(document, L"FDT/DisconnectRequest/@api", &api) ||
        !ReadNumber(document, L"FDT/DisconnectRequest/@busAddress", &busAddress) ||
        !ReadText(document, L"FDT/DisconnectRequest/@communicationReference", &reference)) {
        return false;
    }
    if (!connected_ || !EqualsIgnoringCase(reference, reference_)) {
        *response = CommunicationErrorXml(kUnknownReference, L"Unknown communication reference");
        return true;
    }
    connected_ = false;
    *response = DisconnectResponseXml(Dpv1ErrorBytes(Dpv1DeviceError::None), reference_, api, busAddress);
    return true;
}

bool CSimulatedDpv1Channel::AnswerTransaction(IXMLDOMNode* document, bool reachesDevice,
                                              std::wstring* response) {
    // A broken or closed connection carries no transactions.
    if (!connected_) return false;
    const bool isRead = HasNode(document, L"FDT/ReadRequest");
    const std::wstring root = isRead ? L"FDT/ReadRequest" : L"FDT/WriteRequest";
    BYTE slot = 0, index = 0;
    std::wstring reference;
    if (!ReadNumber(document, (root + L"/@slot").c_str(), &slot) ||
        !ReadNumber(document, (root + L"/@index").c_str(), &index) ||
        !ReadText(document, (root + L"/@communicationReference").c_str(), &reference)) {
        return false;
    }
    if (!EqualsIgnoringCase(reference, reference_)) {
        *response = CommunicationErrorXml(kUnknownReference, L"Unknown communication reference");
        return true;
    }
    if (!reachesDevice) return true;
    if (isRead) {
        SimBytes data;
        const Dpv1DeviceError error = device_.Read(slot, index, &data);
        *response = ReadResponseXml(Dpv1ErrorBytes(error), reference_,
                                    error == Dpv1DeviceError::None ? &data : nullptr);
        return true;
    }
    std::wstring dataText;
    SimBytes data;
    if (!ReadText(document, L"FDT/WriteRequest/fdt:CommunicationData/@byteArray", &dataText) ||
        !BytesFromHex(std::wstring_view(dataText), &data)) {
        return false;
    }
    *response = WriteResponseXml(Dpv1ErrorBytes(device_.Write(slot, index, data)), reference_);
    return true;
}

// ---- delivery ----

void CSimulatedDpv1Channel::Send(DeliverySequence sequence, DWORD delayMs) {
    if (timing_ == AnswerTiming::DuringRequest && delayMs == 0) {
        for (const Delivery& delivery : sequence) Deliver(delivery);
        return;
    }
    const UINT_PTR timer = ::SetTimer(nullptr, 0, delayMs, &CSimulatedDpv1Channel::TimerProc);
    if (!timer) return;
    ChannelTimers()[timer] = this;
    queued_[timer] = std::move(sequence);
}

void CSimulatedDpv1Channel::Deliver(const Delivery& delivery) noexcept {
    if (!delivery.sink) return;
    // Nested deliveries (a request the DTM makes while it handles this answer) count once.
    const TickScope inTheDtm(deliveryTicks_, deliveryTicks_);
    ql::Bstr invokeId(delivery.invokeId.c_str());
    ql::Bstr text(delivery.text.c_str());
    SimulatedAnswer answer;
    answer.kind = delivery.kind;
    answer.invokeId = delivery.invokeId;
    answer.text = delivery.text;
    switch (delivery.kind) {
        case kSimConnect:
            answer.result = delivery.sink->OnConnectResponse(invokeId.Get(), text.Get());
            break;
        case kSimDisconnect:
            answer.result = delivery.sink->OnDisconnectResponse(invokeId.Get(), text.Get());
            break;
        case kSimTransaction:
            answer.result = delivery.sink->OnTransactionResponse(invokeId.Get(), text.Get());
            break;
        default:
            answer.result = delivery.sink->OnAbort(text.Get());
            break;
    }
    try {
        answers_.push_back(std::move(answer));
    } catch (...) {
    }
}

void CSimulatedDpv1Channel::DeliverTimer(UINT_PTR timer) noexcept {
    const auto found = queued_.find(timer);
    if (found == queued_.end()) return;
    DeliverySequence sequence = std::move(found->second);
    queued_.erase(found);
    for (const Delivery& delivery : sequence) Deliver(delivery);
}

void CALLBACK CSimulatedDpv1Channel::TimerProc(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    ::KillTimer(nullptr, timer);
    auto& timers = ChannelTimers();
    const auto found = timers.find(timer);
    if (found == timers.end()) return;
    // Held while it delivers: the DTM may let the channel go in its answer handling.
    const ql::ComPtr<CSimulatedDpv1Channel> channel(found->second);
    timers.erase(found);
    channel->DeliverTimer(timer);
}

void CSimulatedDpv1Channel::DeliverQueuedAnswers() noexcept {
    while (!queued_.empty()) {
        const UINT_PTR timer = queued_.begin()->first;
        ::KillTimer(nullptr, timer);
        ChannelTimers().erase(timer);
        DeliverTimer(timer);
    }
}

void CSimulatedDpv1Channel::AbortConnection() noexcept {
    if (!connected_ || !sink_) return;
    connected_ = false;
    Delivery abort;
    abort.sink = sink_;
    abort.text = reference_;
    try {
        Send(DeliverySequence{abort}, delayMs_);
    } catch (...) {
    }
}

void CSimulatedDpv1Channel::DropCallback() noexcept {
    for (const auto& entry : queued_) {
        ::KillTimer(nullptr, entry.first);
        ChannelTimers().erase(entry.first);
    }
    queued_.clear();
    sink_.Reset();
}
