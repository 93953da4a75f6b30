#include "dtm/services/TranslationCatalog.h"

#include "classlib/ApartmentShared.h"
#include "classlib/HResult.h"
#include "values/XmlText.h"

HRESULT CTranslationDocument::SelectText(const ql::Bstr& xpath, ql::Bstr& text) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring key(xpath.View());
        const auto kept = answers_.find(key);
        if (kept != answers_.end()) {
            if (!kept->second) return S_FALSE;
            return text.Assign(*kept->second);
        }

        ql::ComPtr<IXMLDOMNode> node;
        QL_RETURN_IF_FAILED(document_->selectSingleNode(xpath.Get(), node.Put()));
        std::optional<std::wstring> answer;
        ql::Bstr value;
        if (node) {
            QL_RETURN_IF_FAILED(node->get_text(value.Put()));
            answer.emplace(value.View());
        }
        if (answers_.size() < kMaxKeptAnswers) answers_.emplace(std::move(key), answer);
        if (!answer) return S_FALSE;
        text = std::move(value);
        return S_OK;
    });
}

const CTranslationDocument::LanguageSelection* CTranslationDocument::FindLanguage(ULONG lcid) const noexcept {
    const auto kept = languages_.find(lcid);
    return kept == languages_.end() ? nullptr : &kept->second;
}

void CTranslationDocument::KeepLanguage(ULONG lcid, HRESULT answer, const ql::Bstr& code) noexcept {
    // Without room to keep it the next object selects again.
    (void)ql::GuardComCall([&]() -> HRESULT {
        languages_.insert_or_assign(lcid, LanguageSelection{answer, std::wstring(code.View())});
        return S_OK;
    });
}

const CTranslationDocument::ParameterTextsById* CTranslationDocument::ParameterTextsIn(
    const ql::Bstr& code) const noexcept {
    try {
        const auto language = parameterTexts_.find(std::wstring(code.View()));
        return language == parameterTexts_.end() ? nullptr : &language->second;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

const TranslatedParameterTexts* CTranslationDocument::KeepParameterTexts(
    const ql::Bstr& code, ULONG id, TranslatedParameterTexts texts) noexcept {
    try {
        auto& language = parameterTexts_[std::wstring(code.View())];
        return &language.insert_or_assign(id, std::move(texts)).first->second;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRESULT CTranslationDocument::Parse(BSTR xml, std::shared_ptr<CTranslationDocument>& document) noexcept {
    document.reset();
    ql::ComPtr<IXMLDOMDocument> created;
    QL_RETURN_IF_FAILED(CreateXmlDomDocument(created.Put()));
    ql::ComPtr<IXMLDOMDocument2> parsed;
    QL_RETURN_IF_FAILED(created->QueryInterface(IID_IXMLDOMDocument2, parsed.PutVoid()));
    // Translations come from the setup, not from the frame: they are not held to an FDT schema.
    QL_RETURN_IF_FAILED(parsed->put_validateOnParse(VARIANT_FALSE));
    VARIANT_BOOL wellFormed = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(parsed->loadXML(xml, &wellFormed));
    if (wellFormed != VARIANT_TRUE) return S_OK;
    return ql::GuardComCall([&]() -> HRESULT {
        document = std::make_shared<CTranslationDocument>(std::move(parsed));
        return S_OK;
    });
}

CTranslationCatalog::Entry* CTranslationCatalog::Find(const wchar_t* path, TextDecoder decode) noexcept {
    for (Entry& entry : entries_) {
        if (entry.decode == decode && ql::SamePath(entry.path, path)) return &entry;
    }
    return nullptr;
}

void CTranslationCatalog::Remember(const wchar_t* path, TextDecoder decode, const ql::FileStamp& stamp,
                                   const std::shared_ptr<CTranslationDocument>& document) noexcept {
    // Without room to keep it the document still serves its caller; the next one reads the file again.
    (void)ql::GuardComCall([&]() -> HRESULT {
        if (Entry* entry = Find(path, decode)) {
            entry->stamp = stamp;
            entry->document = document;
        } else {
            entries_.push_back({path, decode, stamp, document});
        }
        return S_OK;
    });
}

void CTranslationCatalog::Forget(const wchar_t* path, TextDecoder decode) noexcept {
    if (Entry* entry = Find(path, decode)) entries_.erase(entries_.begin() + (entry - entries_.data()));
}

HRESULT CTranslationCatalog::Open(const wchar_t* path, TextDecoder decode,
                                  std::shared_ptr<CTranslationDocument>& document) noexcept {
    document.reset();
    QL_RETURN_HR_IF(E_FAIL, path == nullptr || decode == nullptr);
    // The stamp is taken before the file is read: a file that changes while it is read gets a stamp that
    // no longer matches, and is read again by the next object.
    ql::FileStamp stamp;
    const bool stamped = ql::ReadFileStamp(path, stamp);
    if (stamped) {
        if (const Entry* entry = Find(path, decode); entry && entry->stamp == stamp) {
            document = entry->document;
            return S_OK;
        }
    }

    ql::Bstr text;
    QL_RETURN_IF_FAILED(ReadTextFile(path, decode, text));
    QL_RETURN_IF_FAILED(CTranslationDocument::Parse(text.Get(), document));
    if (document && stamped) {
        Remember(path, decode, stamp, document);
    } else {
        Forget(path, decode);
    }
    return S_OK;
}

std::shared_ptr<CTranslationCatalog> HoldTranslationCatalog() noexcept {
    return ql::ApartmentShared<CTranslationCatalog>::Hold();
}
