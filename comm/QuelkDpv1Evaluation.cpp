// The evaluation of the channel's answers: connection answers move the DTM's state and end in the
// connection result hooks; read and write answers end in exactly one report to the store's result sink.
// Each evaluation checks in a fixed order and stops at the first failure; the messages reach the user as
// they stand.
#include "comm/QuelkDpv1Communication.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "comm/Dpv1ErrorCode.h"
#include "comm/Dpv1ValueEncoding.h"
#include "values/HexText.h"
#include "values/MessageFormat.h"
#include "values/QuelkVariant.h"
#include "xml/XmlNodeReads.h"

struct CQuelkDpv1Communication::ConnectionAnswer {
    const wchar_t* root;
    ULONG failureState;
    ULONG successState;
    const wchar_t* errorSuffix;
    const wchar_t* loadFailure;
    bool isConnect;  // the connect takes the reference; the disconnect checks and frees it
};

namespace {

constexpr wchar_t kReadResponseRoot[] = L"FDT/ReadResponse";
constexpr wchar_t kWriteResponseRoot[] = L"FDT/WriteResponse";
constexpr wchar_t kReadDataPath[] = L"FDT/ReadResponse/fdt:CommunicationData/@byteArray";
constexpr wchar_t kErrorCodeSuffix[] = L"/@errorCode";
constexpr wchar_t kReferenceSuffix[] = L"/@communicationReference";
constexpr wchar_t kApiSuffix[] = L"/@api";
constexpr wchar_t kBusAddressSuffix[] = L"/@busAddress";

// Messages of the evaluations.
constexpr wchar_t kErrorCodeReadFailed[] = L"Error retrieving xml parameter \"errorCode\"";
constexpr wchar_t kErrorCodeCheckFailed[] = L"Error checking dpv1 errorCode";
constexpr wchar_t kXmlError[] = L"XML Error!";
constexpr wchar_t kInvalidReference[] = L"Invalid Communication reference obtained!";
constexpr wchar_t kLoadFailed[] = L"LoadXMLDocument failed!";
constexpr wchar_t kUnpackFailed[] = L"DPV1_UnpackTransactionDoc failed!";
constexpr wchar_t kInvalidResponseDocument[] = L"invalid response document";
constexpr wchar_t kCheckingFailed[] = L"DPV1 Error Checking failed!";
constexpr wchar_t kByteArrayNotConverted[] = L"Could not convert ByteArray!";
constexpr wchar_t kReadParameterSuffix[] = L", ReadRequest Parameter %d.%d";
constexpr wchar_t kWriteParameterSuffix[] = L", WriteRequest Parameter %d.%d";

// The value of the attribute `root` + `suffix`, converted to `type`.
HRESULT ReadAttribute(IXMLDOMNode* document, const wchar_t* root, const wchar_t* suffix, VARTYPE type,
                      ql::Variant& value) noexcept {
    ql::Bstr path(root);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    QL_RETURN_IF_FAILED(path.Append(suffix));
    return XmlGetNodeValue(document, path.Get(), value.Put(), type);
}

bool NodeExists(IXMLDOMNode* document, const wchar_t* xpath) noexcept {
    ql::Bstr path(xpath);
    return !path.IsNull() && XmlNodeExists(document, path.Get()) != 0;
}

// The message a step of an evaluation ends with. Without memory for the text the previous one stays: the
// message only describes the step's result, which stands all the same.
void SetMessage(ql::Bstr& message, const wchar_t* text) noexcept { (void)message.Assign(text); }

// What the response of a read or write holds once unpacked.
struct TransferAnswer {
    const wchar_t* root = nullptr;
    ql::Variant errorCode;
    ql::Variant reference;
    ql::Variant data;
    bool hasData = false;
};

}  // namespace

// ---- connection answers ----

HRESULT CQuelkDpv1Communication::EvaluateConnectResponse(VARIANT context, BSTR response) noexcept {
    static const ConnectionAnswer answer = {L"FDT/ConnectResponse",
                                            kStateCommunicationSet,
                                            kStateConnected,
                                            L" (ConnectRequest)",
                                            L"Error loading ConnectResponse Xml Document",
                                            true};
    return EvaluateConnectionResponse(answer, context, response);
}

HRESULT CQuelkDpv1Communication::EvaluateDisconnectResponse(VARIANT context, BSTR response) noexcept {
    static const ConnectionAnswer answer = {L"FDT/DisconnectResponse",
                                            kStateConnected,
                                            kStateCommunicationSet,
                                            L" (DisconnectRequest)",
                                            L"Error loading DisconnectResponse Xml Document",
                                            false};
    return EvaluateConnectionResponse(answer, context, response);
}

HRESULT CQuelkDpv1Communication::EvaluateConnectionResponse(const ConnectionAnswer& answer,
                                                            const VARIANT& context, BSTR response) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, host_ == nullptr);
    ql::Bstr message;
    VARIANT_BOOL ok = VARIANT_FALSE;
    BYTE api = 0, busAddress = 0;
    ULONG newState = answer.failureState;
    // Every step sets the message and result it ends with; the state change and the hook follow in any case.
    const HRESULT hr = [&]() -> HRESULT {
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        const HRESULT load = host_->LoadXMLDocument(response, document.Put(), &loaded);
        if (FAILED(load) || loaded != VARIANT_TRUE || !document) {
            SetMessage(message, answer.loadFailure);
            return FAILED(load) ? load : E_FAIL;
        }
        if (ParseCommunicationError(document.Get(), message)) return S_OK;

        ql::Variant errorCode;
        HRESULT read =
            ReadAttribute(document.Get(), answer.root, kErrorCodeSuffix, VT_ARRAY | VT_UI1, errorCode);
        if (FAILED(read)) {
            SetMessage(message, kErrorCodeReadFailed);
            return read;
        }
        BYTE isError = 0;
        const HRESULT check = CheckDpv1ErrorCode(*errorCode, message, &isError);
        (void)message.Append(answer.errorSuffix);  // without memory the message lacks only its suffix
        if (FAILED(check)) {
            SetMessage(message, kErrorCodeCheckFailed);
            return check;
        }
        if (isError) return S_OK;

        ql::Variant reference;
        read = ReadAttribute(document.Get(), answer.root, kReferenceSuffix, VT_BSTR, reference);
        SetMessage(message, kXmlError);
        QL_RETURN_IF_FAILED(read);
        if (!answer.isConnect && !IsSameCommunicationReference(*reference, communicationReference_.Get())) {
            SetMessage(message, kInvalidReference);
            return E_FAIL;
        }
        ql::Variant apiValue, busAddressValue;
        QL_RETURN_IF_FAILED(ReadAttribute(document.Get(), answer.root, kApiSuffix, VT_UI1, apiValue));
        QL_RETURN_IF_FAILED(
            ReadAttribute(document.Get(), answer.root, kBusAddressSuffix, VT_UI1, busAddressValue));
        QL_RETURN_IF_FAILED(
            StoreCommunicationReference(answer.isConnect ? V_BSTR(reference.Get()) : nullptr));
        // The connection is gone: whatever of it still awaits an answer ends now, so that a channel that
        // hands out the same reference again cannot have a stale answer taken on the next connection.
        if (!answer.isConnect) pending_.AbortAll();
        ok = VARIANT_TRUE;
        api = V_UI1(apiValue.Get());
        busAddress = V_UI1(busAddressValue.Get());
        newState = answer.successState;
        return S_OK;
    }();

    // The evaluation's own result is the answer: the state change and the hook (a broadcast to the open user
    // interfaces) follow in any case and cannot change what the device answered.
    (void)host_->SetState(newState);
    VARIANT contextCopy = context;  // handed on as it came; the hook does not own it
    if (answer.isConnect) {
        (void)OnConnectResult(contextCopy, ok, api, busAddress, message.Get());
    } else {
        (void)OnDisconnectResult(contextCopy, ok, api, busAddress, message.Get());
    }
    return hr;
}

// ---- read and write answers ----

HRESULT CQuelkDpv1Communication::EvaluateReadResponse(ULONG id, BSTR response) noexcept {
    return EvaluateTransferResponse(id, nullptr, response);
}

HRESULT CQuelkDpv1Communication::EvaluateWriteResponse(ULONG id, VARIANT value, BSTR response) noexcept {
    return EvaluateTransferResponse(id, &value, response);
}

HRESULT CQuelkDpv1Communication::ReportTransfer(IQuelkVariables* store, VARIANT_BOOL ok, ULONG id,
                                                const VARIANT& value, BSTR message) noexcept {
    // Kept for the request that waits for this answer before the store tells anyone (who may run further
    // transfers that report in turn).
    if (transferOutcome_) {
        transferOutcome_->reported = true;
        transferOutcome_->ok = ok == VARIANT_TRUE;
        // Without memory for the copy the waiting request reports its outcome without the text.
        (void)transferOutcome_->message.AssignCopy(message);
    }
    CQuelkVariant idArgument(id);
    return store->OnDeviceResult(ok, idArgument, value, message);
}

HRESULT CQuelkDpv1Communication::EvaluateTransferResponse(ULONG id, const VARIANT* written,
                                                          BSTR response) noexcept {
    const bool isRead = written == nullptr;
    const ql::ComPtr<IQuelkVariables> store = HeldStore();
    // A failure report carries the data read so far (a read) or the value written (a write).
    ql::Variant reportValue;
    // A report without the value (no memory for its copy) still reports the failure.
    if (written) (void)reportValue.CopyFrom(*written);
    auto fail = [&](const wchar_t* text, HRESULT result) -> HRESULT {
        ql::Bstr message(text);
        // The answer was evaluated: the store's handling of the failure report is its own and the evaluation
        // answers with `result`.
        (void)ReportTransfer(store.Get(), VARIANT_FALSE, id, *reportValue, message.Get());
        return result;
    };

    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT load = host_->LoadXMLDocument(response, document.Put(), &loaded);
    if (FAILED(load) || loaded != VARIANT_TRUE || !document)
        return fail(kLoadFailed, FAILED(load) ? load : E_FAIL);

    ql::Bstr communicationError;
    if (ParseCommunicationError(document.Get(), communicationError)) {
        // A communication error is an evaluated answer (S_OK); reporting it to the store is a notice.
        (void)ReportTransfer(store.Get(), VARIANT_FALSE, id, *reportValue, communicationError.Get());
        return S_OK;
    }

    // Unpack.
    TransferAnswer answer;
    if (NodeExists(document.Get(), kReadResponseRoot)) {
        answer.root = kReadResponseRoot;
    } else if (NodeExists(document.Get(), kWriteResponseRoot)) {
        answer.root = kWriteResponseRoot;
    } else {
        return fail(kUnpackFailed, E_INVALIDARG);
    }
    HRESULT hr =
        ReadAttribute(document.Get(), answer.root, kErrorCodeSuffix, VT_ARRAY | VT_UI1, answer.errorCode);
    if (SUCCEEDED(hr))
        hr = ReadAttribute(document.Get(), answer.root, kReferenceSuffix, VT_BSTR, answer.reference);
    if (FAILED(hr)) return fail(kUnpackFailed, hr);
    if (answer.root == kReadResponseRoot) {
        ql::Bstr dataPath(kReadDataPath);
        const HRESULT data =
            XmlGetNodeValue(document.Get(), dataPath.Get(), answer.data.Put(), VT_ARRAY | VT_UI1);
        answer.hasData = SUCCEEDED(data);
        // As above: the value travels with a failure report only when it can be copied.
        if (answer.hasData && isRead) (void)reportValue.CopyFrom(*answer.data);
        // A device that refuses a read sends its error without data (the schema allows it); the read goes
        // on to report that error. Missing data is a failure of the answer only when nothing explains it.
        BYTE refused = 0;
        ql::Bstr ignored;
        const bool explained =
            isRead && SUCCEEDED(CheckDpv1ErrorCode(*answer.errorCode, ignored, &refused)) && refused;
        if (!answer.hasData && !explained) return fail(kUnpackFailed, data);
    }

    const wchar_t* ownRoot = isRead ? kReadResponseRoot : kWriteResponseRoot;
    if (answer.root != ownRoot) return fail(kInvalidResponseDocument, E_FAIL);

    ql::Bstr message;
    BYTE isError = 0;
    hr = CheckDpv1ErrorCode(*answer.errorCode, message, &isError);
    if (FAILED(hr)) return fail(kCheckingFailed, hr);
    if (isError) {
        ql::Variant address;
        // An address that cannot be read leaves the message without its slot and index (SplitDpv1Address
        // refuses VT_EMPTY).
        (void)store->GetAddress(CQuelkVariant(id), address.Put());
        BYTE slot = 0, index = 0;
        if (SUCCEEDED(SplitDpv1Address(*address, &slot, &index))) {
            ql::Bstr format(isRead ? kReadParameterSuffix : kWriteParameterSuffix);
            ql::Bstr suffix;
            if (SUCCEEDED(BstrPrintf(suffix.Put(), format.Get(), static_cast<int>(slot),
                                     static_cast<int>(index)))) {
                (void)message.Append(suffix.View());  // as above: only the suffix is missing
            }
        }
        // A refusal the device answered is an evaluated answer (S_OK); reporting it to the store is a notice.
        (void)ReportTransfer(store.Get(), VARIANT_FALSE, id, *reportValue, message.Get());
        return S_OK;
    }

    if (!IsSameCommunicationReference(*answer.reference, communicationReference_.Get())) {
        return fail(kInvalidReference, E_FAIL);
    }
    if (!isRead) return ReportTransfer(store.Get(), VARIANT_TRUE, id, *written, nullptr);

    ql::Bstr hex;
    hr = BytesToHexBstr(answer.data.Get(), hex.Put(), FALSE);
    if (FAILED(hr)) return fail(kByteArrayNotConverted, hr);
    VARTYPE type = VT_EMPTY;
    QL_RETURN_IF_FAILED(store->GetVariableInfo(CQuelkVariant(id), nullptr, nullptr, &type, nullptr, nullptr,
                                               nullptr, nullptr));
    ql::Variant value;
    QL_RETURN_IF_FAILED(::TextToValue(hex.Get(), type, value.Get()));
    return ReportTransfer(store.Get(), VARIANT_TRUE, id, *value, nullptr);
}
