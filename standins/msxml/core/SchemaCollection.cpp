#include "SchemaCollection.h"

#include "Parser.h"
#include "TextEncoding.h"
#include "Tree.h"
#include "XdrSchemaCompiler.h"

namespace msxml_core {

bool SchemaCollection::Add(XmlStringView namespaceUri, const std::shared_ptr<Tree>& schemaDocument,
                           ParseError& error) {
    std::shared_ptr<const XdrSchema> schema = XdrSchemaCompiler::Compile(schemaDocument, namespaceUri, error);
    if (!schema) return false;
    AddCompiled(std::move(schema));
    return true;
}

bool SchemaCollection::AddFromBytes(XmlStringView namespaceUri, const std::string& bytes, ParseError& error) {
    error.Clear();
    XmlString text;
    if (!TextEncoding::Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), text, error))
        return false;
    auto tree = std::make_shared<Tree>();
    Parser parser(text, *tree, error);
    if (!parser.Parse()) return false;
    return Add(namespaceUri, tree, error);
}

void SchemaCollection::AddCompiled(std::shared_ptr<const XdrSchema> schema) {
    for (auto& entry : entries_) {
        if (entry->NamespaceUri() == schema->NamespaceUri()) {
            entry = std::move(schema);
            return;
        }
    }
    entries_.push_back(std::move(schema));
}

void SchemaCollection::AddCollection(const SchemaCollection& other) {
    if (&other == this) return;
    for (const auto& entry : other.entries_) AddCompiled(entry);
}

bool SchemaCollection::Remove(XmlStringView namespaceUri) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if ((*it)->NamespaceUri() == namespaceUri) {
            entries_.erase(it);
            return true;
        }
    }
    return false;
}

XmlStringView SchemaCollection::NamespaceUriAt(size_t index) const {
    return index < entries_.size() ? XmlStringView(entries_[index]->NamespaceUri()) : XmlStringView();
}

std::shared_ptr<const XdrSchema> SchemaCollection::Find(XmlStringView namespaceUri) const {
    for (const auto& entry : entries_) {
        if (entry->NamespaceUri() == namespaceUri) return entry;
    }
    return nullptr;
}

std::shared_ptr<Tree> SchemaCollection::GetDocument(XmlStringView namespaceUri) const {
    std::shared_ptr<const XdrSchema> schema = Find(namespaceUri);
    return schema ? schema->Document() : nullptr;
}

}  // namespace msxml_core
