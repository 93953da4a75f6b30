// CDomDocument: node objects, node creation and the document's properties. Loading and saving:
// DomDocumentLoad.cpp.
#include "standins/msxml/DomDocument.h"

#include <string>

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "standins/msxml/NodeWrapperFactory.h"
#include "standins/msxml/SchemaCache.h"
#include "standins/msxml/XmlText.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

constexpr mc::XmlStringView kSelectionLanguage = u"SelectionLanguage";
constexpr mc::XmlStringView kSelectionNamespaces = u"SelectionNamespaces";
constexpr mc::XmlStringView kXPath = u"XPath";
constexpr mc::XmlStringView kXslPattern = u"XSLPattern";

struct NodeKind {
    const char16_t* name;  // as createNode takes a type given as text
    DOMNodeType type;
};
constexpr NodeKind kNodeKinds[] = {
    {u"element", NODE_ELEMENT},
    {u"attribute", NODE_ATTRIBUTE},
    {u"text", NODE_TEXT},
    {u"cdatasection", NODE_CDATA_SECTION},
    {u"processinginstruction", NODE_PROCESSING_INSTRUCTION},
    {u"comment", NODE_COMMENT},
    {u"documentfragment", NODE_DOCUMENT_FRAGMENT},
};

HRESULT NodeTypeFromVariant(const VARIANT& type, DOMNodeType& out) noexcept {
    if (V_VT(&type) == VT_BSTR) {
        const mc::XmlStringView name = XmlFromBstr(V_BSTR(&type));
        for (const NodeKind& kind : kNodeKinds) {
            if (name == kind.name) {
                out = kind.type;
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }
    ql::Variant number;
    QL_RETURN_IF_FAILED(number.CopyFrom(type));
    QL_RETURN_IF_FAILED(number.ChangeType(VT_I4));
    out = static_cast<DOMNodeType>(V_I4(number.Get()));
    return S_OK;
}

// A VARIANT argument that script callers may pass by reference.
const VARIANT& Dereferenced(const VARIANT& value) noexcept {
    if (V_VT(&value) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(&value)) return *V_VARIANTREF(&value);
    return value;
}

}  // namespace

CDomDocument::CDomDocument() noexcept : DomNodeImpl(*this) {}

CDomDocument::~CDomDocument() = default;

HRESULT CDomDocument::FinalConstruct() noexcept {
    return ql::GuardComCall([&] {
        document_.SetSchemaLoader([this](mc::XmlStringView fileName, std::string& bytes) {
            return ReadSchemaFile(fileName, bytes);
        });
        return S_OK;
    });
}

HRESULT CDomDocument::WrapNode(const std::shared_ptr<mc::Tree>& tree, mc::Node* node,
                               ql::ComPtr<IXMLDOMNode>& out) noexcept {
    out.Reset();
    if (!node) return S_FALSE;
    if (node->Type() == mc::NodeType::Document) {
        if (node != &document_.DocumentNode()) return S_FALSE;  // a tree this document no longer holds
        out = ql::ComPtr<IXMLDOMNode>(static_cast<IXMLDOMNode*>(this));
        return S_OK;
    }
    if (IXMLDOMNode* cached = nodeObjects_.Find(*node)) {
        out = ql::ComPtr<IXMLDOMNode>(cached);
        return S_OK;
    }
    QL_RETURN_IF_FAILED(CreateNodeWrapper(*this, tree, *node, out));
    (void)nodeObjects_.Remember(*node, out.Get());
    return S_OK;
}

void CDomDocument::RememberNodeObject(const mc::Node& node, IXMLDOMNode* object) noexcept {
    (void)nodeObjects_.Remember(node, object);
}

void CDomDocument::ForgetNodeObject(const mc::Node& node, const IXMLDOMNode* object) noexcept {
    nodeObjects_.Forget(node, object);
}

template <class Create>
HRESULT CDomDocument::CreateAndHandOut(Create&& create, REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node* node = create(*document_.GetTree());
        QL_RETURN_HR_IF(E_FAIL, node == nullptr);  // a name the core refuses
        return access_.HandOut(node, iid, out);
    });
}

HRESULT CDomDocument::get_doctype(IXMLDOMDocumentType** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return S_FALSE;  // a DOCTYPE is never accepted
}

HRESULT CDomDocument::get_implementation(IXMLDOMImplementation** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CDomDocument::get_documentElement(IXMLDOMElement** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return access_.HandOut(document_.DocumentNode().DocumentElement(), IID_IXMLDOMElement,
                           reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::putref_documentElement(IXMLDOMElement* element) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, element == nullptr);
    ql::ComPtr<IXMLDOMElement> existing;
    QL_RETURN_IF_FAILED(get_documentElement(existing.Put()));
    if (existing) return access_.ReplaceChild(element, existing.Get(), nullptr);
    return access_.AppendChild(element, nullptr);
}

HRESULT CDomDocument::createElement(BSTR tagName, IXMLDOMElement** out) noexcept {
    return CreateAndHandOut([&](mc::Tree& tree) { return tree.CreateElement(XmlFromBstr(tagName)); },
                            IID_IXMLDOMElement, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::createDocumentFragment(IXMLDOMDocumentFragment** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CDomDocument::createTextNode(BSTR data, IXMLDOMText** out) noexcept {
    return CreateAndHandOut([&](mc::Tree& tree) { return tree.CreateTextNode(XmlFromBstr(data)); },
                            IID_IXMLDOMText, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::createComment(BSTR data, IXMLDOMComment** out) noexcept {
    return CreateAndHandOut([&](mc::Tree& tree) { return tree.CreateComment(XmlFromBstr(data)); },
                            IID_IXMLDOMComment, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::createCDATASection(BSTR data, IXMLDOMCDATASection** out) noexcept {
    return CreateAndHandOut([&](mc::Tree& tree) { return tree.CreateCDataSection(XmlFromBstr(data)); },
                            IID_IXMLDOMCDATASection, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::createProcessingInstruction(BSTR target, BSTR data,
                                                  IXMLDOMProcessingInstruction** out) noexcept {
    return CreateAndHandOut(
        [&](mc::Tree& tree) {
            return tree.CreateProcessingInstruction(XmlFromBstr(target), XmlFromBstr(data));
        },
        IID_IXMLDOMProcessingInstruction, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::createAttribute(BSTR name, IXMLDOMAttribute** out) noexcept {
    return CreateAndHandOut([&](mc::Tree& tree) { return tree.CreateAttribute(XmlFromBstr(name)); },
                            IID_IXMLDOMAttribute, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::createEntityReference(BSTR, IXMLDOMEntityReference** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;  // no entity is ever declared
}

HRESULT CDomDocument::getElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) noexcept {
    return access_.ElementsByTagName(tagName, out);
}

HRESULT CDomDocument::createNode(VARIANT type, BSTR name, BSTR namespaceUri, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    DOMNodeType kind = NODE_INVALID;
    QL_RETURN_IF_FAILED(NodeTypeFromVariant(Dereferenced(type), kind));
    switch (kind) {
        case NODE_ELEMENT:
        case NODE_ATTRIBUTE:
        case NODE_TEXT:
        case NODE_CDATA_SECTION:
        case NODE_PROCESSING_INSTRUCTION:
        case NODE_COMMENT:
            break;
        case NODE_DOCUMENT_FRAGMENT:
        case NODE_ENTITY_REFERENCE:
            return E_NOTIMPL;  // nothing in the system builds them
        default:
            return E_INVALIDARG;  // documents, types, entities and notations are not made by createNode
    }
    const mc::XmlStringView qualified = XmlFromBstr(name);
    const mc::XmlStringView uri = XmlFromBstr(namespaceUri);
    return CreateAndHandOut(
        [&](mc::Tree& tree) -> mc::Node* {
            switch (kind) {
                case NODE_ELEMENT:
                    return tree.CreateElement(qualified, uri);
                case NODE_ATTRIBUTE:
                    return tree.CreateAttribute(qualified, uri);
                case NODE_TEXT:
                    return tree.CreateTextNode({});
                case NODE_CDATA_SECTION:
                    return tree.CreateCDataSection({});
                case NODE_PROCESSING_INSTRUCTION:
                    return tree.CreateProcessingInstruction(qualified, {});
                case NODE_COMMENT:
                    return tree.CreateComment({});
                default:
                    return nullptr;
            }
        },
        IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT CDomDocument::nodeFromID(BSTR, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CDomDocument::get_async(VARIANT_BOOL* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = async_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDomDocument::put_async(VARIANT_BOOL value) noexcept {
    async_ = value != VARIANT_FALSE;
    return S_OK;
}

HRESULT CDomDocument::abort() noexcept { return S_OK; }  // nothing runs in the background

HRESULT CDomDocument::get_validateOnParse(VARIANT_BOOL* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = document_.ValidateOnParse() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDomDocument::put_validateOnParse(VARIANT_BOOL value) noexcept {
    document_.SetValidateOnParse(value != VARIANT_FALSE);
    return S_OK;
}

HRESULT CDomDocument::get_resolveExternals(VARIANT_BOOL* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = resolveExternals_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDomDocument::put_resolveExternals(VARIANT_BOOL value) noexcept {
    resolveExternals_ = value != VARIANT_FALSE;
    return S_OK;
}

HRESULT CDomDocument::get_preserveWhiteSpace(VARIANT_BOOL* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = document_.PreserveWhiteSpace() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CDomDocument::put_preserveWhiteSpace(VARIANT_BOOL value) noexcept {
    document_.SetPreserveWhiteSpace(value != VARIANT_FALSE);
    return S_OK;
}

// Loads finish before they return, so there are no events to deliver.
HRESULT CDomDocument::put_onreadystatechange(VARIANT) noexcept { return E_NOTIMPL; }
HRESULT CDomDocument::put_ondataavailable(VARIANT) noexcept { return E_NOTIMPL; }
HRESULT CDomDocument::put_ontransformnode(VARIANT) noexcept { return E_NOTIMPL; }

HRESULT CDomDocument::get_namespaces(IXMLDOMSchemaCollection** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CDomDocument::get_schemas(VARIANT* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ::VariantInit(out);
    if (!schemas_) {
        V_VT(out) = VT_NULL;
        return S_FALSE;
    }
    ql::Variant value;
    value.SetDispatch(static_cast<IXMLDOMSchemaCollection*>(schemas_.Get()));
    return value.Detach(out);
}

HRESULT CDomDocument::putref_schemas(VARIANT collection) noexcept {
    const VARIANT& value = Dereferenced(collection);
    IUnknown* object = nullptr;
    switch (V_VT(&value)) {
        case VT_EMPTY:
        case VT_NULL:
            break;
        case VT_UNKNOWN:
            object = V_UNKNOWN(&value);
            break;
        case VT_DISPATCH:
            object = V_DISPATCH(&value);
            break;
        default:
            return E_INVALIDARG;
    }
    ql::ComPtr<CSchemaCache> cache;
    // Validation reads the compiled schemas of our own collection; another implementation's collection
    // cannot serve it.
    if (object) QL_RETURN_HR_IF(E_INVALIDARG, FAILED(ql::ObjectFromUnknown(object, cache)));
    document_.SetSchemas(cache ? cache->Collection() : nullptr);
    schemas_ = std::move(cache);
    return S_OK;
}

HRESULT CDomDocument::setProperty(BSTR name, VARIANT value) noexcept {
    const mc::XmlStringView property = XmlFromBstr(name);
    const VARIANT& setting = Dereferenced(value);
    return ql::GuardComCall([&]() -> HRESULT {
        QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&setting) != VT_BSTR);
        const mc::XmlStringView text = XmlFromBstr(V_BSTR(&setting));
        if (property == kSelectionLanguage) {
            if (text == kXPath) {
                document_.SetSelectionLanguage(mc::SelectionLanguage::XPath);
            } else if (text == kXslPattern) {
                document_.SetSelectionLanguage(mc::SelectionLanguage::XslPattern);
            } else {
                return E_FAIL;
            }
            return S_OK;
        }
        if (property == kSelectionNamespaces) return document_.SetSelectionNamespaces(text) ? S_OK : E_FAIL;
        return E_FAIL;  // MSXML 3 refuses a property it does not know
    });
}

HRESULT CDomDocument::getProperty(BSTR name, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    ::VariantInit(value);
    const mc::XmlStringView property = XmlFromBstr(name);
    if (property == kSelectionLanguage) {
        return VariantFromXml(
            document_.GetSelectionLanguage() == mc::SelectionLanguage::XPath ? kXPath : kXslPattern, value);
    }
    if (property == kSelectionNamespaces) return VariantFromXml(document_.SelectionNamespacesText(), value);
    return E_FAIL;
}

}  // namespace msxml_standin
