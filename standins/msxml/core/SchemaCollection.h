// The schemas of an XMLSchemaCache: namespace -> compiled XDR schema.
//
// Each entry is compiled once, when it is added; loads only read the compiled
// form. Entries keep their insertion order (namespaceURI(i) answers in it), and
// adding a namespace again replaces its entry in place, as MSXML does.
// Compiled schemas are shared (shared_ptr) so that a copy made with
// AddCollection or a validation in progress stays valid after a remove.
#pragma once

#include "ParseError.h"
#include "XdrSchema.h"

#include <memory>
#include <string>
#include <vector>

namespace msxml_core {

class SchemaCollection {
public:
    // Adds the schema document (already parsed) under the namespace. On failure
    // the collection is unchanged and error says why.
    bool Add(XmlStringView namespaceUri, const std::shared_ptr<Tree>& schemaDocument, ParseError& error);
    // Parses the bytes of a schema file (no validation) and adds it.
    bool AddFromBytes(XmlStringView namespaceUri, const std::string& bytes, ParseError& error);
    // Copies every entry of another collection (replacing equal namespaces).
    void AddCollection(const SchemaCollection& other);
    // Keeps an already compiled schema (used for schemas a document loads itself).
    void AddCompiled(std::shared_ptr<const XdrSchema> schema);

    bool Remove(XmlStringView namespaceUri);
    size_t Length() const { return entries_.size(); }
    // Empty view when the index is out of range.
    XmlStringView NamespaceUriAt(size_t index) const;
    std::shared_ptr<const XdrSchema> Find(XmlStringView namespaceUri) const;
    // The schema document of a namespace (the collection's get()); null when absent.
    std::shared_ptr<Tree> GetDocument(XmlStringView namespaceUri) const;

private:
    std::vector<std::shared_ptr<const XdrSchema>> entries_;
};

}  // namespace msxml_core
