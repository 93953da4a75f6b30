// The lower folders' views of the DTM object (IDatasetHost, ICommunicationHost), answered from its parts.
#include "dtm/DtmHost.h"

#include "classlib/HResult.h"
#include "comm/QuelkDatasetTransfer.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/services/QuelkLocalization.h"
#include "dtm/services/ToolkitMessages.h"

// ---- IDatasetHost ----

HRESULT DtmHost::GetState(ULONG* state) noexcept { return Lifecycle().GetState(state); }

// The broadcasts go the lifecycle's way, to the functions part or the double a test stands in for it.
HRESULT DtmHost::BroadcastNotification(ULONG code, const VARIANT& data) noexcept {
    return Lifecycle().NotifyUis(code, data);
}

HRESULT DtmHost::BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept {
    return Lifecycle().UiFunctions().BroadcastMessage(id, text, argument);
}

HRESULT DtmHost::SetModified(bool modified) noexcept { return Persistence().SetModified(modified); }

HRESULT DtmHost::LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept {
    return Persistence().LoadValuesPart(stream, ok);
}

HRESULT DtmHost::SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept {
    return Persistence().SaveValuesPart(stream, ok);
}

HRESULT DtmHost::UploadParameters(VARIANT_BOOL* ok) noexcept { return Transfer().Upload(ok); }

HRESULT DtmHost::DownloadParameters(VARIANT_BOOL* ok) noexcept { return Transfer().Download(ok); }

// ---- ICommunicationHost ----

HRESULT DtmHost::SetState(ULONG state) noexcept { return Lifecycle().SetState(state); }

HRESULT DtmHost::LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept {
    return Lifecycle().LoadXMLDocument(xml, document, loaded);
}

CQuelkMessageSink* DtmHost::MessageSink() noexcept { return Lifecycle().MessageSink(); }

IUnknown* DtmHost::Frame() noexcept { return Lifecycle().Frame(); }

IFrameEvents* DtmHost::FrameEvents() noexcept { return Lifecycle().FrameEvents(); }

HRESULT DtmHost::GetSystemTag(BSTR* tag) noexcept { return Lifecycle().GetSystemTag(tag); }

HRESULT DtmHost::ShowFrameMessage(BSTR text, BSTR title, const VARIANT& style, LONG* answer) noexcept {
    QL_RETURN_IF_NULL_OUT(answer);
    ULONG pressed = 0;
    const HRESULT hr = Functions().ShowMessageVariant(text, title, style, &pressed);
    QL_RETURN_IF_FAILED(hr);
    *answer = static_cast<LONG>(pressed);
    return hr;
}

HRESULT DtmHost::GetToolkitMessage(LONG id, BSTR* text) noexcept {
    return ToolkitMessageText(&Localization(), id, text);
}

CQuelkVariableStore& DtmHost::Store() noexcept { return StorePart().Store(); }

ULONG DtmHost::UserLevel() noexcept { return Lifecycle().UserLevel(); }

HANDLE DtmHost::StateEvent() noexcept { return Lifecycle().StateEvent().Get(); }

DWORD DtmHost::StateWaitTime() noexcept { return Lifecycle().StateWaitTime(); }

DWORD DtmHost::CancelPause() noexcept { return Lifecycle().CancelPause(); }
