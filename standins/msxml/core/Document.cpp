#include "Document.h"

#include "Parser.h"
#include "TextEncoding.h"
#include "Writer.h"

#include <new>

namespace msxml_core {

Document::Document() : tree_(std::make_shared<Tree>()) {}

void Document::SetPreserveWhiteSpace(bool preserve) {
    preserveWhiteSpace_ = preserve;
    tree_->SetPreserveWhiteSpace(preserve);
}

bool Document::SetSelectionNamespaces(XmlStringView text) {
    NamespaceBindings bindings;
    if (!Selection::ParseSelectionNamespaces(text, bindings)) return false;
    selectionNamespaces_.swap(bindings);
    selectionNamespacesText_.assign(text);
    return true;
}

void Document::ResetTree() {
    tree_ = std::make_shared<Tree>();
    tree_->SetPreserveWhiteSpace(preserveWhiteSpace_);
}

bool Document::ParseAndValidate(XmlStringView text) {
    auto tree = std::make_shared<Tree>();
    tree->SetPreserveWhiteSpace(preserveWhiteSpace_);
    Parser parser(text, *tree, error_);
    if (!parser.Parse()) {
        ResetTree();
        return false;
    }
    if (validateOnParse_) {
        XdrValidator validator(schemas_.get(), loadedSchemas_, loader_, text, error_);
        if (!validator.Validate(*tree)) {
            ResetTree();
            return false;
        }
    }
    tree_ = std::move(tree);
    return true;
}

bool Document::LoadXml(XmlStringView text) {
    error_.Clear();
    // A huge document of tiny elements can exhaust memory (above all in a 32-bit
    // process): that is a failed load with E_OUTOFMEMORY, not an exception.
    try {
        return ParseAndValidate(text);
    } catch (const std::bad_alloc&) {
        FailOutOfMemory();
        return false;
    }
}

bool Document::LoadBytes(const uint8_t* data, size_t size, XmlStringView url) {
    error_.Clear();
    bool loaded;
    try {
        XmlString text;
        loaded = TextEncoding::Decode(data, size, text, error_) && ParseAndValidate(text);
    } catch (const std::bad_alloc&) {
        FailOutOfMemory();
        loaded = false;
    }
    if (!loaded) {
        ResetTree();
        error_.url.assign(url);
    }
    return loaded;
}

void Document::FailOutOfMemory() {
    error_.Clear();
    error_.errorCode = codes::kOutOfMemory;
    error_.reason = u"Not enough memory to load the document.\n";
    ResetTree();
}

bool Document::Validate() {
    error_.Clear();
    XdrValidator validator(schemas_.get(), loadedSchemas_, loader_, XmlStringView(), error_);
    return validator.Validate(*tree_);
}

XmlString Document::Xml() const { return Writer::Xml(tree_->DocumentNode()); }

std::string Document::Save() const { return Writer::Save(tree_->DocumentNode()); }

bool Document::SelectNodes(Node& context, XmlStringView expression, std::vector<Node*>& nodes,
                           XmlString& reason) const {
    nodes.clear();
    Selection selection;
    if (!Selection::Compile(expression, selectionLanguage_, selectionNamespaces_, selection, reason))
        return false;
    nodes = selection.SelectNodes(context);
    return true;
}

bool Document::SelectSingleNode(Node& context, XmlStringView expression, Node*& node,
                                XmlString& reason) const {
    node = nullptr;
    Selection selection;
    if (!Selection::Compile(expression, selectionLanguage_, selectionNamespaces_, selection, reason))
        return false;
    node = selection.SelectSingleNode(context);
    return true;
}

bool Document::GetTypedValue(const Node& node, TypedValue& value) {
    if (node.GetDataType() == DataType::None) {
        value = TypedValue();
        value.kind = TypedValue::Kind::String;
        value.text = node.Text();
        return true;
    }
    XmlString text;
    if (node.HasValue()) {
        text = node.Value();
    } else {
        for (const Node* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
            if (child->Type() == NodeType::Text || child->Type() == NodeType::CDataSection)
                text.append(child->Value());
        }
    }
    return ParseTypedValue(node.GetDataType(), text, value);
}

}  // namespace msxml_core
