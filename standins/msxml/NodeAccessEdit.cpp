// NodeAccess: structural edits (insertBefore, appendChild, replaceChild, removeChild, cloneNode).
#include "classlib/HResult.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/NodeAccess.h"
#include "standins/msxml/NodeImporter.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

// The reference node of insertBefore: a node object of ours in a VARIANT, or nothing (append).
HRESULT ReferenceNode(const VARIANT& reference, mc::Node*& node) noexcept {
    node = nullptr;
    IUnknown* object = nullptr;
    switch (V_VT(&reference)) {
        case VT_EMPTY:
        case VT_NULL:
            return S_OK;
        case VT_UNKNOWN:
            object = V_UNKNOWN(&reference);
            break;
        case VT_DISPATCH:
            object = V_DISPATCH(&reference);
            break;
        default:
            return E_INVALIDARG;
    }
    if (!object) return S_OK;
    NodeAccess* access = NodeAccessFromUnknown(object);
    QL_RETURN_HR_IF(E_INVALIDARG, access == nullptr);
    node = &access->Target();
    return S_OK;
}

}  // namespace

// A caller's pointer to the moved node (or to one inside it) goes on naming the node where it now lives.
void MoveNodeObjects(CDomDocument& from, const NodeImporter::NodePairs& pairs, CDomDocument& to,
                     const std::shared_ptr<mc::Tree>& toTree) noexcept {
    for (const auto& [source, copy] : pairs) {
        if (IXMLDOMNode* object = from.FindNodeObject(*source)) {
            if (NodeAccess* access = NodeAccessFromUnknown(object)) access->Rebind(to, toTree, *copy);
        }
    }
}

HRESULT NodeAccess::InsertNode(NodeAccess& child, mc::Node* reference, IXMLDOMNode** out) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node& parent = Target();
        mc::Tree& tree = CoreTree();
        mc::Node* inserted = &child.Target();
        if (&inserted->OwnerTree() == &tree) {
            QL_RETURN_IF_FAILED(HResultFromEdit(tree.InsertBefore(parent, *inserted, reference)));
        } else {
            QL_RETURN_HR_IF(E_FAIL, inserted->Type() == mc::NodeType::Document ||
                                        inserted->Type() == mc::NodeType::Attribute);
            // The source document and tree stay alive until the move is complete, even when the moved node
            // object was the last thing holding them.
            ql::ComPtr<CDomDocument> sourceOwner(&child.Owner());
            const std::shared_ptr<mc::Tree> sourceTree = child.TargetTree();
            NodeImporter::NodePairs pairs;
            mc::Node* copy = NodeImporter::Copy(*inserted, tree, true, &pairs);
            QL_RETURN_HR_IF(E_FAIL, copy == nullptr);
            QL_RETURN_IF_FAILED(HResultFromEdit(tree.InsertBefore(parent, *copy, reference)));
            if (mc::Node* oldParent = inserted->Parent())
                (void)sourceTree->RemoveChild(*oldParent, *inserted);
            MoveNodeObjects(*sourceOwner.Get(), pairs, *owner_, TargetTree());
            inserted = copy;
        }
        if (!out) return S_OK;
        return HandOut(inserted, IID_IXMLDOMNode, reinterpret_cast<void**>(out));
    });
}

HRESULT NodeAccess::InsertBefore(IXMLDOMNode* newChild, const VARIANT& reference,
                                 IXMLDOMNode** out) noexcept {
    if (out) *out = nullptr;
    NodeAccess* child = NodeAccessFromUnknown(newChild);
    QL_RETURN_HR_IF(E_INVALIDARG, child == nullptr);
    mc::Node* referenceNode = nullptr;
    QL_RETURN_IF_FAILED(ReferenceNode(reference, referenceNode));
    return InsertNode(*child, referenceNode, out);
}

HRESULT NodeAccess::AppendChild(IXMLDOMNode* newChild, IXMLDOMNode** out) noexcept {
    if (out) *out = nullptr;
    NodeAccess* child = NodeAccessFromUnknown(newChild);
    QL_RETURN_HR_IF(E_INVALIDARG, child == nullptr);
    return InsertNode(*child, nullptr, out);
}

HRESULT NodeAccess::ReplaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild, IXMLDOMNode** out) noexcept {
    if (out) *out = nullptr;
    NodeAccess* replacement = NodeAccessFromUnknown(newChild);
    NodeAccess* replaced = NodeAccessFromUnknown(oldChild);
    QL_RETURN_HR_IF(E_INVALIDARG, replacement == nullptr || replaced == nullptr);
    mc::Node& oldNode = replaced->Target();
    QL_RETURN_HR_IF(E_INVALIDARG, oldNode.Parent() != &Target() || oldNode.Type() == mc::NodeType::Attribute);
    if (&replacement->Target() != &oldNode) {
        QL_RETURN_IF_FAILED(InsertNode(*replacement, &oldNode, nullptr));
        QL_RETURN_IF_FAILED(HResultFromEdit(CoreTree().RemoveChild(Target(), oldNode)));
    }
    if (!out) return S_OK;
    return oldChild->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::RemoveChild(IXMLDOMNode* child, IXMLDOMNode** out) noexcept {
    if (out) *out = nullptr;
    NodeAccess* removed = NodeAccessFromUnknown(child);
    QL_RETURN_HR_IF(E_INVALIDARG, removed == nullptr);
    QL_RETURN_IF_FAILED(HResultFromEdit(CoreTree().RemoveChild(Target(), removed->Target())));
    if (!out) return S_OK;
    return child->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(out));
}

HRESULT NodeAccess::CloneNode(VARIANT_BOOL deep, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    const mc::Node& source = Target();
    QL_RETURN_HR_IF(E_NOTIMPL, source.Type() == mc::NodeType::Document);
    return ql::GuardComCall([&]() -> HRESULT {
        mc::Node* copy = NodeImporter::Copy(source, CoreTree(), deep != VARIANT_FALSE, nullptr);
        QL_RETURN_HR_IF(E_FAIL, copy == nullptr);
        return HandOut(copy, IID_IXMLDOMNode, reinterpret_cast<void**>(out));
    });
}

}  // namespace msxml_standin
