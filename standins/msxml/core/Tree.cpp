#include "Tree.h"

#include "XmlChars.h"

namespace msxml_core {

const XmlStringView kXmlNamespaceUri = u"http://www.w3.org/XML/1998/namespace";
const XmlStringView kXmlnsNamespaceUri = u"http://www.w3.org/2000/xmlns/";

Tree::Tree() { document_ = &NewNode(NodeType::Document, nullptr); }

Node& Tree::NewNode(NodeType type, const QualifiedName* name) {
    orderDirty_ = true;
    return arena_.emplace_back(*this, type, name);
}

const QualifiedName* Tree::CheckedName(XmlStringView qualifiedName, XmlStringView namespaceUri) {
    if (!IsXmlName(qualifiedName)) return nullptr;
    size_t colon = qualifiedName.find(u':');
    if (colon != XmlStringView::npos) {
        if (colon == 0 || colon + 1 == qualifiedName.size() ||
            qualifiedName.find(u':', colon + 1) != XmlStringView::npos)
            return nullptr;
    }
    return names_.Intern(qualifiedName, namespaceUri);
}

Node* Tree::CreateElement(XmlStringView qualifiedName, XmlStringView namespaceUri) {
    const QualifiedName* name = CheckedName(qualifiedName, namespaceUri);
    return name == nullptr ? nullptr : &NewNode(NodeType::Element, name);
}

Node* Tree::CreateAttribute(XmlStringView qualifiedName, XmlStringView namespaceUri) {
    XmlStringView uri = namespaceUri;
    if (qualifiedName == u"xmlns" || qualifiedName.substr(0, 6) == u"xmlns:")
        uri = kXmlnsNamespaceUri;
    else if (qualifiedName.substr(0, 4) == u"xml:")
        uri = kXmlNamespaceUri;
    const QualifiedName* name = CheckedName(qualifiedName, uri);
    return name == nullptr ? nullptr : &NewNode(NodeType::Attribute, name);
}

Node* Tree::CreateTextNode(XmlStringView text) {
    Node& node = NewNode(NodeType::Text, nullptr);
    node.value_.assign(text);
    return &node;
}

Node* Tree::CreateCDataSection(XmlStringView text) {
    Node& node = NewNode(NodeType::CDataSection, nullptr);
    node.value_.assign(text);
    return &node;
}

Node* Tree::CreateComment(XmlStringView text) {
    Node& node = NewNode(NodeType::Comment, nullptr);
    node.value_.assign(text);
    return &node;
}

Node* Tree::CreateProcessingInstruction(XmlStringView target, XmlStringView data) {
    if (!IsXmlName(target)) return nullptr;
    Node& node = NewNode(NodeType::ProcessingInstruction, names_.Intern(target, {}));
    node.value_.assign(data);
    return &node;
}

Node* Tree::CreateDocumentFragment() { return &NewNode(NodeType::DocumentFragment, nullptr); }

void Tree::LinkLastChild(Node& parent, Node& child) {
    child.parent_ = &parent;
    child.next_ = nullptr;
    child.previous_ = parent.lastChild_;
    if (parent.lastChild_ != nullptr)
        parent.lastChild_->next_ = &child;
    else
        parent.firstChild_ = &child;
    parent.lastChild_ = &child;
    orderDirty_ = true;
}

void Tree::LinkLastAttribute(Node& element, Node& attribute) {
    attribute.parent_ = &element;
    attribute.next_ = nullptr;
    attribute.previous_ = element.lastAttribute_;
    if (element.lastAttribute_ != nullptr)
        element.lastAttribute_->next_ = &attribute;
    else
        element.firstAttribute_ = &attribute;
    element.lastAttribute_ = &attribute;
    orderDirty_ = true;
}

void Tree::LinkBefore(Node& parent, Node& child, Node* reference) {
    if (reference == nullptr) {
        LinkLastChild(parent, child);
        return;
    }
    child.parent_ = &parent;
    child.next_ = reference;
    child.previous_ = reference->previous_;
    if (reference->previous_ != nullptr)
        reference->previous_->next_ = &child;
    else
        parent.firstChild_ = &child;
    reference->previous_ = &child;
    orderDirty_ = true;
}

void Tree::Unlink(Node& child) {
    Node* parent = child.parent_;
    if (parent == nullptr) return;
    bool isAttribute = child.type_ == NodeType::Attribute;
    Node*& first = isAttribute ? parent->firstAttribute_ : parent->firstChild_;
    Node*& last = isAttribute ? parent->lastAttribute_ : parent->lastChild_;
    if (child.previous_ != nullptr)
        child.previous_->next_ = child.next_;
    else
        first = child.next_;
    if (child.next_ != nullptr)
        child.next_->previous_ = child.previous_;
    else
        last = child.previous_;
    child.parent_ = child.previous_ = child.next_ = nullptr;
    orderDirty_ = true;
}

EditStatus Tree::CheckInsert(const Node& parent, const Node& child, const Node* replacing) const {
    if (child.tree_ != this || parent.tree_ != this) return EditStatus::WrongTree;
    if (parent.type_ != NodeType::Element && parent.type_ != NodeType::Document &&
        parent.type_ != NodeType::DocumentFragment)
        return EditStatus::HierarchyRequest;
    if (child.type_ == NodeType::Document || child.type_ == NodeType::Attribute)
        return EditStatus::HierarchyRequest;
    if (&child == &parent || child.IsAncestorOf(parent)) return EditStatus::HierarchyRequest;
    if (parent.type_ != NodeType::Document) return EditStatus::Ok;

    // A document holds one element and no text; a fragment brings its children.
    size_t newElements = 0;
    if (child.type_ == NodeType::DocumentFragment) {
        for (const Node* node = child.firstChild_; node != nullptr; node = node->next_) {
            if (node->type_ == NodeType::Text || node->type_ == NodeType::CDataSection)
                return EditStatus::HierarchyRequest;
            newElements += node->type_ == NodeType::Element ? 1 : 0;
        }
    } else if (child.type_ == NodeType::Text || child.type_ == NodeType::CDataSection) {
        return EditStatus::HierarchyRequest;
    } else {
        newElements = child.type_ == NodeType::Element ? 1 : 0;
    }
    const Node* existing = parent.DocumentElement();
    if (existing == &child || existing == replacing) existing = nullptr;
    if (newElements + (existing != nullptr ? 1 : 0) > 1) return EditStatus::HierarchyRequest;
    return EditStatus::Ok;
}

EditStatus Tree::AppendChild(Node& parent, Node& child) { return InsertBefore(parent, child, nullptr); }

EditStatus Tree::InsertBefore(Node& parent, Node& child, Node* reference) {
    EditStatus status = CheckInsert(parent, child, nullptr);
    if (status != EditStatus::Ok) return status;
    if (reference != nullptr && (reference->parent_ != &parent || reference->type_ == NodeType::Attribute))
        return EditStatus::NotAChild;
    if (reference == &child) return EditStatus::Ok;
    if (child.type_ == NodeType::DocumentFragment) {
        while (Node* moved = child.firstChild_) {
            Unlink(*moved);
            LinkBefore(parent, *moved, reference);
        }
        return EditStatus::Ok;
    }
    Unlink(child);
    LinkBefore(parent, child, reference);
    return EditStatus::Ok;
}

EditStatus Tree::RemoveChild(Node& parent, Node& child) {
    if (child.tree_ != this || parent.tree_ != this) return EditStatus::WrongTree;
    if (child.parent_ != &parent || child.type_ == NodeType::Attribute) return EditStatus::NotAChild;
    Unlink(child);
    return EditStatus::Ok;
}

bool Tree::LookupNamespaceUri(const Node& node, XmlStringView prefix, XmlStringView& uri) const {
    if (prefix == u"xml") {
        uri = kXmlNamespaceUri;
        return true;
    }
    const Node* scope = node.type_ == NodeType::Attribute ? node.parent_ : &node;
    for (; scope != nullptr; scope = scope->parent_) {
        if (scope->type_ != NodeType::Element) continue;
        for (const Node* attribute = scope->firstAttribute_; attribute != nullptr;
             attribute = attribute->next_) {
            const QualifiedName& name = *attribute->name_;
            bool declares = prefix.empty() ? (name.qualified == u"xmlns")
                                           : (name.prefix == u"xmlns" && name.localName == prefix);
            if (declares) {
                uri = attribute->value_;
                return !(uri.empty() && !prefix.empty());
            }
        }
        // An element's own name carries its namespace even when it was created
        // with createNode rather than declared by an attribute.
        if (!prefix.empty() && scope->name_->prefix == prefix) {
            uri = scope->name_->namespaceUri;
            return true;
        }
    }
    if (prefix.empty()) {
        uri = {};
        return true;
    }
    return false;
}

EditStatus Tree::SetAttribute(Node& element, XmlStringView qualifiedName, XmlStringView value) {
    if (element.tree_ != this) return EditStatus::WrongTree;
    if (element.type_ != NodeType::Element) return EditStatus::NotAllowed;
    if (Node* existing = element.FindAttribute(qualifiedName)) {
        existing->value_.assign(value);
        return EditStatus::Ok;
    }
    XmlStringView uri;
    size_t colon = qualifiedName.find(u':');
    if (colon != XmlStringView::npos && qualifiedName.substr(0, colon) != u"xmlns")
        LookupNamespaceUri(element, qualifiedName.substr(0, colon), uri);
    Node* attribute = CreateAttribute(qualifiedName, uri);
    if (attribute == nullptr) return EditStatus::InvalidArgument;
    attribute->value_.assign(value);
    LinkLastAttribute(element, *attribute);
    return EditStatus::Ok;
}

Node* Tree::AddDefaultAttribute(Node& element, XmlStringView qualifiedName, XmlStringView namespaceUri,
                                XmlStringView value) {
    Node* attribute = CreateAttribute(qualifiedName, namespaceUri);
    if (attribute == nullptr) return nullptr;
    attribute->value_.assign(value);
    attribute->specified_ = false;
    LinkLastAttribute(element, *attribute);
    return attribute;
}

EditStatus Tree::SetAttributeNode(Node& element, Node& attribute) {
    if (element.tree_ != this || attribute.tree_ != this) return EditStatus::WrongTree;
    if (element.type_ != NodeType::Element || attribute.type_ != NodeType::Attribute)
        return EditStatus::NotAllowed;
    if (attribute.parent_ == &element) return EditStatus::Ok;
    if (attribute.parent_ != nullptr) return EditStatus::HierarchyRequest;  // in use by another element
    Node* existing = element.FindAttribute(attribute.name_->namespaceUri, attribute.name_->localName);
    if (existing == nullptr) existing = element.FindAttribute(attribute.name_->qualified);
    if (existing != nullptr) Unlink(*existing);
    LinkLastAttribute(element, attribute);
    return EditStatus::Ok;
}

EditStatus Tree::RemoveAttribute(Node& element, XmlStringView qualifiedName) {
    if (element.tree_ != this) return EditStatus::WrongTree;
    if (element.type_ != NodeType::Element) return EditStatus::NotAllowed;
    if (Node* existing = element.FindAttribute(qualifiedName)) Unlink(*existing);
    return EditStatus::Ok;
}

EditStatus Tree::SetText(Node& node, XmlStringView text) {
    if (node.tree_ != this) return EditStatus::WrongTree;
    if (node.HasValue()) {
        node.value_.assign(text);
        return EditStatus::Ok;
    }
    if (node.type_ == NodeType::Document) return EditStatus::NotAllowed;
    while (Node* child = node.firstChild_) Unlink(*child);
    if (!text.empty()) LinkLastChild(node, *CreateTextNode(text));
    return EditStatus::Ok;
}

EditStatus Tree::SetValue(Node& node, XmlStringView value) {
    if (node.tree_ != this) return EditStatus::WrongTree;
    if (!node.HasValue()) return EditStatus::NotAllowed;
    node.value_.assign(value);
    return EditStatus::Ok;
}

void Tree::EnsureDocumentOrder(const Node& member) {
    const Node& root = member.Root();
    if (!orderDirty_ && orderRoot_ == &root) return;
    uint32_t order = 0;
    Node& start = const_cast<Node&>(root);
    for (Node* node = &start; node != nullptr; node = NextInSubtree(start, *node)) {
        node->order_ = order++;
        for (Node* attribute = node->firstAttribute_; attribute != nullptr; attribute = attribute->next_)
            attribute->order_ = order++;
    }
    orderDirty_ = false;
    orderRoot_ = &root;
}

}  // namespace msxml_core
