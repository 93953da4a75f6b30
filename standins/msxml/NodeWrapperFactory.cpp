#include "standins/msxml/NodeWrapperFactory.h"

#include "classlib/ComObject.h"
#include "standins/msxml/DomAttribute.h"
#include "standins/msxml/DomCDataSection.h"
#include "standins/msxml/DomComment.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/DomElement.h"
#include "standins/msxml/DomProcessingInstruction.h"
#include "standins/msxml/DomText.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

template <class Wrapper>
HRESULT Make(CDomDocument& owner, const std::shared_ptr<mc::Tree>& tree, mc::Node& node,
             ql::ComPtr<IXMLDOMNode>& out) noexcept {
    ql::ComPtr<Wrapper> object;
    QL_RETURN_IF_FAILED(ql::MakeObject(object, owner, tree, node));
    out = ql::ComPtr<IXMLDOMNode>(static_cast<IXMLDOMNode*>(object.Get()));
    return S_OK;
}

// The access of a Wrapper object, when `identity` is the identity record of one.
template <class Wrapper>
NodeAccess* AccessIf(const ql::ObjectIdentity& identity) noexcept {
    if (identity.ClassTag() != ql::ClassTagOf<Wrapper>()) return nullptr;
    auto* object = static_cast<Wrapper*>(static_cast<ql::ComObjectBase<Wrapper>*>(identity.Object()));
    return &object->Access();
}

}  // namespace

HRESULT CreateNodeWrapper(CDomDocument& owner, const std::shared_ptr<mc::Tree>& tree, mc::Node& node,
                          ql::ComPtr<IXMLDOMNode>& out) noexcept {
    out.Reset();
    switch (node.Type()) {
        case mc::NodeType::Element:
            return Make<CDomElement>(owner, tree, node, out);
        case mc::NodeType::Attribute:
            return Make<CDomAttribute>(owner, tree, node, out);
        case mc::NodeType::Text:
            return Make<CDomText>(owner, tree, node, out);
        case mc::NodeType::CDataSection:
            return Make<CDomCDataSection>(owner, tree, node, out);
        case mc::NodeType::Comment:
            return Make<CDomComment>(owner, tree, node, out);
        case mc::NodeType::ProcessingInstruction:
            return Make<CDomProcessingInstruction>(owner, tree, node, out);
        case mc::NodeType::Document:
        case mc::NodeType::DocumentFragment:
            break;
    }
    return E_NOTIMPL;
}

NodeAccess* NodeAccessFromUnknown(IUnknown* node) noexcept {
    if (!node) return nullptr;
    ql::ComPtr<IUnknown> identityObject;
    if (FAILED(node->QueryInterface(ql::kIidObjectIdentity, identityObject.PutVoid()))) return nullptr;
    const auto& identity = *static_cast<const ql::ObjectIdentity*>(identityObject.Get());
    NodeAccess* access = AccessIf<CDomElement>(identity);
    if (!access) access = AccessIf<CDomAttribute>(identity);
    if (!access) access = AccessIf<CDomText>(identity);
    if (!access) access = AccessIf<CDomCDataSection>(identity);
    if (!access) access = AccessIf<CDomComment>(identity);
    if (!access) access = AccessIf<CDomProcessingInstruction>(identity);
    if (!access) access = AccessIf<CDomDocument>(identity);
    return access;
}

}  // namespace msxml_standin
