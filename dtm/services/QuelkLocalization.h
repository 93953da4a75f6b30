#pragma once
// CQuelkLocalization: the translation service of the DTM object. It loads the translation document
// ("TranslationFile.htm" in the DTM's files folder) once while the DTM builds its parameter set, keeps the
// selected language's code, answers XPath lookups for the DTM and its controls, puts the parameters'
// names and descriptions into the dataset and tells the about view where its page lies.
//
// A part in the class library's sense: the complete object supplies IUnknown and chains this part's
// table (IQuelkLocalization, IQuelkParameterTexts, IQuelkLocalizationInit, IQuelkAboutFile); its
// Initialize reaches the toolkit base through LocalizationSeam().
//
// IQuelkLocalizationInit::SetLanguage is final here: IDtm::SetLanguage has the same signature, so a complete
// object that declared SetLanguage would replace both. The toolkit base must route IDtm::SetLanguage to
// CDtmUserSettings instead.
//
// The parsed translation file and its lookups' answers come from the thread's translation catalog, shared
// with every other DTM object that loads the same file; what each object owns is its language code (and a
// document it was handed through LoadDocument).
//
// Threading: the DTM object's apartment thread; the document is not locked. Not owned: the host.
#include <windows.h>
#include <msxml2.h>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmLocalizationSeam.h"
#include "dtm/services/DtmServicesHost.h"
#include "dtm/services/TextFileReader.h"
#include "dtm/services/TranslationCatalog.h"

class CQuelkLocalization : public ToolkitDispatchImpl<IQuelkLocalization>,
                           public ToolkitDispatchImpl<IQuelkParameterTexts>,
                           public ToolkitDispatchImpl<IQuelkLocalizationInit>,
                           public ToolkitDispatchImpl<IQuelkAboutFile> {
    QL_INTERFACE_PART_TABLE(CQuelkLocalization, QL_ENTRY(IQuelkLocalization), QL_ENTRY(IQuelkParameterTexts),
                            QL_ENTRY(IQuelkLocalizationInit), QL_ENTRY(IQuelkAboutFile))

public:
    explicit CQuelkLocalization(IDtmServicesHost& host) noexcept;
    CQuelkLocalization(const CQuelkLocalization&) = delete;
    CQuelkLocalization& operator=(const CQuelkLocalization&) = delete;

    // What the toolkit base calls while the DTM object builds its parameter set.
    DtmLocalizationSeam& LocalizationSeam() noexcept { return seam_; }
    // Tests decode the file with another code page; the DTM always uses the ANSI code page.
    void UseTextDecoder(TextDecoder decoder) noexcept { decoder_ = decoder; }
    // The selected language's code; empty until a language is selected.
    const ql::Bstr& LanguageCode() const noexcept { return languageCode_; }

    // ---- IQuelkLocalization ----
    // The text of the `locale` child of `path` whose code is the selected language's.
    HRESULT STDMETHODCALLTYPE GetLocaleText(BSTR path, BSTR* text, VARIANT_BOOL* found) noexcept override;
    // The number of listed languages (language elements with an lcid); S_FALSE without a document.
    HRESULT STDMETHODCALLTYPE CountNodes(LONG* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetLcidAt(LONG index, ULONG* lcid) noexcept override;
    HRESULT STDMETHODCALLTYPE SelectById(ULONG lcid, VARIANT_BOOL* selected) noexcept override;
    // Replaces the document with `xml` when it is well formed (no schema validation).
    HRESULT STDMETHODCALLTYPE LoadDocument(BSTR xml, VARIANT_BOOL* loaded) noexcept override;
    HRESULT STDMETHODCALLTYPE NodeExists(BSTR xpath, VARIANT_BOOL* exists) noexcept override;

    // ---- IQuelkParameterTexts: names and descriptions in the selected language (the LCID is not used) ----
    HRESULT STDMETHODCALLTYPE TranslateParameters(ULONG lcid) noexcept override;

    // ---- IQuelkLocalizationInit ----
    // Loads the translation file, selects 1033 and translates the parameters into it.
    HRESULT STDMETHODCALLTYPE Initialize(VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE IsInitialized(VARIANT_BOOL* ok) noexcept override;
    // Selects a language the document lists with a code; S_FALSE for any other.
    HRESULT STDMETHODCALLTYPE SetLanguage(ULONG lcid, VARIANT_BOOL* ok) noexcept final;

    // ---- IQuelkAboutFile ----
    HRESULT STDMETHODCALLTYPE GetAboutFilePath(BSTR* path) noexcept override;

protected:
    ~CQuelkLocalization() = default;

private:
    class Seam final : public DtmLocalizationSeam {
    public:
        explicit Seam(CQuelkLocalization& owner) noexcept : owner_(owner) {}
        HRESULT Initialize() noexcept override;

    private:
        CQuelkLocalization& owner_;
    };

    // Reads the translation file of the files folder into the document.
    HRESULT LoadTranslationFile(VARIANT_BOOL* loaded) noexcept;
    // The list of language elements that carry an lcid.
    HRESULT SelectLanguageList(ql::ComPtr<IXMLDOMNodeList>& list) noexcept;
    // Looks up `path` + `child` and, when found, writes it into field `mask` of parameter `id`.
    HRESULT TranslateField(IQuelkVariableFields* fields, const VARIANT& id, const ql::Bstr& path,
                           const wchar_t* child, ULONG mask) noexcept;
    // The entry path of parameter `id` in the translation document.
    static HRESULT ParameterPath(ULONG id, ql::Bstr& path) noexcept;
    // TranslateParameters on the object's own dataset: the same texts into the same records, each
    // parameter's looked up once per document and language and kept there for every object.
    HRESULT TranslateOwnParameters() noexcept;
    // What the translation of parameter `id` finds in the selected language: kept by the document, or
    // (when it could not be kept) in `scratch`.
    void ParameterTextsOf(ULONG id, TranslatedParameterTexts& scratch,
                          const TranslatedParameterTexts*& texts) noexcept;

    IDtmServicesHost& host_;
    ql::Bstr languageCode_;
    std::shared_ptr<CTranslationCatalog> catalog_ = HoldTranslationCatalog();
    std::shared_ptr<CTranslationDocument> document_;
    TextDecoder decoder_ = DecodeAnsiText;
    Seam seam_{*this};
};
