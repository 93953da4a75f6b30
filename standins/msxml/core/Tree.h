// The node arena of one loaded or built document, and every structural edit.
//
// Ownership: a Document holds its current Tree through a shared_ptr; a load puts a
// new Tree in place, so node wrappers of the COM layer that hold the old Tree keep
// valid (detached) nodes. Nodes are never freed before their Tree: removing a node
// only unlinks it. Edits keep the document order numbers stale until the next
// EnsureDocumentOrder. Single-threaded like the rest of the core.
#pragma once

#include "NameTable.h"
#include "Node.h"

#include <deque>

namespace msxml_core {

enum class EditStatus {
    Ok,
    InvalidArgument,   // null node or bad name
    WrongTree,         // the node belongs to another tree
    HierarchyRequest,  // the node cannot be placed there (ancestor, type, second root)
    NotAChild,         // the reference or removed node is not a child of the parent
    NotAllowed,        // the operation does not apply to this node type
};

extern const XmlStringView kXmlNamespaceUri;    // bound to the prefix xml
extern const XmlStringView kXmlnsNamespaceUri;  // namespace of xmlns attributes

class Tree {
public:
    Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    Node& DocumentNode() { return *document_; }
    const Node& DocumentNode() const { return *document_; }
    NameTable& Names() { return names_; }

    // MSXML's preserveWhiteSpace: white-space-only text is kept on load and text
    // is not trimmed when read.
    bool PreserveWhiteSpace() const { return preserveWhiteSpace_; }
    void SetPreserveWhiteSpace(bool preserve) { preserveWhiteSpace_ = preserve; }

    // Node factories. Names are checked (XML name; a prefix needs a namespace
    // unless it is xml/xmlns); null for an invalid name.
    Node* CreateElement(XmlStringView qualifiedName, XmlStringView namespaceUri = {});
    Node* CreateAttribute(XmlStringView qualifiedName, XmlStringView namespaceUri = {});
    Node* CreateTextNode(XmlStringView text);
    Node* CreateCDataSection(XmlStringView text);
    Node* CreateComment(XmlStringView text);
    Node* CreateProcessingInstruction(XmlStringView target, XmlStringView data);
    Node* CreateDocumentFragment();

    // Structure. A fragment child moves its children; an attached child is moved.
    EditStatus AppendChild(Node& parent, Node& child);
    EditStatus InsertBefore(Node& parent, Node& child, Node* reference);
    EditStatus RemoveChild(Node& parent, Node& child);

    // Attributes. SetAttribute resolves a prefix through the declarations in scope.
    EditStatus SetAttribute(Node& element, XmlStringView qualifiedName, XmlStringView value);
    EditStatus SetAttributeNode(Node& element, Node& attribute);
    EditStatus RemoveAttribute(Node& element, XmlStringView qualifiedName);

    // text and nodeValue setters.
    EditStatus SetText(Node& node, XmlStringView text);
    EditStatus SetValue(Node& node, XmlStringView value);
    // dataType setter (dt:dt on an instance node, or the schema's type).
    void SetDataType(Node& node, DataType type) { node.dataType_ = type; }
    // An attribute that a schema default supplies (not specified in the text).
    Node* AddDefaultAttribute(Node& element, XmlStringView qualifiedName, XmlStringView namespaceUri,
                              XmlStringView value);

    // The namespace bound to a prefix at a node (empty prefix: the default
    // namespace); false when the prefix is not declared.
    bool LookupNamespaceUri(const Node& node, XmlStringView prefix, XmlStringView& uri) const;

    // Numbers every node of the tree that holds 'member' in document order.
    void EnsureDocumentOrder(const Node& member);

    // Internal to the parser: a node with no checks, and raw linking.
    Node& NewNode(NodeType type, const QualifiedName* name);
    void LinkLastChild(Node& parent, Node& child);
    void LinkLastAttribute(Node& element, Node& attribute);

private:
    void Unlink(Node& child);
    void LinkBefore(Node& parent, Node& child, Node* reference);
    EditStatus CheckInsert(const Node& parent, const Node& child, const Node* replacing) const;
    const QualifiedName* CheckedName(XmlStringView qualifiedName, XmlStringView namespaceUri);

    std::deque<Node> arena_;
    NameTable names_;
    Node* document_;
    bool preserveWhiteSpace_ = false;
    bool orderDirty_ = true;
    const Node* orderRoot_ = nullptr;
};

}  // namespace msxml_core
