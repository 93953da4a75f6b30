#include "standins/msxml/AttributeEdit.h"

#include "classlib/HResult.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/NodeImporter.h"

namespace msxml_standin {

namespace mc = msxml_core;

HRESULT AttributeEdit::SetAttributeNode(NodeAccess& element, IUnknown* attribute,
                                        ql::ComPtr<IXMLDOMNode>& replaced) noexcept {
    replaced.Reset();
    NodeAccess* added = NodeAccessFromUnknown(attribute);
    QL_RETURN_HR_IF(E_INVALIDARG, added == nullptr);
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node& owner = element.Target();
        mc::Node* node = &added->Target();
        QL_RETURN_HR_IF(E_INVALIDARG, node->Type() != mc::NodeType::Attribute);
        QL_RETURN_HR_IF(E_FAIL, owner.Type() != mc::NodeType::Element);
        if (node->Parent() == &owner) return S_OK;
        QL_RETURN_HR_IF(E_FAIL, node->Parent() != nullptr);  // in use by another element

        const mc::QualifiedName* name = node->Name();
        mc::Node* existing = owner.FindAttribute(name->namespaceUri, name->localName);
        if (!existing) existing = owner.FindAttribute(name->qualified);
        if (existing) QL_RETURN_IF_FAILED(element.Owner().WrapNode(element.TargetTree(), existing, replaced));

        mc::Tree& tree = element.CoreTree();
        if (&node->OwnerTree() == &tree) return HResultFromEdit(tree.SetAttributeNode(owner, *node));

        ql::ComPtr<CDomDocument> sourceOwner(&added->Owner());
        const std::shared_ptr<mc::Tree> sourceTree = added->TargetTree();
        NodeImporter::NodePairs pairs;
        mc::Node* copy = NodeImporter::Copy(*node, tree, false, &pairs);
        QL_RETURN_HR_IF(E_FAIL, copy == nullptr);
        QL_RETURN_IF_FAILED(HResultFromEdit(tree.SetAttributeNode(owner, *copy)));
        MoveNodeObjects(*sourceOwner.Get(), pairs, element.Owner(), element.TargetTree());
        return S_OK;
    });
}

HRESULT AttributeEdit::RemoveAttributeNode(NodeAccess& element, IUnknown* attribute) noexcept {
    NodeAccess* removed = NodeAccessFromUnknown(attribute);
    QL_RETURN_HR_IF(E_INVALIDARG, removed == nullptr);
    mc::Node& node = removed->Target();
    QL_RETURN_HR_IF(E_INVALIDARG,
                    node.Type() != mc::NodeType::Attribute || node.Parent() != &element.Target());
    ql::ComPtr<IXMLDOMNode> ignored;
    return RemoveAttribute(element, &node, ignored);
}

HRESULT AttributeEdit::RemoveAttribute(NodeAccess& element, mc::Node* attribute,
                                       ql::ComPtr<IXMLDOMNode>& removed) noexcept {
    removed.Reset();
    if (!attribute) return S_FALSE;
    return ql::GuardComCall([&]() -> HRESULT {
        QL_RETURN_IF_FAILED(element.Owner().WrapNode(element.TargetTree(), attribute, removed));
        return HResultFromEdit(
            element.CoreTree().RemoveAttribute(element.Target(), attribute->Name()->qualified));
    });
}

}  // namespace msxml_standin
