#include "dataset/DeviceTypeText.h"

#include <msxml2.h>

#include <string>
#include <string_view>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/CriticalSection.h"
#include "classlib/HResult.h"
#include "values/XmlText.h"

namespace {

// The text is read inside the same namespace declarations the parameter document gives it.
constexpr wchar_t kDocumentHead[] =
    L"<FDT xmlns=\"x-schema:DTMParameterSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">";
constexpr wchar_t kDocumentTail[] = L"</FDT>";
constexpr wchar_t kDeviceTypeName[] = L"DtmDeviceType";
constexpr wchar_t kDeviceTypeNamespace[] = L"x-schema:FDTDataTypesSchema.xml";

bool IsWhiteSpace(std::wstring_view text) noexcept {
    return text.find_first_not_of(L" \t\r\n") == std::wstring_view::npos;
}

// Whether `node` may stand beside the device type element: white space only.
bool IsBlank(IXMLDOMNode* node) noexcept {
    DOMNodeType type = NODE_INVALID;
    if (FAILED(node->get_nodeType(&type)) || type != NODE_TEXT) return false;
    ql::Bstr text;
    return SUCCEEDED(node->get_text(text.Put())) && IsWhiteSpace(text.View());
}

bool IsDeviceTypeElement(IXMLDOMNode* node) noexcept {
    DOMNodeType type = NODE_INVALID;
    ql::Bstr name, namespaceUri;
    return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT &&
           SUCCEEDED(node->get_baseName(name.Put())) && name.View() == kDeviceTypeName &&
           SUCCEEDED(node->get_namespaceURI(namespaceUri.Put())) &&
           namespaceUri.View() == kDeviceTypeNamespace;
}

// The texts accepted lately, for the whole process: every device of a project carries the same device type
// text, and parsing it again for each was a good part of loading one. The verdict depends on the text
// alone, so a text equal to an accepted one is accepted again without parsing. Refusals are not kept: one
// may have been the XML library's failure of the moment.
class AcceptedTexts {
public:
    bool Contains(std::wstring_view text) noexcept {
        ql::CriticalSectionHold hold(lock_);
        for (const std::wstring& accepted : texts_) {
            if (accepted == text) return true;
        }
        return false;
    }

    // Without memory for it the text is simply parsed again next time.
    void Add(std::wstring_view text) noexcept {
        if (text.size() > kLongestKeptText) return;
        ql::CriticalSectionHold hold(lock_);
        (void)ql::GuardComCall([&]() -> HRESULT {
            if (texts_.size() == kKeptTexts) texts_.erase(texts_.begin());
            texts_.emplace_back(text);
            return S_OK;
        });
    }

private:
    // A project holds devices of a few types; a text far beyond a device type element is not kept.
    static constexpr size_t kKeptTexts = 8;
    static constexpr size_t kLongestKeptText = 16 * 1024;

    ql::CriticalSection lock_;
    std::vector<std::wstring> texts_;
};

AcceptedTexts& Accepted() noexcept {
    static AcceptedTexts accepted;
    return accepted;
}

HRESULT ParseDeviceTypeText(BSTR text) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        std::wstring wrapped(kDocumentHead);
        wrapped.append(text, ::SysStringLen(text)).append(kDocumentTail);
        ql::Bstr xml(wrapped);
        QL_RETURN_HR_IF(E_OUTOFMEMORY, xml.IsNull());

        ql::ComPtr<IXMLDOMDocument> document;
        if (ParseXmlForm(xml.Get(), document.Put()) != S_OK) return E_FAIL;

        ql::ComPtr<IXMLDOMElement> root;
        QL_RETURN_IF_FAILED(document->get_documentElement(root.Put()));
        QL_RETURN_HR_IF(E_FAIL, !root);
        ql::ComPtr<IXMLDOMNode> child;
        QL_RETURN_IF_FAILED(root->get_firstChild(child.Put()));
        int elements = 0;
        while (child) {
            if (IsDeviceTypeElement(child.Get())) {
                ++elements;
            } else if (!IsBlank(child.Get())) {
                return E_FAIL;
            }
            ql::ComPtr<IXMLDOMNode> next;
            QL_RETURN_IF_FAILED(child->get_nextSibling(next.Put()));
            child = std::move(next);
        }
        return elements == 1 ? S_OK : E_FAIL;
    });
}

}  // namespace

HRESULT CheckDeviceTypeText(BSTR text) noexcept {
    const std::wstring_view view(text ? text : L"", ::SysStringLen(text));
    if (view.empty() || Accepted().Contains(view)) return S_OK;
    const HRESULT hr = ParseDeviceTypeText(text);
    if (hr == S_OK) Accepted().Add(view);
    return hr;
}
