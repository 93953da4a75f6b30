// The document object the COM DOMDocument wraps: loading (text or bytes),
// validation while parsing, the parse error of the last load, selection with
// the document's SelectionLanguage and SelectionNamespaces, and writing.
//
// Ownership: the current tree is shared (node wrappers of the COM layer hold it),
// so a new load never invalidates a node handed out before; a failed load
// leaves an empty tree in place, as MSXML leaves the document empty. The schema
// collection is shared with the COM XMLSchemaCache object it was attached from.
// Single-threaded: one apartment thread uses a document at a time.
#pragma once

#include "ParseError.h"
#include "SchemaCollection.h"
#include "Selection.h"
#include "Tree.h"
#include "TypedValue.h"
#include "XdrValidator.h"

#include <memory>
#include <string>
#include <vector>

namespace msxml_core {

class Document {
public:
    Document();

    // Properties, MSXML 3 defaults: validateOnParse true, preserveWhiteSpace
    // false, SelectionLanguage XSLPattern, no SelectionNamespaces.
    bool ValidateOnParse() const { return validateOnParse_; }
    void SetValidateOnParse(bool validate) { validateOnParse_ = validate; }
    bool PreserveWhiteSpace() const { return preserveWhiteSpace_; }
    void SetPreserveWhiteSpace(bool preserve);
    SelectionLanguage GetSelectionLanguage() const { return selectionLanguage_; }
    void SetSelectionLanguage(SelectionLanguage language) { selectionLanguage_ = language; }
    const XmlString& SelectionNamespacesText() const { return selectionNamespacesText_; }
    // False (and no change) for text that is not a list of xmlns declarations.
    bool SetSelectionNamespaces(XmlStringView text);

    void SetSchemas(std::shared_ptr<SchemaCollection> schemas) { schemas_ = std::move(schemas); }
    const std::shared_ptr<SchemaCollection>& Schemas() const { return schemas_; }
    void SetSchemaLoader(SchemaLoader loader) { loader_ = std::move(loader); }

    // loadXML: false when the text does not parse or validate; LastError() says why.
    bool LoadXml(XmlStringView text);
    // load: the bytes of a file (encoding detected); url is reported in the error.
    bool LoadBytes(const uint8_t* data, size_t size, XmlStringView url);
    // validate(): validates the current tree; the tree is kept either way.
    bool Validate();
    const ParseError& LastError() const { return error_; }

    const std::shared_ptr<Tree>& GetTree() const { return tree_; }
    Node& DocumentNode() { return tree_->DocumentNode(); }

    XmlString Xml() const;
    std::string Save() const;

    // selectNodes / selectSingleNode with this document's language and
    // namespaces. False with a reason for an invalid expression.
    bool SelectNodes(Node& context, XmlStringView expression, std::vector<Node*>& nodes,
                     XmlString& reason) const;
    bool SelectSingleNode(Node& context, XmlStringView expression, Node*& node, XmlString& reason) const;

    // nodeTypedValue: the value in the node's data type, the text when untyped.
    // False when the text is not a value of the type (after an edit).
    static bool GetTypedValue(const Node& node, TypedValue& value);

private:
    bool ParseAndValidate(XmlStringView text);
    void FailOutOfMemory();
    void ResetTree();

    bool validateOnParse_ = true;
    bool preserveWhiteSpace_ = false;
    SelectionLanguage selectionLanguage_ = SelectionLanguage::XslPattern;
    XmlString selectionNamespacesText_;
    NamespaceBindings selectionNamespaces_;
    std::shared_ptr<SchemaCollection> schemas_;
    SchemaCollection loadedSchemas_;
    SchemaLoader loader_;
    std::shared_ptr<Tree> tree_;
    ParseError error_;
};

}  // namespace msxml_core
