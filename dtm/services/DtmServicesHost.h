#pragma once
// IDtmServicesHost: what the DTM services (translation, user settings, functions and open user interfaces,
// user messages, function calls, DTM information, automation) need of the DTM object they are parts of:
// its lifecycle state and settings words, the frame's pointers, its document loader, its dataset and its
// broadcast. The DTM object implements it (CDtmServicesHostFor adapts the toolkit base); tests supply
// their own. The services never own the host.
//
// Called on the DTM object's apartment thread only.
#include <windows.h>
#include <msxml2.h>

#include "FdtInterfaces.h"
#include "classlib/Variant.h"

class CQuelkVariableList;
struct IQuelkVariableFields;

class IDtmServicesHost {
public:
    // ---- Lifecycle state and the settings words (user level, operation phase, language) ----
    virtual ULONG State() noexcept = 0;
    virtual ULONG Language() noexcept = 0;
    virtual void SetLanguageWord(ULONG lcid) noexcept = 0;
    virtual ULONG UserLevel() noexcept = 0;
    virtual void SetUserLevelWord(ULONG level) noexcept = 0;
    virtual ULONG OperationPhase() noexcept = 0;
    virtual void SetOperationPhaseWord(ULONG phase) noexcept = 0;
    virtual void SetPrivateDialogsEnabled(ULONG enabled) noexcept = 0;

    // ---- The data-set locks: the frame's (asked when a user interface opens) and IDtmDataLock's ----
    virtual bool DataLocked() noexcept = 0;
    virtual bool FrameLocked() noexcept = 0;
    virtual void SetFrameLocked(bool locked) noexcept = 0;

    // ---- The frame (null before the environment step) ----
    // A new copy of the system tag; an empty text before the environment step.
    virtual HRESULT GetSystemTag(BSTR* tag) noexcept = 0;
    virtual IFrameContainer* Frame() noexcept = 0;
    virtual IFrameEvents* FrameEvents() noexcept = 0;
    // A text for the frame's log (its error-message event); dropped before the environment step.
    virtual void ReportMessage(BSTR text) noexcept = 0;

    // ---- Documents: loaded and validated through the DTM's schema cache ----
    virtual bool HasSchemaCache() noexcept = 0;
    virtual HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept = 0;
    // The next load of `xml` (the same BSTR) takes `document` instead (CQuelkXMLHandlerImpl).
    virtual void OfferLoadedDocument(BSTR xml, IXMLDOMDocument2* document) noexcept = 0;

    // ---- The object ----
    // QueryInterface on the DTM's controlling unknown.
    virtual HRESULT QueryObject(REFIID iid, void** out) noexcept = 0;
    // The DTM's controlling unknown, no reference added: what a call out holds (classlib/SelfHold.h).
    virtual IUnknown* ControllingUnknown() noexcept = 0;
    // Sends a notification (code, data) to every open user interface.
    virtual HRESULT NotifyUis(ULONG code, const VARIANT& data) noexcept = 0;
    // A text reference (string-resource id or ANSI text) as a BSTR.
    virtual HRESULT LoadMessageText(LPCSTR idOrText, BSTR* text) noexcept = 0;
    // The toolkit's IDtm::Config without the device's additions: state 7 to 8 with the user level of the
    // document (through the DTM's SetUserLevel, which the device sends to CDtmUserSettings).
    virtual HRESULT RunToolkitConfig(BSTR userInformation, VARIANT_BOOL* result) noexcept = 0;

    // ---- The dataset ----
    virtual CQuelkVariableList& Variables() noexcept = 0;
    // The store's own IQuelkVariableFields (not counted), to tell it from one an outer object answers for
    // the DTM: what goes through the store's own may be done on Variables() directly.
    virtual IQuelkVariableFields* OwnVariableFields() noexcept = 0;
    // The device's value of the parameter last read under the compare mark.
    virtual ql::Variant& CompareValue() noexcept = 0;
    // ---- The online transfer (the communication part's) ----
    // True while an online upload or download request runs (its invoke id is not empty).
    virtual bool TransferRequestRunning() noexcept = 0;
    // The progress display of the frame: index 0 hides it, any other shows index * 100 / count.
    virtual void ReportProgress(LONG index, LONG count, BSTR title) noexcept = 0;

protected:
    ~IDtmServicesHost() = default;
};
