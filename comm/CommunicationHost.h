#pragma once
// ICommunicationHost: what device communication asks of the DTM object it is part of: the lifecycle state
// and its changes, the broadcasts to the open user interfaces, the DTM's XML handler and report sink, the
// frame's pointers, the user messages and translations, the variable store and its interfaces, the DP-V1
// client, and the values the online requests wait with. The DTM object's host (dtm/DtmHost.h) implements it
// from the object's parts. Not owned by the communication parts.
//
// Called on the DTM object's apartment thread only.
#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include "FdtInterfaces.h"
#include "values/QuelkMessageSink.h"

class CQuelkDpv1Communication;
class CQuelkVariableStore;
class CQuelkVariableStorePart;

class ICommunicationHost {
public:
    // The DTM object's controlling IUnknown without a reference added for the caller: what a call out holds
    // (classlib/SelfHold.h), and what the online requests marshal for their worker.
    virtual IUnknown* ControllingUnknown() noexcept = 0;

    // IQuelkDtm::GetState and SetState: SetState tells the frame of the online state, broadcasts the state
    // to the open user interfaces and sets (9, 12) or resets (10, 11) the state event.
    virtual HRESULT GetState(ULONG* state) noexcept = 0;
    virtual HRESULT SetState(ULONG state) noexcept = 0;
    // A notification to every open user interface (IQuelkFunctions::BroadcastNotification).
    virtual HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept = 0;

    // Loads and validates a document through the DTM's schema cache, reporting failures as the DTM's XML
    // handler does. E_POINTER when the DTM has no schema cache yet; S_OK with `loaded` FALSE for a text that
    // does not parse or validate.
    virtual HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept = 0;
    // The DTM's report sink (ReportDtmMessage): texts for the frame's error-text event. Never null.
    virtual CQuelkMessageSink* MessageSink() noexcept = 0;

    // The frame pointer handed with the environment and its event interface; null before the environment.
    virtual IUnknown* Frame() noexcept = 0;
    virtual IFrameEvents* FrameEvents() noexcept = 0;
    // A new copy of the DTM's system tag (IQuelkDtm::GetSystemTag).
    virtual HRESULT GetSystemTag(BSTR* tag) noexcept = 0;

    // A question to the user through the frame (IQuelkFunctions::ShowMessageVariant): `answer` receives the
    // pressed button's id (6 Yes, 7 No). E_NOINTERFACE when the DTM has no functions service: nobody is
    // asked then.
    virtual HRESULT ShowFrameMessage(BSTR text, BSTR title, const VARIANT& style, LONG* answer) noexcept = 0;
    // A toolkit message (the upload and download prompts): its translation in the selected language, else
    // its built-in English text.
    virtual HRESULT GetToolkitMessage(LONG id, BSTR* text) noexcept = 0;

    // The variable store whose upload and download run through the communication part, and its COM
    // interfaces (the VARIANT forms of IQuelkVariables and the u32 forms of IQuelkVariablesEx).
    virtual CQuelkVariableStore& Store() noexcept = 0;
    virtual CQuelkVariableStorePart& StorePart() noexcept = 0;
    // The DTM's DP-V1 client (the online requests go online through it).
    virtual CQuelkDpv1Communication& Client() noexcept = 0;

    // The online requests of the frame: the user's level bits, the state event (manual reset), the longest
    // wait for it and the pause after a cancel, in milliseconds.
    virtual ULONG UserLevel() noexcept = 0;
    virtual HANDLE StateEvent() noexcept = 0;
    virtual DWORD StateWaitTime() noexcept = 0;
    virtual DWORD CancelPause() noexcept = 0;

protected:
    ~ICommunicationHost() = default;
};
