// NodeAccess: names, values, navigation, typed values, writing and selection. Edits: NodeAccessEdit.cpp.
#include "standins/msxml/NodeAccess.h"

#include <string>
#include <vector>

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "standins/msxml/ComErrorInfo.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/DomNamedNodeMap.h"
#include "standins/msxml/DomNodeList.h"
#include "standins/msxml/TypedVariant.h"
#include "standins/msxml/XmlText.h"
#include "standins/msxml/core/Writer.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

struct NodeTypeName {
    mc::NodeType type;
    const wchar_t* name;  // nodeTypeString
};
constexpr NodeTypeName kNodeTypeNames[] = {
    {mc::NodeType::Element, L"element"},
    {mc::NodeType::Attribute, L"attribute"},
    {mc::NodeType::Text, L"text"},
    {mc::NodeType::CDataSection, L"cdatasection"},
    {mc::NodeType::ProcessingInstruction, L"processinginstruction"},
    {mc::NodeType::Comment, L"comment"},
    {mc::NodeType::Document, L"document"},
    {mc::NodeType::DocumentFragment, L"documentfragment"},
};

bool IsAttribute(const mc::Node& node) { return node.Type() == mc::NodeType::Attribute; }

}  // namespace

NodeAccess::NodeAccess(CDomDocument& owner, std::shared_ptr<mc::Tree> tree, mc::Node& node,
                       IXMLDOMNode* self) noexcept
    : ownerReference_(&owner), owner_(&owner), tree_(std::move(tree)), node_(&node), self_(self) {}

NodeAccess::NodeAccess(CDomDocument& self) noexcept : owner_(&self), node_(nullptr), self_(nullptr) {}

NodeAccess::~NodeAccess() {
    if (node_) owner_->ForgetNodeObject(*node_, self_);
}

mc::Node& NodeAccess::Target() const noexcept {
    return node_ ? *node_ : owner_->CoreDocument().DocumentNode();
}

const std::shared_ptr<mc::Tree>& NodeAccess::TargetTree() const noexcept {
    return node_ ? tree_ : owner_->CoreDocument().GetTree();
}

void NodeAccess::Rebind(CDomDocument& owner, std::shared_ptr<mc::Tree> tree, mc::Node& node) noexcept {
    if (!node_) return;  // the document object never moves
    owner_->ForgetNodeObject(*node_, self_);
    ql::ComPtr<CDomDocument> previousOwner = std::move(ownerReference_);  // released last, after the switch
    ownerReference_ = ql::ComPtr<CDomDocument>(&owner);
    owner_ = &owner;
    tree_ = std::move(tree);
    node_ = &node;
    owner_->RememberNodeObject(node, self_);
}

HRESULT NodeAccess::HandOut(mc::Node* node, REFIID iid, void** out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ql::ComPtr<IXMLDOMNode> object;
    const HRESULT hr = owner_->WrapNode(TargetTree(), node, object);
    if (hr != S_OK) return hr;
    return object.QueryTo(iid, out);
}

HRESULT NodeAccess::GetNodeName(BSTR* out) const noexcept { return BstrFromXml(Target().NodeName(), out); }

HRESULT NodeAccess::GetNodeValue(VARIANT* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ::VariantInit(out);
    const mc::Node& node = Target();
    if (!node.HasValue()) {
        V_VT(out) = VT_NULL;  // elements, documents and fragments have no value
        return S_FALSE;
    }
    return VariantFromXml(node.Value(), out);
}

HRESULT NodeAccess::PutNodeValue(const VARIANT& value) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node& node = Target();
        QL_RETURN_HR_IF(E_FAIL, !node.HasValue());
        std::wstring text;
        QL_RETURN_IF_FAILED(TextFromVariant(value, LOCALE_USER_DEFAULT, text));
        return HResultFromEdit(CoreTree().SetValue(node, XmlFromWide(text)));
    });
}

HRESULT NodeAccess::GetNodeType(DOMNodeType* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = static_cast<DOMNodeType>(Target().Type());
    return S_OK;
}

HRESULT NodeAccess::GetParentNode(IXMLDOMNode** out) const noexcept {
    const mc::Node& node = Target();
    // An attribute's owner element is not its parent in the DOM.
    return HandOut(IsAttribute(node) ? nullptr : node.Parent(), IID_IXMLDOMNode,
                   reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::GetChildNodes(IXMLDOMNodeList** out) const noexcept {
    return CDomNodeList::CreateChildren(*owner_, TargetTree(), Target(), out);
}

HRESULT NodeAccess::GetFirstChild(IXMLDOMNode** out) const noexcept {
    return HandOut(Target().FirstChild(), IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::GetLastChild(IXMLDOMNode** out) const noexcept {
    return HandOut(Target().LastChild(), IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::GetPreviousSibling(IXMLDOMNode** out) const noexcept {
    const mc::Node& node = Target();
    // The core links attributes as siblings of each other; the DOM gives them none.
    return HandOut(IsAttribute(node) ? nullptr : node.PreviousSibling(), IID_IXMLDOMNode,
                   reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::GetNextSibling(IXMLDOMNode** out) const noexcept {
    const mc::Node& node = Target();
    return HandOut(IsAttribute(node) ? nullptr : node.NextSibling(), IID_IXMLDOMNode,
                   reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::GetAttributes(IXMLDOMNamedNodeMap** out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    mc::Node& node = Target();
    if (node.Type() != mc::NodeType::Element) return S_FALSE;
    return CDomNamedNodeMap::Create(*owner_, TargetTree(), node, out);
}

HRESULT NodeAccess::GetHasChildNodes(VARIANT_BOOL* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    const bool has = Target().HasChildren();
    *out = has ? VARIANT_TRUE : VARIANT_FALSE;
    return has ? S_OK : S_FALSE;
}

HRESULT NodeAccess::GetOwnerDocument(IXMLDOMDocument** out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    if (!node_) return S_FALSE;  // the document has no owner document
    return owner_->QueryInterface(IID_IXMLDOMDocument, reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::GetNodeTypeString(BSTR* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    const mc::NodeType type = Target().Type();
    for (const NodeTypeName& entry : kNodeTypeNames) {
        if (entry.type == type) return BstrFromXml(XmlFromWide(entry.name), out);
    }
    return E_FAIL;
}

HRESULT NodeAccess::GetText(BSTR* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&] { return BstrFromXml(Target().Text(), out); });
}

HRESULT NodeAccess::PutText(BSTR text) noexcept {
    return ql::GuardComCall([&] { return HResultFromEdit(CoreTree().SetText(Target(), XmlFromBstr(text))); });
}

HRESULT NodeAccess::GetSpecified(VARIANT_BOOL* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    // Only an attribute that a schema default supplied was not specified in the text.
    *out = Target().IsSpecified() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT NodeAccess::GetNodeTypedValue(VARIANT* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ::VariantInit(out);
    return ql::GuardComCall([&]() -> HRESULT {
        mc::TypedValue value;
        // After an edit the text may no longer be a value of the node's type.
        QL_RETURN_HR_IF(E_FAIL, !mc::Document::GetTypedValue(Target(), value));
        return VariantFromTypedValue(value, out);
    });
}

HRESULT NodeAccess::PutNodeTypedValue(const VARIANT& value) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node& node = Target();
        const mc::DataType type = node.GetDataType();
        std::wstring text;
        QL_RETURN_IF_FAILED(TextFromTypedVariant(type, value, text));
        mc::TypedValue check;
        QL_RETURN_HR_IF(E_FAIL,
                        type != mc::DataType::None && !mc::ParseTypedValue(type, XmlFromWide(text), check));
        return HResultFromEdit(CoreTree().SetText(node, XmlFromWide(text)));
    });
}

HRESULT NodeAccess::GetDataType(VARIANT* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ::VariantInit(out);
    const mc::DataType type = Target().GetDataType();
    if (type == mc::DataType::None) {
        V_VT(out) = VT_NULL;
        return S_FALSE;
    }
    return VariantFromXml(mc::DataTypeName(type), out);
}

HRESULT NodeAccess::PutDataType(BSTR name) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        QL_RETURN_HR_IF(E_INVALIDARG, name == nullptr);
        mc::Node& node = Target();
        QL_RETURN_HR_IF(E_FAIL,
                        node.Type() != mc::NodeType::Element && node.Type() != mc::NodeType::Attribute);
        mc::DataType type = mc::DataType::None;
        QL_RETURN_HR_IF(E_FAIL, !mc::DataTypeFromName(XmlFromBstr(name), type));
        // MSXML refuses a type that the node's present text is not a value of.
        mc::TypedValue check;
        const mc::XmlString text = node.HasValue() ? node.Value() : node.Text();
        QL_RETURN_HR_IF(E_FAIL, !mc::ParseTypedValue(type, text, check));
        CoreTree().SetDataType(node, type);
        return S_OK;
    });
}

HRESULT NodeAccess::GetXml(BSTR* out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&] { return BstrFromXml(mc::Writer::Xml(Target()), out); });
}

HRESULT NodeAccess::SelectNodes(BSTR expression, IXMLDOMNodeList** out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        std::vector<mc::Node*> nodes;
        mc::XmlString reason;
        if (!owner_->CoreDocument().SelectNodes(Target(), XmlFromBstr(expression), nodes, reason))
            return FailWithErrorInfo(E_FAIL, IID_IXMLDOMNode, reason);
        return CDomNodeList::CreateSnapshot(*owner_, TargetTree(), std::move(nodes), out);
    });
}

HRESULT NodeAccess::SelectSingleNode(BSTR expression, IXMLDOMNode** out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node* node = nullptr;
        mc::XmlString reason;
        if (!owner_->CoreDocument().SelectSingleNode(Target(), XmlFromBstr(expression), node, reason))
            return FailWithErrorInfo(E_FAIL, IID_IXMLDOMNode, reason);
        return HandOut(node, IID_IXMLDOMNode, reinterpret_cast<void**>(out));
    });
}

HRESULT NodeAccess::GetNamespaceUri(BSTR* out) const noexcept {
    return BstrOrNullFromXml(Target().NamespaceUri(), out);
}

HRESULT NodeAccess::GetPrefix(BSTR* out) const noexcept { return BstrOrNullFromXml(Target().Prefix(), out); }

HRESULT NodeAccess::GetBaseName(BSTR* out) const noexcept {
    return BstrOrNullFromXml(Target().LocalName(), out);
}

HRESULT NodeAccess::ElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) const noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, tagName == nullptr);
    return ql::GuardComCall([&]() -> HRESULT {
        const mc::XmlStringView name = XmlFromBstr(tagName);
        const bool all = name == u"*";
        const mc::Node& root = Target();
        std::vector<mc::Node*> nodes;
        for (mc::Node* node = mc::NextInSubtree(root, root); node; node = mc::NextInSubtree(root, *node)) {
            if (node->Type() == mc::NodeType::Element && (all || node->NodeName() == name))
                nodes.push_back(node);
        }
        return CDomNodeList::CreateSnapshot(*owner_, TargetTree(), std::move(nodes), out);
    });
}

HRESULT HResultFromEdit(mc::EditStatus status) noexcept {
    switch (status) {
        case mc::EditStatus::Ok:
            return S_OK;
        case mc::EditStatus::InvalidArgument:
        case mc::EditStatus::WrongTree:
        case mc::EditStatus::NotAChild:
            return E_INVALIDARG;
        case mc::EditStatus::HierarchyRequest:
        case mc::EditStatus::NotAllowed:
            return E_FAIL;
    }
    return E_FAIL;
}

}  // namespace msxml_standin
