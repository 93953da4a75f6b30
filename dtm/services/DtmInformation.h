#pragma once
// CDtmInformation: what the DTM is, for the frame (IDtmInformation::GetInformation): a DTMInformationSchema
// document naming the DTM, its version, the device type it serves with the device's PROFIBUS GSD text, the
// supported languages, the bus category and the device icon. The document is a text resource of the module
// (IDR_DTM_INFORMATION) with two fields filled at run time; its language list is rebuilt from the
// translation document.
//
// A member part of the DTM object (QL_ENTRY_MEMBER row for IDtmInformation). Used on the DTM object's
// apartment thread only. Not owned: the host.
#include <windows.h>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmHost.h"

// The template's two fields.
constexpr wchar_t kDtmVersion[] = L"1.0";
constexpr wchar_t kDeviceIconPath[] = L"C:\\Program Files\\Orvo\\Icons\\VarnokP3.ico";

// The template resource as text, converted from the ANSI code page. E_FAIL when the module has none.
HRESULT LoadDtmInfoResource(ql::Bstr& text) noexcept;
// The template with its two "%s" fields replaced by the version and the icon path; every other character
// (the GSD's "120%" too) stays as it is.
HRESULT FillDtmInfoTemplate(const ql::Bstr& templateText, ql::Bstr& filled) noexcept;

class CDtmInformation : public ql::MemberPart, public FdtDispatchImpl<IDtmInformation> {
    QL_MEMBER_IUNKNOWN()

public:
    CDtmInformation(ql::PartOwner& owner, DtmHost& host) noexcept : ql::MemberPart(owner), host_(host) {}
    CDtmInformation(const CDtmInformation&) = delete;
    CDtmInformation& operator=(const CDtmInformation&) = delete;

    // States 6 to 12 (S_FALSE otherwise, before the argument is looked at). The language list is the
    // translation document's; when it cannot be rebuilt the template's own list (1033) stays.
    HRESULT STDMETHODCALLTYPE GetInformation(BSTR* information) noexcept override;

    // Replaces the fdt:SupportedLanguages of the device type in `text` by the languages the translation
    // document lists. S_OK with the text unchanged when the translations list no language or the text does
    // not load; E_POINTER without a schema cache; a failure of the document edits otherwise.
    HRESULT UpdateSupportedLanguages(ql::Bstr& text) noexcept;

private:
    DtmHost& host_;
};
