// The lookups of the translation service (IQuelkLocalization).
#include "dtm/services/QuelkLocalization.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dtm/services/FormatBstr.h"
#include "values/XmlText.h"

namespace {

// The document's language list and the attributes of its entries.
constexpr wchar_t kLanguagesPath[] = L"localization/general/languages/language";
constexpr wchar_t kLcidAttribute[] = L"@lcid";
constexpr wchar_t kCodeAttribute[] = L"@code";

// S_OK with the node, S_FALSE with none, or the selection's failure.
HRESULT SelectSingle(IXMLDOMNode* context, const ql::Bstr& xpath, ql::ComPtr<IXMLDOMNode>& node) noexcept {
    const HRESULT hr = context->selectSingleNode(xpath.Get(), node.Put());
    QL_RETURN_IF_FAILED(hr);
    return node ? S_OK : S_FALSE;
}

}  // namespace

CQuelkLocalization::CQuelkLocalization(ql::PartOwner& owner, DtmHost& host) noexcept
    : ql::MemberPart(owner), host_(host) {}

HRESULT CQuelkLocalization::GetLocaleText(BSTR path, BSTR* text, VARIANT_BOOL* found) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, text == nullptr || found == nullptr);
    *found = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_FAIL, !document_);

    ql::Bstr xpath;
    QL_RETURN_IF_FAILED(FormatBstr(xpath, L"%ls/locale[%ls = \"%ls\"]", TextOrEmpty(path), kCodeAttribute,
                                   languageCode_.CStr()));
    ql::Bstr value;
    const HRESULT selected = document_->SelectText(xpath, value);
    if (selected != S_OK) return selected;
    *text = value.Detach();
    *found = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkLocalization::SelectLanguageList(ql::ComPtr<IXMLDOMNodeList>& list) noexcept {
    ql::Bstr xpath;
    QL_RETURN_IF_FAILED(FormatBstr(xpath, L"%ls[%ls]", kLanguagesPath, kLcidAttribute));
    QL_RETURN_IF_FAILED(document_->Document()->selectNodes(xpath.Get(), list.Put()));
    return list ? S_OK : E_FAIL;
}

HRESULT CQuelkLocalization::CountNodes(LONG* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    *count = 0;
    if (!document_) return S_FALSE;
    ql::ComPtr<IXMLDOMNodeList> list;
    QL_RETURN_IF_FAILED(SelectLanguageList(list));
    return list->get_length(count);
}

HRESULT CQuelkLocalization::GetLcidAt(LONG index, ULONG* lcid) noexcept {
    QL_RETURN_IF_NULL_OUT(lcid);
    if (!document_) return S_FALSE;
    ql::ComPtr<IXMLDOMNodeList> list;
    QL_RETURN_IF_FAILED(SelectLanguageList(list));
    LONG length = 0;
    QL_RETURN_IF_FAILED(list->get_length(&length));
    QL_RETURN_HR_IF(E_FAIL, index < 0 || index >= length);
    ql::ComPtr<IXMLDOMNode> language;
    QL_RETURN_IF_FAILED(list->get_item(index, language.Put()));
    QL_RETURN_HR_IF(E_FAIL, !language);

    ql::Bstr attribute(kLcidAttribute);
    ql::ComPtr<IXMLDOMNode> lcidNode;
    QL_RETURN_HR_IF(E_FAIL, SelectSingle(language.Get(), attribute, lcidNode) != S_OK);
    ql::Variant value;
    QL_RETURN_IF_FAILED(lcidNode->get_nodeTypedValue(value.Put()));
    QL_RETURN_IF_FAILED(value.ChangeType(VT_UI4));
    QL_RETURN_HR_IF(E_FAIL, value.Type() != VT_UI4);
    *lcid = value->ulVal;
    return S_OK;
}

HRESULT CQuelkLocalization::SelectLanguageCode(ULONG lcid, ql::Bstr& code) noexcept {
    ql::Bstr xpath;
    QL_RETURN_IF_FAILED(
        FormatBstr(xpath, L"%ls[%ls = \"%d\"]", kLanguagesPath, kLcidAttribute, static_cast<int>(lcid)));
    ql::ComPtr<IXMLDOMNode> language;
    const HRESULT found = SelectSingle(document_->Document(), xpath, language);
    if (found != S_OK) return found;

    ql::Bstr attribute(kCodeAttribute);
    ql::ComPtr<IXMLDOMNode> codeNode;
    const HRESULT hasCode = SelectSingle(language.Get(), attribute, codeNode);
    if (hasCode != S_OK) return hasCode;
    ql::Variant value;
    QL_RETURN_IF_FAILED(codeNode->get_nodeValue(value.Put()));
    QL_RETURN_HR_IF(E_FAIL, value.Type() != VT_BSTR);
    return code.AssignCopy(value->bstrVal);
}

HRESULT CQuelkLocalization::SelectById(ULONG lcid, VARIANT_BOOL* selected) noexcept {
    QL_RETURN_IF_NULL_OUT(selected);
    *selected = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_FAIL, !document_);

    // Every object selects English from the same document: the answer is the document's, kept with it.
    ql::Bstr code;
    HRESULT answer;
    if (const CTranslationDocument::LanguageSelection* kept = document_->FindLanguage(lcid)) {
        answer = kept->answer;
        if (answer == S_OK) QL_RETURN_IF_FAILED(code.Assign(kept->code));
    } else {
        answer = SelectLanguageCode(lcid, code);
        // A failure (memory, the DOM) may pass; only the document's own answers are kept.
        if (answer == S_OK || answer == S_FALSE) document_->KeepLanguage(lcid, answer, code);
    }
    if (answer != S_OK) return answer;
    languageCode_ = std::move(code);
    *selected = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkLocalization::LoadDocument(BSTR xml, VARIANT_BOOL* loaded) noexcept {
    QL_RETURN_IF_NULL_OUT(loaded);
    *loaded = VARIANT_FALSE;
    std::shared_ptr<CTranslationDocument> document;
    QL_RETURN_IF_FAILED(CTranslationDocument::Parse(xml, document));
    // A text that is not well formed leaves the document that was there.
    if (!document) return S_OK;
    document_ = std::move(document);
    *loaded = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkLocalization::NodeExists(BSTR xpath, VARIANT_BOOL* exists) noexcept {
    QL_RETURN_IF_NULL_OUT(exists);
    *exists = VARIANT_FALSE;
    QL_RETURN_HR_IF(E_FAIL, !document_);
    ql::ComPtr<IXMLDOMNode> node;
    const HRESULT hr = document_->Document()->selectSingleNode(xpath, node.Put());
    QL_RETURN_IF_FAILED(hr);
    if (!node) return S_FALSE;
    *exists = VARIANT_TRUE;
    return S_OK;
}
