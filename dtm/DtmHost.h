#pragma once
// DtmHost: the DTM object as its parts see it. The object (CDtmObject) holds every part as a member and
// hands each the one host; a part reaches a sibling through the accessor that returns it, never by asking
// the object for one of its interfaces. The lower folders see the object through their own narrow views,
// which DtmHost answers from the parts (DtmHost.cpp): IDatasetHost for the variable store and
// ICommunicationHost for the DP-V1 client, the online requests and the dataset transfer.
//
// Threading: the DTM object's apartment thread only. Ownership: the object owns the parts and outlives
// them; a part keeps the host as a reference and uses it only once the object is complete (after its
// constructor, in FinalConstruct and later).
#include <windows.h>

#include "comm/CommunicationHost.h"
#include "dataset/DatasetHost.h"

class CQuelkDtm;
class CQuelkVariableStorePart;
class CQuelkPersist;
class CQuelkFunctions;
class CQuelkLocalization;
class CQuelkDpv1Communication;
class COnlineParameterRequests;
class CQuelkDatasetTransfer;
class CDtmUserSettings;
class CDtmFunctionCalls;
class CDtmAutomation;
class CDtmParameterPart;

class DtmHost : public IDatasetHost, public ICommunicationHost {
public:
    // ---- The parts ----
    // The lifecycle: the state word, the frame's pointers and settings, the XML handler, IDtm's lifecycle.
    virtual CQuelkDtm& Lifecycle() noexcept = 0;
    // The variable store with its COM interfaces (Store() is its dataset).
    CQuelkVariableStorePart& StorePart() noexcept override = 0;
    // The dataset image and the dataset-modified flag.
    virtual CQuelkPersist& Persistence() noexcept = 0;
    // The functions and their user interfaces: the register of open ones, broadcasts, user messages.
    virtual CQuelkFunctions& Functions() noexcept = 0;
    // The translations.
    virtual CQuelkLocalization& Localization() noexcept = 0;
    // The DP-V1 client (also the communication's view of it).
    CQuelkDpv1Communication& Client() noexcept override = 0;
    // The frame's upload and download requests without a user interface.
    virtual COnlineParameterRequests& OnlineRequests() noexcept = 0;
    // The dataset's upload and download, and the frame's progress display.
    virtual CQuelkDatasetTransfer& Transfer() noexcept = 0;
    // The user level, the operation phase and the language.
    virtual CDtmUserSettings& UserSettings() noexcept = 0;
    // The frame's function requests of IDtm.
    virtual CDtmFunctionCalls& FunctionCalls() noexcept = 0;
    // The automation interfaces (IDtmObject): the device read under the compare mark, the progress.
    virtual CDtmAutomation& Automation() noexcept = 0;
    // The parameter document (IDtmParameter).
    virtual CDtmParameterPart& ParameterDocument() noexcept = 0;

    // ---- IDatasetHost: the store's view, answered from the parts ----
    HRESULT GetState(ULONG* state) noexcept final;
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept final;
    HRESULT BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept final;
    HRESULT SetModified(bool modified) noexcept final;
    HRESULT LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept final;
    HRESULT SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept final;
    HRESULT UploadParameters(VARIANT_BOOL* ok) noexcept final;
    HRESULT DownloadParameters(VARIANT_BOOL* ok) noexcept final;

    // ---- ICommunicationHost: the communication's view (GetState and BroadcastNotification above) ----
    HRESULT SetState(ULONG state) noexcept final;
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept final;
    CQuelkMessageSink* MessageSink() noexcept final;
    IUnknown* Frame() noexcept final;
    IFrameEvents* FrameEvents() noexcept final;
    HRESULT GetSystemTag(BSTR* tag) noexcept final;
    HRESULT ShowFrameMessage(BSTR text, BSTR title, const VARIANT& style, LONG* answer) noexcept final;
    HRESULT GetToolkitMessage(LONG id, BSTR* text) noexcept final;
    CQuelkVariableStore& Store() noexcept final;
    ULONG UserLevel() noexcept final;
    HANDLE StateEvent() noexcept final;
    DWORD StateWaitTime() noexcept final;
    DWORD CancelPause() noexcept final;

protected:
    ~DtmHost() = default;
};
