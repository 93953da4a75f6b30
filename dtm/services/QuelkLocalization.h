#pragma once
// CQuelkLocalization: the translation service of the DTM object. It loads the translation document
// ("TranslationFile.htm" in the DTM's files folder) once while the DTM builds its parameter set, keeps the
// selected language's code, answers XPath lookups for the DTM and its controls, puts the parameters'
// names and descriptions into the dataset and tells the about view where its page lies.
//
// A member part of the DTM object (QL_ENTRY_MEMBER rows for IQuelkLocalization, IQuelkParameterTexts,
// IQuelkLocalizationInit and IQuelkAboutFile); the lifecycle runs Initialize while it builds the parameter
// set, the user settings run SetLanguage and TranslateParameters, and the other parts look texts up here,
// all through the host (DtmHost::Localization).
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
#include "dtm/DtmHost.h"
#include "values/TextFileReader.h"
#include "dtm/services/TranslationCatalog.h"

class CQuelkLocalization : public ql::MemberPart,
                           public ToolkitDispatchImpl<IQuelkLocalization>,
                           public ToolkitDispatchImpl<IQuelkParameterTexts>,
                           public ToolkitDispatchImpl<IQuelkLocalizationInit>,
                           public ToolkitDispatchImpl<IQuelkAboutFile> {
    QL_MEMBER_IUNKNOWN()

public:
    CQuelkLocalization(ql::PartOwner& owner, DtmHost& host) noexcept;
    CQuelkLocalization(const CQuelkLocalization&) = delete;
    CQuelkLocalization& operator=(const CQuelkLocalization&) = delete;

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
    HRESULT STDMETHODCALLTYPE SetLanguage(ULONG lcid, VARIANT_BOOL* ok) noexcept override;

    // ---- IQuelkAboutFile ----
    HRESULT STDMETHODCALLTYPE GetAboutFilePath(BSTR* path) noexcept override;

private:
    // Reads the translation file of the files folder into the document.
    HRESULT LoadTranslationFile(VARIANT_BOOL* loaded) noexcept;
    // The code of the language `lcid` in the document: S_OK with it, S_FALSE when the document lists no such
    // language or gives it no code, E_FAIL for a code that is no text, or the DOM's failure.
    HRESULT SelectLanguageCode(ULONG lcid, ql::Bstr& code) noexcept;
    // The list of language elements that carry an lcid.
    HRESULT SelectLanguageList(ql::ComPtr<IXMLDOMNodeList>& list) noexcept;
    // The entry path of parameter `id` in the translation document.
    static HRESULT ParameterPath(ULONG id, ql::Bstr& path) noexcept;
    // The parameters' texts into the dataset's records, each parameter's looked up once per document and
    // language and kept there for every object.
    HRESULT TranslateOwnParameters() noexcept;
    // What the translation of parameter `id` finds in the selected language: kept by the document, or
    // (when it could not be kept) in `scratch`. Looked up in the document when `kept`, the language's kept
    // texts, lacks it.
    void ParameterTextsOf(ULONG id, const CTranslationDocument::ParameterTextsById* kept,
                          TranslatedParameterTexts& scratch, const TranslatedParameterTexts*& texts) noexcept;

    DtmHost& host_;
    ql::Bstr languageCode_;
    std::shared_ptr<CTranslationCatalog> catalog_ = HoldTranslationCatalog();
    std::shared_ptr<CTranslationDocument> document_;
    TextDecoder decoder_ = DecodeAnsiText;
};
