// The translation service's initialisation, language selection, parameter texts and about page
// (IQuelkLocalizationInit, IQuelkParameterTexts, IQuelkAboutFile).
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/QuelkVariableList.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/services/DtmFilesFolder.h"
#include "dtm/services/FormatBstr.h"
#include "dtm/services/QuelkLocalization.h"
#include "dtm/DtmState.h"
#include "dtm/QuelkDtm.h"

namespace {

constexpr wchar_t kAboutFilePath[] = L"localization/StringList/AboutFile";

// The common-control classes the DTM's windows use: list view, tree view, bar, tab, up-down, progress,
// hot-key and animate classes.
constexpr DWORD kCommonControlClasses = 0xFF;

}  // namespace

HRESULT CQuelkLocalization::LoadTranslationFile(VARIANT_BOOL* loaded) noexcept {
    QL_RETURN_IF_NULL_OUT(loaded);
    *loaded = VARIANT_FALSE;
    try {
        std::wstring path;
        QL_RETURN_IF_FAILED(GetDtmFilesFolder(path));
        path += kTranslationFileName;
        if (!catalog_) {
            ql::Bstr text;
            QL_RETURN_IF_FAILED(ReadTextFile(path.c_str(), decoder_, text));
            return LoadDocument(text.Get(), loaded);
        }
        // The document the thread parsed from this file before, unless the file changed since.
        std::shared_ptr<CTranslationDocument> document;
        QL_RETURN_IF_FAILED(catalog_->Open(path.c_str(), decoder_, document));
        // A text that is not well formed leaves the document that was there.
        if (!document) return S_OK;
        document_ = std::move(document);
        *loaded = VARIANT_TRUE;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CQuelkLocalization::Initialize(VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT hr = LoadTranslationFile(&loaded);
    // Without a usable file every text keeps its built-in form; the flag stays as the caller had it.
    if (FAILED(hr) || loaded != VARIANT_TRUE) return hr;

    VARIANT_BOOL selected = VARIANT_FALSE;
    // A file without English leaves the language unselected: the texts keep their built-in form.
    (void)SelectById(kLanguageEnglish, &selected);
    (void)TranslateParameters(kLanguageEnglish);

    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = kCommonControlClasses;
    // Classes already registered, or that cannot be, leave the controls as the system has them.
    (void)::InitCommonControlsEx(&classes);
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkLocalization::IsInitialized(VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkLocalization::SetLanguage(ULONG lcid, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    LONG count = 0;
    QL_RETURN_IF_FAILED(CountNodes(&count));

    bool listed = false;
    for (LONG index = 0; index < count && !listed; ++index) {
        // One damaged entry of the file must not cost every other language: it is skipped.
        ULONG listedLcid = 0;
        listed = GetLcidAt(index, &listedLcid) == S_OK && listedLcid == lcid;
    }
    if (!listed) {
        // The built-in texts are English, so English is there with or without the file; without a code
        // every text comes from them.
        if (lcid != kLanguageEnglish) return S_FALSE;
        languageCode_.Reset();
        *ok = VARIANT_TRUE;
        return S_OK;
    }
    if (lcid == host_.Lifecycle().Language()) {
        *ok = VARIANT_TRUE;
        return S_OK;
    }
    VARIANT_BOOL selected = VARIANT_FALSE;
    const HRESULT hr = SelectById(lcid, &selected);
    QL_RETURN_IF_FAILED(hr);
    if (selected != VARIANT_TRUE) return hr;  // listed without a code: refused
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkLocalization::ParameterPath(ULONG id, ql::Bstr& path) noexcept {
    return FormatBstr(path, L"localization/DTM/ParameterList/Parameter[@parId=\"%d\"]", static_cast<int>(id));
}

HRESULT CQuelkLocalization::TranslateParameters(ULONG) noexcept {
    // Without a document every text keeps its built-in form.
    if (!document_) return S_OK;
    return TranslateOwnParameters();
}

void CQuelkLocalization::ParameterTextsOf(ULONG id, const CTranslationDocument::ParameterTextsById* kept,
                                          TranslatedParameterTexts& scratch,
                                          const TranslatedParameterTexts*& texts) noexcept {
    texts = nullptr;
    if (kept) {
        const auto found = kept->find(id);
        if (found != kept->end()) texts = &found->second;
    }
    if (texts) return;

    // A failed name lookup leaves the parameter alone, a failed description lookup only the description.
    scratch = TranslatedParameterTexts();
    texts = &scratch;
    bool lasting = true;  // no outcome of these lookups would change on another try
    const auto lookUp = [&](const ql::Bstr& path, const wchar_t* child, std::optional<ql::SharedBstr>& out) {
        ql::Bstr elementPath, text;
        VARIANT_BOOL found = VARIANT_FALSE;
        HRESULT hr = FormatBstr(elementPath, L"%ls%ls", path.CStr(), child);
        if (SUCCEEDED(hr)) hr = GetLocaleText(elementPath.Get(), text.Put(), &found);
        if (SUCCEEDED(hr) && found == VARIANT_TRUE) hr = out.emplace().AssignCopy(text.Get());
        if (hr == E_OUTOFMEMORY) lasting = false;
        if (FAILED(hr)) out.reset();
        return SUCCEEDED(hr);
    };
    ql::Bstr path;
    if (FAILED(ParameterPath(id, path))) return;
    scratch.lookedUp = lookUp(path, L"/Name", scratch.name);
    // A description the file does not give stays absent; the name is translated without it.
    if (scratch.lookedUp) (void)lookUp(path, L"/Description", scratch.description);
    if (!lasting) return;
    if (const TranslatedParameterTexts* kept = document_->KeepParameterTexts(languageCode_, id, scratch))
        texts = kept;
}

HRESULT CQuelkLocalization::TranslateOwnParameters() noexcept {
    CQuelkVariableList& records = host_.Store().Variables();
    TranslatedParameterTexts scratch;
    // The language's kept texts, found once rather than per record; a parameter looked up anew may be the
    // first kept for the language.
    const CTranslationDocument::ParameterTextsById* kept = document_->ParameterTextsIn(languageCode_);
    const int count = static_cast<int>(records.Count());
    for (int index = 0; index < count; ++index) {
        const CQuelkVariable* record = records.At(index);
        if (!record) continue;
        const TranslatedParameterTexts* texts = nullptr;
        ParameterTextsOf(record->Id(), kept, scratch, texts);
        if (!kept) kept = document_->ParameterTextsIn(languageCode_);
        if (!texts->lookedUp) continue;
        if (texts->name && FAILED(records.SetText(index, kFieldName, *texts->name))) continue;
        // A description that cannot be set keeps its previous text; the name is already translated.
        if (texts->description) (void)records.SetText(index, kFieldDescription, *texts->description);
    }
    return S_OK;
}

HRESULT CQuelkLocalization::GetAboutFilePath(BSTR* path) noexcept {
    QL_RETURN_IF_NULL_OUT(path);
    *path = nullptr;
    ql::Bstr lookup(kAboutFilePath);
    ql::Bstr name;
    VARIANT_BOOL found = VARIANT_FALSE;
    const HRESULT hr = GetLocaleText(lookup.Get(), name.Put(), &found);
    try {
        std::wstring fullPath;
        QL_RETURN_IF_FAILED(GetDtmFilesFolder(fullPath));
        if (FAILED(hr) || found != VARIANT_TRUE || name.IsEmpty()) {
            fullPath += kAboutFileName;
        } else {
            fullPath += name.View();
        }
        ql::Bstr result;
        QL_RETURN_IF_FAILED(result.Assign(fullPath));
        *path = result.Detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
