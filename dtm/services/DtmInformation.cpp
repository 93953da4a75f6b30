#include "dtm/services/DtmInformation.h"

#include <string>
#include <string_view>

#include "QuelkInterfaces.h"
#include "classlib/ComModule.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/DtmServicesResources.h"
#include "dtm/services/QuelkLocalization.h"
#include "dtm/DtmState.h"
#include "values/AnsiText.h"

namespace {

constexpr wchar_t kTemplateField[] = L"%s";
constexpr wchar_t kDataTypesNamespace[] = L"x-schema:FDTDataTypesSchema.xml";
constexpr wchar_t kSupportedLanguagesName[] = L"fdt:SupportedLanguages";
constexpr wchar_t kLanguageIdName[] = L"fdt:LanguageId";
constexpr wchar_t kLanguageIdAttribute[] = L"languageId";
constexpr wchar_t kDeviceTypePath[] = L"FDT/DtmInfo/DtmDeviceTypes/fdt:DtmDeviceType";
constexpr wchar_t kSupportedLanguagesPath[] = L"fdt:SupportedLanguages";

HRESULT CreateElement(IXMLDOMDocument2* document, const wchar_t* name,
                      ql::ComPtr<IXMLDOMNode>& element) noexcept {
    ql::Variant type;
    type.SetI4(NODE_ELEMENT);
    ql::Bstr qualifiedName(name);
    ql::Bstr namespaceUri(kDataTypesNamespace);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, qualifiedName.IsNull() || namespaceUri.IsNull());
    QL_RETURN_IF_FAILED(
        document->createNode(*type.Get(), qualifiedName.Get(), namespaceUri.Get(), element.Put()));
    return element ? S_OK : E_FAIL;
}

// The selected node; E_FAIL when there is none.
HRESULT SelectExisting(IXMLDOMNode* context, const wchar_t* xpath, ql::ComPtr<IXMLDOMNode>& node) noexcept {
    ql::Bstr path(xpath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    QL_RETURN_IF_FAILED(context->selectSingleNode(path.Get(), node.Put()));
    return node ? S_OK : E_FAIL;
}

HRESULT AppendLanguage(IXMLDOMDocument2* document, IXMLDOMNode* list, ULONG lcid) noexcept {
    ql::ComPtr<IXMLDOMNode> language;
    QL_RETURN_IF_FAILED(CreateElement(document, kLanguageIdName, language));
    ql::ComPtr<IXMLDOMNode> appended;
    QL_RETURN_IF_FAILED(list->appendChild(language.Get(), appended.Put()));
    ql::ComPtr<IXMLDOMElement> element;
    QL_RETURN_IF_FAILED(language->QueryInterface(IID_IXMLDOMElement, element.PutVoid()));
    ql::Bstr name(kLanguageIdAttribute);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, name.IsNull());
    ql::Variant value;
    value.SetUI4(lcid);
    return element->setAttribute(name.Get(), *value.Get());
}

}  // namespace

HRESULT LoadDtmInfoResource(ql::Bstr& text) noexcept {
    const HMODULE module = ql::ComModule::Instance().ResourceInstance();
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(IDR_DTM_INFORMATION), RT_HTML);
    QL_RETURN_HR_IF(E_FAIL, !found);
    const DWORD size = ::SizeofResource(module, found);
    const HGLOBAL loaded = ::LoadResource(module, found);
    const char* bytes = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    QL_RETURN_HR_IF(E_FAIL, !bytes || size == 0);
    // The template is one text: it ends at its size or at a zero byte, whichever comes first.
    std::string_view templateBytes(bytes, size);
    templateBytes = templateBytes.substr(0, templateBytes.find('\0'));
    QL_RETURN_HR_IF(E_FAIL, templateBytes.empty());
    return AnsiToBstr(templateBytes, text);
}

HRESULT FillDtmInfoTemplate(const ql::Bstr& templateText, ql::Bstr& filled) noexcept {
    try {
        std::wstring text(templateText.View());
        const std::wstring_view field(kTemplateField);
        size_t at = text.find(field);
        if (at != std::wstring::npos) {
            text.replace(at, field.size(), kDtmVersion);
            at = text.find(field, at + std::wstring_view(kDtmVersion).size());
            if (at != std::wstring::npos) text.replace(at, field.size(), kDeviceIconPath);
        }
        return filled.Assign(text);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CDtmInformation::GetInformation(BSTR* information) noexcept {
    if (!IsStateBetween(host_.Lifecycle().State(), kStateEnvironmentNew, kStateConnected)) return S_FALSE;
    QL_RETURN_HR_IF(E_INVALIDARG, information == nullptr);
    *information = nullptr;
    ql::Bstr templateText;
    QL_RETURN_IF_FAILED(LoadDtmInfoResource(templateText));
    ql::Bstr text;
    QL_RETURN_IF_FAILED(FillDtmInfoTemplate(templateText, text));
    // The template's own language list stays when the translations cannot provide one.
    (void)UpdateSupportedLanguages(text);
    *information = text.Detach();
    return S_OK;
}

HRESULT CDtmInformation::UpdateSupportedLanguages(ql::Bstr& text) noexcept {
    CQuelkLocalization& localization = host_.Localization();
    LONG count = 0;
    if (FAILED(localization.CountNodes(&count)) || count <= 0) return S_OK;

    QL_RETURN_HR_IF(E_POINTER, host_.Lifecycle().XmlHandler().SchemaCollection() == nullptr);
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(host_.Lifecycle().LoadXMLDocument(text.Get(), document.Put(), &loaded)) ||
        loaded != VARIANT_TRUE)
        return S_OK;

    ql::ComPtr<IXMLDOMNode> languages;
    QL_RETURN_IF_FAILED(CreateElement(document.Get(), kSupportedLanguagesName, languages));
    for (LONG index = 0; index < count; ++index) {
        ULONG lcid = 0;
        QL_RETURN_IF_FAILED(localization.GetLcidAt(index, &lcid));
        QL_RETURN_IF_FAILED(AppendLanguage(document.Get(), languages.Get(), lcid));
    }

    ql::ComPtr<IXMLDOMNode> deviceType;
    QL_RETURN_IF_FAILED(SelectExisting(document.Get(), kDeviceTypePath, deviceType));
    ql::ComPtr<IXMLDOMNode> oldLanguages;
    QL_RETURN_IF_FAILED(SelectExisting(deviceType.Get(), kSupportedLanguagesPath, oldLanguages));
    ql::ComPtr<IXMLDOMNode> replaced;
    QL_RETURN_IF_FAILED(deviceType->replaceChild(languages.Get(), oldLanguages.Get(), replaced.Put()));
    ql::Bstr xml;
    QL_RETURN_IF_FAILED(document->get_xml(xml.Put()));
    text = std::move(xml);
    return S_OK;
}
