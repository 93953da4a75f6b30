// The toolkit main interface IQuelkDtm of CQuelkDtm: the state word, notifications, texts, the channel
// initialisation hooks; and the parts of the base that every other file of the DTM uses.
#include "dtm/QuelkDtm.h"

#include <cstdarg>
#include <string_view>

#include "classlib/ComModule.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dataset/VariantArguments.h"
#include "dtm/DtmHost.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/services/QuelkLocalization.h"
#include "values/AnsiText.h"
#include "comm/QuelkDpv1Communication.h"
#include "values/MessageFormat.h"

namespace {

// A string resource of the module is read into a buffer of this many characters.
constexpr int kMessageTextBuffer = 512;

// LoadMessageText's argument is a resource id when its upper 16 bits are zero (MAKEINTRESOURCEA).
bool IsResourceId(LPCSTR idOrText) noexcept { return (reinterpret_cast<ULONG_PTR>(idOrText) >> 16) == 0; }

}  // namespace

CQuelkDtm::CQuelkDtm(ql::PartOwner& owner, DtmHost& host) noexcept
    : ql::MemberPart(owner), host_(host), reporter_(*this) {}

DtmFunctionsSeam& CQuelkDtm::UiFunctions() noexcept {
    if (functionsDouble_) return *functionsDouble_;
    return host_.Functions();
}

DtmCommunicationSeam& CQuelkDtm::ClientView() noexcept {
    if (communicationDouble_) return *communicationDouble_;
    return host_.Client();
}

IUnknown* CQuelkDtm::GetControllingUnknown() noexcept { return ControllingUnknown(); }

HRESULT CQuelkDtm::InitParameters() noexcept {
    SetLanguageWord(kLanguageSystemDefault);
    ql::Variant language;
    language.SetI4(static_cast<LONG>(kLanguageSystemDefault));
    QL_RETURN_IF_FAILED(NotifyUis(kNotifyLanguage, *language.Get()));

    CQuelkVariableStore& store = host_.Store();
    QL_RETURN_IF_FAILED(DefineDeviceParameters(&store.Variables(), nullptr, MessageSink()));
    store.SetDataSetState(0);  // the parameter document's "default"
    QL_RETURN_IF_FAILED(SetState(kStateCreated));

    // The built-in texts stay when the translations cannot be loaded.
    VARIANT_BOOL translated = VARIANT_FALSE;
    (void)host_.Localization().Initialize(&translated);
    return S_OK;
}

void CQuelkDtm::Report(const char* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    ReportMessageV(&reporter_, format, args);
    va_end(args);
}

HRESULT CQuelkDtm::LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept {
    return xml_.LoadXMLDocument(xml, document, loaded, &reporter_);
}

// ---- IQuelkDtm ----

HRESULT CQuelkDtm::SetState(ULONG state) noexcept {
    // Held: the frame and the open user interfaces are told below, and their handlers may drop the last
    // reference to the DTM while the caller of SetState still runs.
    const ql::SelfHold hold(GetControllingUnknown());
    const ULONG previous = state_;
    // The new state is in place before anyone hears of it: a frame that starts an upload from the online
    // event, or releases the communication from the offline event, is answered for the state it was told.
    state_ = state;
    // The state event mirrors the steady communication states, so that a wait for the channel's answer
    // ends as soon as one of them is reached.
    if (state == kStateCommunicationSet || state == kStateConnected) {
        stateEvent_.Set();
    } else if (state == kStateConnecting || state == kStateDisconnecting) {
        stateEvent_.Reset();
    }
    SwitchOnlineFunctions(previous, state);
    // The frame hears of the online state only when it really changes, and of this change only while it
    // stands: a handler that moved the state on meanwhile has told of its own change, the later one.
    const bool online = state == kStateConnected;
    if (frameEvents_ && online != (previous == kStateConnected) && state_ == state) {
        const ql::ComPtr<IFrameEvents> events(frameEvents_);
        // A notice: the frame's answer does not change the state. OnStateChanged always answers S_OK.
        (void)events->NotifyOnlineStateChanged(systemTag_.Get(), online ? VARIANT_TRUE : VARIANT_FALSE);
    }
    if (state_ == state) (void)OnStateChanged();
    return S_OK;
}

void CQuelkDtm::SwitchOnlineFunctions(ULONG previous, ULONG state) noexcept {
    // Online parameterization is offered only while online; diagnosis, measured value and trend, once
    // online, stay offered. A switch the frame does not hear of changes nothing the state depends on.
    DtmFunctionsSeam& functions = UiFunctions();
    if (state == kStateConnected) {
        (void)functions.SetFunctionEnabled(kFunctionOnlineParameterize, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionWithoutRow, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionMeasuredValue, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionTrend, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionDiagnosis, TRUE);
    } else if (state == kStateConfigured || previous == kStateConnected) {
        (void)functions.SetFunctionEnabled(kFunctionOnlineParameterize, FALSE);
        (void)functions.SetFunctionEnabled(kFunctionWithoutRow, FALSE);
    }
}

HRESULT CQuelkDtm::GetState(ULONG* state) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, state == nullptr);
    *state = state_;
    return S_OK;
}

HRESULT CQuelkDtm::NotifyUisVariant(VARIANT code, VARIANT data) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(code, &number));
    return NotifyUis(number, data);
}

HRESULT CQuelkDtm::GetLanguage(ULONG* lcid) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, lcid == nullptr);
    *lcid = language_;
    return S_OK;
}

HRESULT CQuelkDtm::GetSystemTag(BSTR* tag) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, tag == nullptr);
    // Before the environment step the tag is null, which reads as an empty text.
    return systemTag_.CopyTo(tag);
}

HRESULT CQuelkDtm::NotifyUis(ULONG code, VARIANT data) noexcept {
    // The device extension's hook would run first; this DTM has none (IQuelkDtmExtension declares no slot
    // for it), so the notification goes straight to the open user interfaces.
    return UiFunctions().BroadcastNotification(code, data);
}

HRESULT CQuelkDtm::LoadMessageText(LPCSTR idOrText, BSTR* text) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    *text = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, idOrText == nullptr);
    ql::Bstr result;
    if (!IsResourceId(idOrText)) {
        QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(idOrText), result));
    } else {
        wchar_t buffer[kMessageTextBuffer] = {};
        const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(idOrText));
        const int length =
            ::LoadStringW(ql::ComModule::Instance().ResourceInstance(), id, buffer, kMessageTextBuffer);
        QL_RETURN_HR_IF(E_FAIL, length <= 0);
        QL_RETURN_IF_FAILED(result.Assign(std::wstring_view(buffer, static_cast<size_t>(length))));
    }
    *text = result.Detach();
    return S_OK;
}

HRESULT CQuelkDtm::OnStateChanged() noexcept {
    // What the open user interfaces make of the state is theirs; the change itself always succeeds.
    (void)UiFunctions().BroadcastState(state_);
    return S_OK;
}

HRESULT CQuelkDtm::InitChannels() noexcept {
    // Only an object that aggregates the DTM can answer the extension; it may veto.
    ql::ComPtr<IQuelkDtmExtension> extension;
    if (SUCCEEDED(ql::QueryInterfaceTo(ControllingUnknown(), extension)) && extension) {
        VARIANT_BOOL proceed = VARIANT_FALSE;
        QL_RETURN_IF_FAILED(extension->ApproveInitChannels(&proceed));
        QL_RETURN_HR_IF(E_UNEXPECTED, proceed != VARIANT_TRUE);
    }
    return OnInitChannels();
}

HRESULT CQuelkDtm::ReleaseChannels() noexcept {
    ql::ComPtr<IQuelkDtmExtension> extension;
    if (SUCCEEDED(ql::QueryInterfaceTo(ControllingUnknown(), extension)) && extension) {
        VARIANT_BOOL proceed = VARIANT_FALSE;
        QL_RETURN_IF_FAILED(extension->ApproveReleaseChannels(&proceed));
        QL_RETURN_HR_IF(E_UNEXPECTED, proceed != VARIANT_TRUE);
    }
    return OnReleaseChannels();
}

HRESULT CQuelkDtm::OnInitChannels() noexcept { return S_OK; }

HRESULT CQuelkDtm::OnReleaseChannels() noexcept { return S_OK; }

HRESULT CQuelkDtm::ReservedHook20() noexcept { return S_OK; }

HRESULT CQuelkDtm::FrameDocumentHook(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR) noexcept {
    // Formatted and sent by the automation part of the object; nothing in the module calls it.
    return E_NOTIMPL;
}

// ---- IDtmDataLock ----

HRESULT CQuelkDtm::DataLockQuery1(BSTR) noexcept { return S_FALSE; }

HRESULT CQuelkDtm::DataLockQuery2(BSTR, BSTR) noexcept { return S_FALSE; }

HRESULT CQuelkDtm::LockData(BSTR, BSTR) noexcept {
    dataLockFlag_ = 1;
    // The open user interfaces make their inputs read-only.
    ql::Variant locked;
    locked.SetBool(false);
    QL_RETURN_IF_FAILED(UiFunctions().BroadcastNotification(kNotifyDataLock, *locked.Get()));
    return S_OK;
}

HRESULT CQuelkDtm::UnlockData(BSTR, BSTR, VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    // No notification: the user interfaces learn of the unlock when they register again.
    dataLockFlag_ = 0;
    return S_OK;
}
