// The toolkit main interface IQuelkDtm of CQuelkDtm: the state word, notifications, texts, the channel
// initialisation hooks; and the parts of the base that every other file of the DTM uses.
#include "dtm/QuelkDtm.h"

#include <cstdarg>
#include <string_view>

#include "classlib/ComModule.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dataset/VariantArguments.h"
#include "values/AnsiText.h"
#include "values/MessageFormat.h"

namespace {

// A string resource of the module is read into a buffer of this many characters.
constexpr int kMessageTextBuffer = 512;

// LoadMessageText's argument is a resource id when its upper 16 bits are zero (MAKEINTRESOURCEA).
bool IsResourceId(LPCSTR idOrText) noexcept { return (reinterpret_cast<ULONG_PTR>(idOrText) >> 16) == 0; }

}  // namespace

CQuelkDtm::CQuelkDtm() noexcept : reporter_(*this) {}

void CQuelkDtm::AttachFunctions(DtmFunctionsSeam* functions) noexcept {
    functions_ = functions ? functions : &noFunctions_;
}

void CQuelkDtm::AttachCommunication(DtmCommunicationSeam* communication) noexcept {
    communication_ = communication ? communication : &noCommunication_;
}

void CQuelkDtm::AttachLocalization(DtmLocalizationSeam* localization) noexcept {
    localization_ = localization ? localization : &noLocalization_;
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

HRESULT CQuelkDtm::SetUserLevel(const VARIANT& keyword) noexcept {
    return V_VT(&keyword) == VT_BSTR ? S_OK : E_INVALIDARG;
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
    ApplyState(previous, state);
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

void CQuelkDtm::ApplyState(ULONG, ULONG) noexcept {}

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
    return functions_->BroadcastNotification(code, data);
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
    (void)functions_->BroadcastState(state_);
    return S_OK;
}

HRESULT CQuelkDtm::InitChannels() noexcept {
    // Only an object that aggregates the DTM can answer the extension; it may veto.
    ql::ComPtr<IQuelkDtmExtension> extension;
    if (SUCCEEDED(QueryObject(extension)) && extension) {
        VARIANT_BOOL proceed = VARIANT_FALSE;
        QL_RETURN_IF_FAILED(extension->ApproveInitChannels(&proceed));
        QL_RETURN_HR_IF(E_UNEXPECTED, proceed != VARIANT_TRUE);
    }
    return OnInitChannels();
}

HRESULT CQuelkDtm::ReleaseChannels() noexcept {
    ql::ComPtr<IQuelkDtmExtension> extension;
    if (SUCCEEDED(QueryObject(extension)) && extension) {
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
    // Formatted and sent by the automation part of the complete object; nothing in the module calls it.
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
    QL_RETURN_IF_FAILED(functions_->BroadcastNotification(kNotifyDataLock, *locked.Get()));
    return S_OK;
}

HRESULT CQuelkDtm::UnlockData(BSTR, BSTR, VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    // No notification: the user interfaces learn of the unlock when they register again.
    dataLockFlag_ = 0;
    return S_OK;
}
