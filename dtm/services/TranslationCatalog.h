#pragma once
// The translation documents of one apartment thread, parsed once and shared by every DTM object on it.
//
// Every DTM object loads "TranslationFile.htm" when it is created and looks up its parameters' names and
// descriptions in it: reading, parsing and searching a document of about 100 KB once per object was most
// of what creating one cost, and the parsed document most of what one kept. A CTranslationDocument is
// that parsed document with the answers of its lookups, which never change (nothing writes into it); the
// catalog hands the same one to every object that loads the same file, for as long as the file's stamp
// (size, creation and write times) is the one it was parsed from. A changed file is read and parsed again
// for the objects created afterwards; those that hold the old document keep it, as each kept its own
// before. A text an object loads itself (IQuelkLocalization::LoadDocument) becomes a document of its own.
//
// Threading: the documents are apartment-bound XML objects, so there is one catalog per apartment thread
// (ql::ApartmentShared), held by each translation service on it; documents and catalog are used on that
// thread only and go with the last holder.
#include <windows.h>
#include <msxml2.h>

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/FileStamp.h"
#include "classlib/SharedBstr.h"
#include "values/TextFileReader.h"

// The translated texts of one parameter in one language, as the parameter translation finds them: whether
// its entry could be looked up at all, and the name and description found (none when the document has no
// text for the language).
// The texts are shared with every dataset that takes them.
struct TranslatedParameterTexts {
    bool lookedUp = false;
    std::optional<ql::SharedBstr> name;
    std::optional<ql::SharedBstr> description;
};

class CTranslationDocument {
public:
    explicit CTranslationDocument(ql::ComPtr<IXMLDOMDocument2> document) noexcept
        : document_(std::move(document)) {}
    CTranslationDocument(const CTranslationDocument&) = delete;
    CTranslationDocument& operator=(const CTranslationDocument&) = delete;

    // For the selections whose answers are not kept (languages, node tests). Never written to.
    IXMLDOMDocument2* Document() const noexcept { return document_.Get(); }

    // The text of the first node `xpath` selects: S_OK with `text`, S_FALSE (text untouched) when it
    // selects none, or the failure of the selection or of reading the text. The answers S_OK and S_FALSE
    // are kept and given again without selecting; failures are not.
    HRESULT SelectText(const ql::Bstr& xpath, ql::Bstr& text) noexcept;

    // What selecting the language `lcid` answered: S_OK with its code, or S_FALSE when the document lists
    // no such language or gives it no code.
    struct LanguageSelection {
        HRESULT answer = S_FALSE;
        std::wstring code;
    };
    // The selection of `lcid` kept by KeepLanguage; null when none is.
    const LanguageSelection* FindLanguage(ULONG lcid) const noexcept;
    // Keeps the answer (S_OK or S_FALSE) of selecting `lcid`; nothing when memory runs out.
    void KeepLanguage(ULONG lcid, HRESULT answer, const ql::Bstr& code) noexcept;

    using ParameterTextsById = std::unordered_map<ULONG, TranslatedParameterTexts>;
    // Every parameter's texts in the language `code` kept so far; null when none are.
    const ParameterTextsById* ParameterTextsIn(const ql::Bstr& code) const noexcept;
    // Keeps what a translation looked up for parameter `id` in the language `code` (nothing when memory
    // runs out) and answers the kept texts, or null.
    const TranslatedParameterTexts* KeepParameterTexts(const ql::Bstr& code, ULONG id,
                                                       TranslatedParameterTexts texts) noexcept;

    // Parses `xml` (well-formedness only: translations are not held to a schema) into a new document.
    // S_OK with `document` null when the text is not well formed; the DOM's failure otherwise.
    static HRESULT Parse(BSTR xml, std::shared_ptr<CTranslationDocument>& document) noexcept;

private:
    // Enough for every text of the translation file in a few languages; lookups beyond it are answered
    // without being kept, so no caller can make the document grow without end.
    static constexpr size_t kMaxKeptAnswers = 16384;

    ql::ComPtr<IXMLDOMDocument2> document_;
    // XPath -> the text, or nothing for a selection that found no node.
    std::unordered_map<std::wstring, std::optional<std::wstring>> answers_;
    // LCID -> what selecting it answered: every new DTM object selects English.
    std::unordered_map<ULONG, LanguageSelection> languages_;
    // Language code -> parameter id -> texts: what every new DTM object puts into its dataset.
    std::unordered_map<std::wstring, ParameterTextsById> parameterTexts_;
};

class CTranslationCatalog {
public:
    CTranslationCatalog() = default;
    CTranslationCatalog(const CTranslationCatalog&) = delete;
    CTranslationCatalog& operator=(const CTranslationCatalog&) = delete;

    // The document of the file at `path` decoded with `decode`: the one parsed before while the file's
    // stamp is unchanged, otherwise read (ReadTextFile) and parsed anew. Answers as reading and parsing
    // would: the reader's failure (E_FAIL when the file cannot be opened), S_OK with `document` null when
    // the text is not well formed, S_OK with the document.
    HRESULT Open(const wchar_t* path, TextDecoder decode,
                 std::shared_ptr<CTranslationDocument>& document) noexcept;

private:
    struct Entry {
        std::wstring path;
        TextDecoder decode;
        ql::FileStamp stamp;
        std::shared_ptr<CTranslationDocument> document;
    };
    Entry* Find(const wchar_t* path, TextDecoder decode) noexcept;
    void Remember(const wchar_t* path, TextDecoder decode, const ql::FileStamp& stamp,
                  const std::shared_ptr<CTranslationDocument>& document) noexcept;
    void Forget(const wchar_t* path, TextDecoder decode) noexcept;

    std::vector<Entry> entries_;
};

// Holds the calling thread's catalog; null when memory ran out (every file is then read anew).
std::shared_ptr<CTranslationCatalog> HoldTranslationCatalog() noexcept;
