#pragma once
// CDtmCommunicationHost: the DTM object as its communication parts (the DP-V1 client, the online requests
// and the dataset transfer) see it (ICommunicationHost). It forwards to the toolkit base (state, frame,
// documents, report sink, settings words, state event), to the variable store, and to the object's own
// functions and translation services, which it finds by QueryInterface on the controlling object.
//
// A member of the DTM object, not the object itself: ICommunicationHost's GetState and SetState have the
// default calling convention and would clash with IQuelkDtm's stdcall methods of the same names on i686.
// Used on the DTM object's apartment thread only; owns nothing.
#include "comm/CommunicationHost.h"

class CQuelkDtm;

class CDtmCommunicationHost final : public ICommunicationHost {
public:
    CDtmCommunicationHost(CQuelkDtm& dtm, CQuelkVariableStore& store) noexcept : dtm_(dtm), store_(store) {}
    CDtmCommunicationHost(const CDtmCommunicationHost&) = delete;
    CDtmCommunicationHost& operator=(const CDtmCommunicationHost&) = delete;
    ~CDtmCommunicationHost() = default;

    IUnknown* ControllingUnknown() noexcept override;
    // Through IQuelkDtm: the toolkit's SetState, which runs the complete object's ApplyState.
    HRESULT GetState(ULONG* state) noexcept override;
    HRESULT SetState(ULONG state) noexcept override;
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override;
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept override;
    CQuelkMessageSink* MessageSink() noexcept override;
    IUnknown* Frame() noexcept override;
    IFrameEvents* FrameEvents() noexcept override;
    HRESULT GetSystemTag(BSTR* tag) noexcept override;
    // E_NOINTERFACE when the object has no functions (translation) service.
    HRESULT ShowFrameMessage(BSTR text, BSTR title, const VARIANT& style, LONG* answer) noexcept override;
    HRESULT GetToolkitMessage(LONG id, BSTR* text) noexcept override;
    CQuelkVariableStore& Store() noexcept override { return store_; }
    ULONG UserLevel() noexcept override;
    HANDLE StateEvent() noexcept override;
    DWORD StateWaitTime() noexcept override;
    DWORD CancelPause() noexcept override;

private:
    CQuelkDtm& dtm_;
    CQuelkVariableStore& store_;
};
