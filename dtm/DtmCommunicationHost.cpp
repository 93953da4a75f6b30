#include "dtm/DtmCommunicationHost.h"

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/ToolkitMessages.h"

namespace {

// One of the object's service interfaces, asked of its controlling object.
template <class Interface>
HRESULT QueryService(IUnknown* object, ql::ComPtr<Interface>& service) noexcept {
    QL_RETURN_HR_IF(E_NOINTERFACE, object == nullptr);
    QL_RETURN_IF_FAILED(object->QueryInterface(__uuidof(Interface), service.PutVoid()));
    QL_RETURN_HR_IF(E_NOINTERFACE, !service);
    return S_OK;
}

}  // namespace

IUnknown* CDtmCommunicationHost::ControllingUnknown() noexcept { return dtm_.GetControllingUnknown(); }

HRESULT CDtmCommunicationHost::GetState(ULONG* state) noexcept { return dtm_.GetState(state); }

HRESULT CDtmCommunicationHost::SetState(ULONG state) noexcept { return dtm_.SetState(state); }

HRESULT CDtmCommunicationHost::BroadcastNotification(ULONG code, const VARIANT& data) noexcept {
    return dtm_.NotifyUis(code, data);
}

HRESULT CDtmCommunicationHost::LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document,
                                               VARIANT_BOOL* loaded) noexcept {
    return dtm_.LoadXMLDocument(xml, document, loaded);
}

CQuelkMessageSink* CDtmCommunicationHost::MessageSink() noexcept { return dtm_.MessageSink(); }

IUnknown* CDtmCommunicationHost::Frame() noexcept { return dtm_.Frame(); }

IFrameEvents* CDtmCommunicationHost::FrameEvents() noexcept { return dtm_.FrameEvents(); }

HRESULT CDtmCommunicationHost::GetSystemTag(BSTR* tag) noexcept { return dtm_.GetSystemTag(tag); }

HRESULT CDtmCommunicationHost::ShowFrameMessage(BSTR text, BSTR title, const VARIANT& style,
                                                LONG* answer) noexcept {
    QL_RETURN_IF_NULL_OUT(answer);
    ql::ComPtr<IQuelkFunctions> functions;
    QL_RETURN_IF_FAILED(QueryService(dtm_.GetControllingUnknown(), functions));
    ULONG pressed = 0;
    const HRESULT hr = functions->ShowMessageVariant(text, title, style, &pressed);
    QL_RETURN_IF_FAILED(hr);
    *answer = static_cast<LONG>(pressed);
    return hr;
}

HRESULT CDtmCommunicationHost::GetToolkitMessage(LONG id, BSTR* text) noexcept {
    return GetToolkitMessageText(dtm_.GetControllingUnknown(), id, text);
}

ULONG CDtmCommunicationHost::UserLevel() noexcept { return dtm_.UserLevel(); }

HANDLE CDtmCommunicationHost::StateEvent() noexcept { return dtm_.StateEvent().Get(); }

DWORD CDtmCommunicationHost::StateWaitTime() noexcept { return dtm_.StateWaitTime(); }

DWORD CDtmCommunicationHost::CancelPause() noexcept { return dtm_.CancelPause(); }
