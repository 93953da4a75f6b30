#include "standins/msxml/NodeImporter.h"

#include <unordered_map>

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

mc::Node* CreateLike(const mc::Node& source, mc::Tree& target) {
    const mc::QualifiedName* name = source.Name();
    switch (source.Type()) {
        case mc::NodeType::Element:
            return target.CreateElement(name->qualified, name->namespaceUri);
        case mc::NodeType::Attribute: {
            mc::Node* attribute = target.CreateAttribute(name->qualified, name->namespaceUri);
            if (attribute && target.SetValue(*attribute, source.Value()) != mc::EditStatus::Ok)
                return nullptr;
            return attribute;
        }
        case mc::NodeType::Text:
            return target.CreateTextNode(source.Value());
        case mc::NodeType::CDataSection:
            return target.CreateCDataSection(source.Value());
        case mc::NodeType::Comment:
            return target.CreateComment(source.Value());
        case mc::NodeType::ProcessingInstruction:
            return target.CreateProcessingInstruction(name->qualified, source.Value());
        case mc::NodeType::DocumentFragment:
            return target.CreateDocumentFragment();
        case mc::NodeType::Document:
            return nullptr;
    }
    return nullptr;
}

}  // namespace

mc::Node* NodeImporter::CopyOne(const mc::Node& source, mc::Tree& target, NodePairs* pairs) {
    mc::Node* copy = CreateLike(source, target);
    if (!copy) return nullptr;
    target.SetDataType(*copy, source.GetDataType());
    if (pairs) pairs->emplace_back(&source, copy);
    if (source.Type() == mc::NodeType::Element && !CopyAttributes(source, *copy, target, pairs))
        return nullptr;
    return copy;
}

bool NodeImporter::CopyAttributes(const mc::Node& source, mc::Node& copy, mc::Tree& target,
                                  NodePairs* pairs) {
    for (const mc::Node* attribute = source.FirstAttribute(); attribute;
         attribute = attribute->NextSibling()) {
        const mc::QualifiedName* name = attribute->Name();
        mc::Node* copied = nullptr;
        if (attribute->IsSpecified()) {
            copied = CopyOne(*attribute, target, nullptr);
            if (!copied || target.SetAttributeNode(copy, *copied) != mc::EditStatus::Ok) return false;
        } else {
            // A schema default stays a default: the writer leaves it out.
            copied =
                target.AddDefaultAttribute(copy, name->qualified, name->namespaceUri, attribute->Value());
            if (!copied) return false;
        }
        target.SetDataType(*copied, attribute->GetDataType());
        if (pairs) pairs->emplace_back(attribute, copied);
    }
    return true;
}

mc::Node* NodeImporter::Copy(const mc::Node& source, mc::Tree& target, bool deep, NodePairs* pairs) {
    mc::Node* root = CopyOne(source, target, pairs);
    if (!root || !deep) return root;
    std::unordered_map<const mc::Node*, mc::Node*> copies;
    copies.emplace(&source, root);
    for (const mc::Node* node = mc::NextInSubtree(source, source); node;
         node = mc::NextInSubtree(source, *node)) {
        mc::Node* copy = CopyOne(*node, target, pairs);
        if (!copy) return nullptr;
        copies.emplace(node, copy);
        if (target.AppendChild(*copies.at(node->Parent()), *copy) != mc::EditStatus::Ok) return nullptr;
    }
    return root;
}

}  // namespace msxml_standin
