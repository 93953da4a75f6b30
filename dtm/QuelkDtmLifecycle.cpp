// The FDT lifecycle of IDtm: environment, device type, configuration, the channel and its release, and
// the end of the instance. Every method checks the lifecycle state first and answers S_FALSE, with its
// VARIANT_BOOL result FALSE, when the state does not fit.
#include "dtm/QuelkDtm.h"

#include "classlib/HResult.h"
#include "classlib/PumpingWait.h"
#include "classlib/ScopedFlag.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "comm/OnlineParameterRequests.h"
#include "comm/QuelkDpv1Communication.h"
#include "dtm/DtmHost.h"
#include "dtm/services/DtmFunctionCalls.h"
#include "dtm/services/DtmUserSettings.h"
#include "dtm/services/QuelkFunctions.h"
#include "xml/SchemaLists.h"
#include "xml/XmlNodeReads.h"

namespace {

// The device type element of IDtm::InitNew's document and the user level of Config's.
constexpr wchar_t kDeviceTypePath[] = L"FDT/fdt:DtmDeviceType";
constexpr wchar_t kUserLevelPath[] = L"*/FDTUserInformation/@userLevel";

// The whole XML of the first node `xpath` selects; E_FAIL when there is none.
HRESULT GetNodeXml(IXMLDOMNode* root, const wchar_t* xpath, ql::Bstr& xml) noexcept {
    ql::Bstr path(xpath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    ql::ComPtr<IXMLDOMNode> node;
    const HRESULT hr = root->selectSingleNode(path.Get(), node.Put());
    QL_RETURN_IF_FAILED(hr);
    QL_RETURN_HR_IF(E_FAIL, hr != S_OK || !node);
    return node->get_xml(xml.Put());
}

// Sets the communication-set event however SetCommunication ends.
class SignalOnExit {
public:
    explicit SignalOnExit(ql::LazyManualResetEvent& event) noexcept : event_(event) {}
    SignalOnExit(const SignalOnExit&) = delete;
    SignalOnExit& operator=(const SignalOnExit&) = delete;
    ~SignalOnExit() { event_.Set(); }

private:
    ql::LazyManualResetEvent& event_;
};

}  // namespace

HRESULT CQuelkDtm::StoreFrame(IFrameContainer* frame) noexcept {
    ql::ComPtr<IFrameEvents> events;
    if (FAILED(frame->QueryInterface(IID_IFrameEvents, events.PutVoid())) || !events) return E_FAIL;
    frame_ = ql::ComPtr<IFrameContainer>(frame);
    frameEvents_ = std::move(events);
    return S_OK;
}

void CQuelkDtm::DropFrame() noexcept {
    frameEvents_.Reset();
    frame_.Reset();
}

// The other DTM of a compare is held until ReleaseCompare. A DTM on its way out gives it up whether or not
// the frame asked: two DTMs that compared each other would otherwise keep each other alive.
void CQuelkDtm::DropCompareLink() noexcept {
    if (!compareInitialised_) return;
    ql::ComPtr<IFrameDtmAccess> access;
    if (SUCCEEDED(ql::QueryInterfaceTo(frame_.Get(), access)) && access) {
        const ql::SelfHold hold(GetControllingUnknown());
        VARIANT_BOOL released = VARIANT_FALSE;
        // The link goes in any case: a frame that keeps the other DTM keeps it for itself.
        (void)access->ReleaseDtm(comparePeerTag_.Get(), &released);
    }
    comparePeerStore_.Reset();
    comparePeerTag_.Reset();
    compareInitialised_ = 0;
}

HRESULT CQuelkDtm::Environment(BSTR systemTag, IFrameContainer* frame, VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, systemTag == nullptr || frame == nullptr || result == nullptr);
    *result = VARIANT_FALSE;
    if (!IsStateIn(state_, {kStateNew, kStateLoaded})) return S_FALSE;

    QL_RETURN_HR_IF(E_OUTOFMEMORY, FAILED(systemTag_.AssignCopy(systemTag)));
    QL_RETURN_IF_FAILED(StoreFrame(frame));

    // A frame that cannot name its schema folder keeps its pointers: the frame may try again.
    ql::Bstr folder;
    {
        const ql::SelfHold hold(GetControllingUnknown());
        QL_RETURN_IF_FAILED(frame_->GetSchemaFolder(folder.Put()));
    }
    const HRESULT cache = xml_.InitializeSchemaCache(folder.CStr(), DtmSchemaList, &reporter_);
    if (FAILED(cache)) {
        Report("InitializeSchemaCache returned 0x%X, maybe there is a problem with MSXML.",
               static_cast<unsigned>(cache));
        return cache;
    }

    if (state_ == kStateLoaded) {
        const HRESULT channels = InitChannels();
        if (FAILED(channels)) {
            Report("Could not initialize the channels: 0x%08X!", static_cast<unsigned>(channels));
            DropFrame();
            return channels;
        }
        QL_RETURN_IF_FAILED(SetState(kStateInitialised));
    } else {
        QL_RETURN_IF_FAILED(SetState(kStateEnvironmentNew));
    }
    // The trace interface would be switched on here; this DTM has none.
    // OnStateChanged always answers S_OK.
    (void)OnStateChanged();
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDtm::InitNew(BSTR deviceType, VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    if (deviceType == nullptr || state_ != kStateEnvironmentNew) return S_FALSE;

    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(LoadXMLDocument(deviceType, document.Put(), &loaded)) || loaded != VARIANT_TRUE)
        return S_FALSE;
    ql::Bstr element;
    if (FAILED(GetNodeXml(document.Get(), kDeviceTypePath, element)) || element.IsEmpty()) return S_FALSE;
    deviceType_ = std::move(element);

    if (FAILED(InitChannels())) {
        deviceType_.Reset();
        return S_FALSE;
    }
    QL_RETURN_IF_FAILED(SetState(kStateInitialised));
    // OnStateChanged always answers S_OK.
    (void)OnStateChanged();
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDtm::Config(BSTR userInformation, VARIANT_BOOL* result) noexcept {
    return host_.UserSettings().Config(userInformation, result);
}

HRESULT CQuelkDtm::ConfigureLifecycle(BSTR userInformation, IXMLDOMDocument2* document,
                                      VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    if (userInformation == nullptr || document == nullptr || state_ != kStateInitialised) return S_FALSE;

    ql::Bstr path(kUserLevelPath);
    ql::Variant keyword;
    if (path.IsNull() || FAILED(XmlGetNodeValue(document, path.Get(), keyword.Get(), VT_BSTR))) {
        return S_FALSE;
    }
    if (FAILED(host_.UserSettings().SetUserLevel(*keyword.Get()))) return S_FALSE;
    // Kept only for an aggregating object; without memory it stays empty and the user level above stands.
    (void)userInformation_.AssignCopy(userInformation);

    QL_RETURN_IF_FAILED(SetState(kStateConfigured));
    // The open user interfaces receive state 8 twice; they have always done so.
    // OnStateChanged always answers S_OK.
    (void)OnStateChanged();
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDtm::SetCommunication(IFdtCommunication* channel, VARIANT_BOOL* result) noexcept {
    // Whoever waits for the hand-over learns of its end however it ends.
    communicationSetEvent_.Reset();
    SignalOnExit signal(communicationSetEvent_);

    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr || channel == nullptr);
    *result = VARIANT_FALSE;
    if (state_ != kStateConfigured) return S_FALSE;
    // Held: going online tells the frame and calls its channel.
    const ql::ComPtr<IUnknown> keepAlive(GetControllingUnknown());

    stateEvent_.Reset();
    if (!ClientView().HasClient()) return S_FALSE;

    // A channel that is no FDT communication channel cannot carry a connection: refused, still offline.
    ql::ComPtr<IFdtCommunication> fdtChannel;
    if (FAILED(channel->QueryInterface(IID_IFdtCommunication, fdtChannel.PutVoid())) || !fdtChannel) {
        return S_FALSE;
    }
    ql::ComPtr<IUnknown> identity;
    QL_RETURN_IF_FAILED(channel->QueryInterface(IID_IUnknown, identity.PutVoid()));
    QL_RETURN_IF_FAILED(ClientView().SetChannel(identity.Get()));
    channel_ = std::move(fdtChannel);
    QL_RETURN_IF_FAILED(SetState(kStateCommunicationSet));

    if (autoConnect_) {
        // The connect answer moves the state on later; a connect that cannot be sent leaves 9.
        VARIANT_BOOL sent = VARIANT_FALSE;
        (void)ClientView().GoOnline(&sent);
    }
    *result = VARIANT_TRUE;
    return S_OK;
}

void CQuelkDtm::CloseOpenUserInterfaces(HRESULT* failure) noexcept {
    *failure = S_OK;
    ULONG count = 0;
    while (SUCCEEDED(UiFunctions().GetOpenUiCount(&count)) && count > 0) {
        ql::Bstr invokeId;
        HRESULT hr = UiFunctions().GetOpenUiInvokeId(0, invokeId.Put());
        VARIANT_BOOL closed = VARIANT_FALSE;
        if (SUCCEEDED(hr)) hr = UiFunctions().CloseFunctionUi(invokeId.Get(), &closed);
        if (FAILED(hr)) {
            *failure = hr;
            return;
        }
        // A closed user interface unregisters itself; one that stays open ends the loop.
        ULONG left = 0;
        if (FAILED(UiFunctions().GetOpenUiCount(&left)) || left >= count) return;
    }
}

HRESULT CQuelkDtm::PrepareToDelete(VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    if (!IsStateIn(state_, {kStateEnvironmentNew, kStateConfigured, kStatePreparedToRelease})) return S_FALSE;
    // Held: the user interfaces close and the frame is told below.
    const ql::ComPtr<IUnknown> keepAlive(GetControllingUnknown());

    HRESULT closing = S_OK;
    CloseOpenUserInterfaces(&closing);
    QL_RETURN_IF_FAILED(closing);
    // The trace interface would be switched off here; this DTM has none.
    if (state_ != kStateEnvironmentNew) QL_RETURN_IF_FAILED(ReleaseChannels());

    channel_.Reset();
    // Letting go of the channel (null) always succeeds.
    (void)ClientView().SetChannel(nullptr);

    QL_RETURN_HR_IF(E_UNEXPECTED, !frameEvents_);
    QL_RETURN_IF_FAILED(frameEvents_->NotifyPreparedToDelete(systemTag_.Get()));
    QL_RETURN_IF_FAILED(SetState(kStatePreparedToDelete));
    DropCompareLink();
    *result = VARIANT_TRUE;
    return S_OK;
}

void CQuelkDtm::WaitForStateEvent() noexcept {
    // A timeout or a failed wait ends it as well: the state reached decides what follows.
    (void)ql::WaitWithMessagePump(stateEvent_.Get(), stateWaitTime_);
}

HRESULT CQuelkDtm::PrepareToReleaseCommunication(VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    if (!IsStateIn(state_,
                   {kStateCommunicationSet, kStateConnecting, kStateDisconnecting, kStateConnected})) {
        return S_FALSE;
    }
    // Asked again from inside its own course (the frame's offline event): the outer call goes on and tells
    // the frame when it is done; a wait here could only stall the outer call for its whole time-out.
    if (preparingRelease_) return S_FALSE;
    // The running upload or download owns the channel: not released, and the frame is told so by the
    // FALSE result of a call that itself went well.
    if (host_.OnlineRequests().IsRequestRunning()) return S_OK;

    // Held across the waits and the frame's calls: a frame handler inside them may drop the last reference.
    const ql::ComPtr<IUnknown> keepAlive(GetControllingUnknown());
    const ql::ScopedFlag<bool> preparing(preparingRelease_);
    if (state_ == kStateConnecting) WaitForStateEvent();
    if (state_ == kStateConnected) {
        VARIANT_BOOL offline = VARIANT_FALSE;
        const HRESULT hr = ClientView().GoOffline(&offline);
        if (FAILED(hr) || offline != VARIANT_TRUE) return S_FALSE;
    } else if (state_ == kStateDisconnecting) {
        WaitForStateEvent();
    }

    if (state_ != kStateCommunicationSet) return S_FALSE;
    if (frameEvents_) {
        const ql::ComPtr<IFrameEvents> events(frameEvents_);
        // A notice: the DTM is ready to release its communication whatever the frame answers.
        (void)events->NotifyPreparedToReleaseCommunication(systemTag_.Get());
    }
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDtm::ReleaseCommunication(VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    const ql::ComPtr<IUnknown> keepAlive(GetControllingUnknown());
    if (state_ == kStateConnecting || state_ == kStateDisconnecting) {
        // A connect or disconnect the channel never answers would keep the DTM in 10 or 11 for good: the
        // client drops the pending request and returns to 9, and the release goes on from there.
        QL_RETURN_IF_FAILED(ClientView().AbandonConnection());
    }
    if (state_ != kStateCommunicationSet) return S_FALSE;

    // A device extension could hold the channel back here; this DTM has none, so it always goes.
    *result = VARIANT_TRUE;
    channel_.Reset();
    (void)ClientView().SetChannel(nullptr);
    QL_RETURN_IF_FAILED(SetState(kStateConfigured));
    // OnStateChanged always answers S_OK.
    (void)OnStateChanged();
    return S_OK;
}

HRESULT CQuelkDtm::PrepareToRelease(VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    if (state_ != kStateConfigured) return S_FALSE;
    ULONG openUis = 0;
    if (FAILED(UiFunctions().GetOpenUiCount(&openUis)) || openUis > 0) return S_FALSE;

    QL_RETURN_IF_FAILED(SetState(kStatePreparedToRelease));
    DropCompareLink();
    // OnStateChanged always answers S_OK.
    (void)OnStateChanged();
    *result = VARIANT_TRUE;
    return S_OK;
}

// ---- Methods whose work belongs to the user settings and the function calls ----

HRESULT CQuelkDtm::SetLanguage(LONG language, VARIANT_BOOL* accepted) noexcept {
    // The standard carries the LCID as a signed 32-bit integer; every LCID fits.
    return host_.UserSettings().SetLanguage(static_cast<LCID>(language), accepted);
}

HRESULT CQuelkDtm::GetFunctions(BSTR operationPhase, BSTR* functions) noexcept {
    return host_.FunctionCalls().GetFunctions(operationPhase, functions);
}

HRESULT CQuelkDtm::InvokeFunctionRequest(BSTR invokeId, BSTR functionCall, VARIANT_BOOL* result) noexcept {
    return host_.FunctionCalls().InvokeFunctionRequest(invokeId, functionCall, result);
}

HRESULT CQuelkDtm::PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) noexcept {
    return host_.FunctionCalls().PrivateDialogEnabled(enabled, result);
}
