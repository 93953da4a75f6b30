// One node of a DOM tree.
//
// Ownership: every node lives in the arena of its Tree and keeps its address until
// the Tree is destroyed, also after it was removed from its parent; so a wrapper
// that holds the Tree (shared_ptr) may keep a Node* as the node's identity.
// Structure is changed only through Tree, which keeps the links consistent.
// Attributes are linked in their own sibling list; their Parent() is the owner
// element (the COM layer answers parentNode null for them, as the DOM wants).
// Not thread safe: a tree is used on one thread at a time.
#pragma once

#include "DataType.h"
#include "NameTable.h"
#include "XmlString.h"

#include <cstdint>

namespace msxml_core {

class Tree;

enum class NodeType : uint8_t {
    Element = 1,
    Attribute = 2,
    Text = 3,
    CDataSection = 4,
    ProcessingInstruction = 7,
    Comment = 8,
    Document = 9,
    DocumentFragment = 11,
};

class Node {
public:
    Node(Tree& tree, NodeType type, const QualifiedName* name);
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    NodeType Type() const { return type_; }
    Tree& OwnerTree() const { return *tree_; }

    // Names. Elements, attributes and processing instructions (target) have a
    // QualifiedName; the others answer their fixed DOM names ("#text", ...).
    const QualifiedName* Name() const { return name_; }
    XmlStringView NodeName() const;
    XmlStringView Prefix() const;
    XmlStringView LocalName() const;  // baseName in MSXML
    XmlStringView NamespaceUri() const;

    Node* Parent() const { return parent_; }
    Node* FirstChild() const { return firstChild_; }
    Node* LastChild() const { return lastChild_; }
    Node* PreviousSibling() const { return previous_; }
    Node* NextSibling() const { return next_; }
    bool HasChildren() const { return firstChild_ != nullptr; }
    size_t ChildCount() const;
    Node* ChildAt(size_t index) const;

    Node* FirstAttribute() const { return firstAttribute_; }
    size_t AttributeCount() const;
    Node* AttributeAt(size_t index) const;
    Node* FindAttribute(XmlStringView qualifiedName) const;
    Node* FindAttribute(XmlStringView namespaceUri, XmlStringView localName) const;

    // The document element (the first element child) of a document node.
    Node* DocumentElement() const;

    // nodeValue: attribute value, text, comment, CDATA, processing-instruction data;
    // empty for elements and documents (MSXML answers VT_NULL for those).
    const XmlString& Value() const { return value_; }
    bool HasValue() const;

    // MSXML's text property: the concatenated text of the node and its
    // descendants; for elements and documents leading and trailing white space is
    // trimmed unless the tree preserves white space.
    XmlString Text() const;

    // The data type given by the schema (or dt:dt); None when untyped.
    DataType GetDataType() const { return dataType_; }

    // False for an attribute that a schema default put in place (MSXML's
    // specified property); the writer leaves such attributes out.
    bool IsSpecified() const { return specified_; }

    bool IsAncestorOf(const Node& other) const;
    // The topmost ancestor (the document node for attached nodes).
    const Node& Root() const;

    // Offsets into the loaded text, kept for validation messages: start of the
    // start tag (or of the attribute name) and of the end tag.
    uint32_t SourceOffset() const { return sourceOffset_; }
    uint32_t SourceEndOffset() const { return sourceEndOffset_; }

    // Position in document order; valid after Tree::EnsureDocumentOrder.
    uint32_t DocumentOrder() const { return order_; }

private:
    friend class Tree;
    friend class Parser;

    Tree* tree_;
    NodeType type_;
    DataType dataType_ = DataType::None;
    bool specified_ = true;
    const QualifiedName* name_;
    XmlString value_;
    Node* parent_ = nullptr;
    Node* firstChild_ = nullptr;
    Node* lastChild_ = nullptr;
    Node* previous_ = nullptr;
    Node* next_ = nullptr;
    Node* firstAttribute_ = nullptr;
    Node* lastAttribute_ = nullptr;
    uint32_t sourceOffset_ = 0;
    uint32_t sourceEndOffset_ = 0;
    uint32_t order_ = 0;
};

// Document-order walk that visits every descendant of root (not root itself),
// without recursion. Attributes are not visited.
Node* NextInSubtree(const Node& root, const Node& current);

}  // namespace msxml_core
