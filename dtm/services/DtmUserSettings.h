#pragma once
// CDtmUserSettings: the three settings the frame gives the DTM and that gate or shape everything the user
// sees: the user level (with the administrator right) from the configuration, the operation phase from the
// functions request, and the language. It also re-evaluates every parameter's write right (access bit
// 0x01) against the user level.
//
// The lifecycle calls it from its IDtm methods (Config, SetLanguage) and from its configuration step
// (SetUserLevel); the functions request calls SetOperationPhase. Used on the DTM object's apartment thread
// only. Not owned: the host.
#include <windows.h>

#include "classlib/ComPtr.h"
#include "dtm/DtmHost.h"

class CDtmUserSettings {
public:
    explicit CDtmUserSettings(DtmHost& host) noexcept : host_(host) {}
    CDtmUserSettings(const CDtmUserSettings&) = delete;
    CDtmUserSettings& operator=(const CDtmUserSettings&) = delete;

    // IDtm::Config of the device: the lifecycle's configuration (CQuelkDtm::ConfigureLifecycle: state 7 to 8,
    // the user level of the document), then the administrator rule: an administrator gets level 0x10000 and
    // keeps the write limits the keyword's level set (bit 0x01 is only ever cleared). A document outside the
    // user-information namespace, without one of the four level keywords or with an administrator flag
    // that is no boolean is refused first: S_FALSE, nothing changed.
    HRESULT Config(BSTR userInformation, VARIANT_BOOL* result) noexcept;
    // The user-level keyword ("observer", "operator", "maintenance", "planningEngineer"; case-sensitive; any
    // other leaves the level), the write rights of every parameter, and 0x2705 to the open user interfaces.
    // E_INVALIDARG for a VARIANT that is not a text.
    HRESULT SetUserLevel(const VARIANT& keyword) noexcept;
    // The operation-phase keyword ("notSupported", "engineering", "commissioning", "runtime"); S_OK whether
    // it matched or not, E_INVALIDARG for a VARIANT that is not a text.
    HRESULT SetOperationPhase(const VARIANT& keyword) noexcept;
    // IDtm::SetLanguage: accepted in states 7 to 12 for a language the translation document lists; the
    // parameters are translated, 0x2700 goes to the open user interfaces and the frame hears that the
    // functions changed.
    HRESULT SetLanguage(LCID language, VARIANT_BOOL* accepted) noexcept;

private:
    // Clears bit 0x01 of every record whose write level is above the user level.
    HRESULT ApplyWriteRights() noexcept;
    void NotifyUserLevel() noexcept;
    // S_OK with `administrator` from the document's administrator attribute (false when absent); S_FALSE
    // for a document Config refuses. `document` receives the document loaded from the text.
    HRESULT ReadUserInformation(BSTR userInformation, bool& administrator,
                                ql::ComPtr<IXMLDOMDocument2>& document) noexcept;

    DtmHost& host_;
};
