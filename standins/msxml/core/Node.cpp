#include "Node.h"

#include "Tree.h"

namespace msxml_core {

Node::Node(Tree& tree, NodeType type, const QualifiedName* name) : tree_(&tree), type_(type), name_(name) {}

XmlStringView Node::NodeName() const {
    switch (type_) {
        case NodeType::Element:
        case NodeType::Attribute:
        case NodeType::ProcessingInstruction:
            return name_->qualified;
        case NodeType::Text:
            return u"#text";
        case NodeType::CDataSection:
            return u"#cdata-section";
        case NodeType::Comment:
            return u"#comment";
        case NodeType::Document:
            return u"#document";
        case NodeType::DocumentFragment:
            return u"#document-fragment";
    }
    return {};
}

XmlStringView Node::Prefix() const {
    return (type_ == NodeType::Element || type_ == NodeType::Attribute) ? XmlStringView(name_->prefix)
                                                                        : XmlStringView();
}

XmlStringView Node::LocalName() const {
    if (type_ == NodeType::Element || type_ == NodeType::Attribute) return name_->localName;
    if (type_ == NodeType::ProcessingInstruction) return name_->qualified;
    return {};
}

XmlStringView Node::NamespaceUri() const {
    return (type_ == NodeType::Element || type_ == NodeType::Attribute) ? XmlStringView(name_->namespaceUri)
                                                                        : XmlStringView();
}

size_t Node::ChildCount() const {
    size_t count = 0;
    for (const Node* child = firstChild_; child != nullptr; child = child->next_) ++count;
    return count;
}

Node* Node::ChildAt(size_t index) const {
    Node* child = firstChild_;
    while (child != nullptr && index-- > 0) child = child->next_;
    return child;
}

size_t Node::AttributeCount() const {
    size_t count = 0;
    for (const Node* attribute = firstAttribute_; attribute != nullptr; attribute = attribute->next_) ++count;
    return count;
}

Node* Node::AttributeAt(size_t index) const {
    Node* attribute = firstAttribute_;
    while (attribute != nullptr && index-- > 0) attribute = attribute->next_;
    return attribute;
}

Node* Node::FindAttribute(XmlStringView qualifiedName) const {
    for (Node* attribute = firstAttribute_; attribute != nullptr; attribute = attribute->next_) {
        if (attribute->name_->qualified == qualifiedName) return attribute;
    }
    return nullptr;
}

Node* Node::FindAttribute(XmlStringView namespaceUri, XmlStringView localName) const {
    for (Node* attribute = firstAttribute_; attribute != nullptr; attribute = attribute->next_) {
        if (attribute->name_->localName == localName && attribute->name_->namespaceUri == namespaceUri)
            return attribute;
    }
    return nullptr;
}

Node* Node::DocumentElement() const {
    for (Node* child = firstChild_; child != nullptr; child = child->next_) {
        if (child->type_ == NodeType::Element) return child;
    }
    return nullptr;
}

bool Node::HasValue() const {
    return type_ != NodeType::Element && type_ != NodeType::Document && type_ != NodeType::DocumentFragment;
}

XmlString Node::Text() const {
    if (HasValue()) return value_;
    XmlString text;
    for (const Node* node = firstChild_; node != nullptr; node = NextInSubtree(*this, *node)) {
        if (node->type_ == NodeType::Text || node->type_ == NodeType::CDataSection) text.append(node->value_);
    }
    if (!tree_->PreserveWhiteSpace()) {
        XmlStringView trimmed = TrimXmlWhitespace(text);
        if (trimmed.size() != text.size()) return XmlString(trimmed);
    }
    return text;
}

bool Node::IsAncestorOf(const Node& other) const {
    for (const Node* node = other.parent_; node != nullptr; node = node->parent_) {
        if (node == this) return true;
    }
    return false;
}

const Node& Node::Root() const {
    const Node* node = this;
    while (node->parent_ != nullptr) node = node->parent_;
    return *node;
}

Node* NextInSubtree(const Node& root, const Node& current) {
    if (current.FirstChild() != nullptr) return current.FirstChild();
    const Node* node = &current;
    while (node != &root) {
        if (node->NextSibling() != nullptr) return node->NextSibling();
        node = node->Parent();
        if (node == nullptr) return nullptr;
    }
    return nullptr;
}

}  // namespace msxml_core
