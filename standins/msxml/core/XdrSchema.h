// A compiled XDR schema (urn:schemas-microsoft-com:xml-data).
//
// Built once per schema-collection entry by XdrSchemaCompiler and then only read,
// so one compiled schema may serve any number of loads. References to types of
// other schemas (through their "x-schema:" prefixes) are kept as namespace and
// name and resolved when a document is validated, because the other schema may
// be added to the collection later.
#pragma once

#include "DataType.h"
#include "XmlString.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

namespace msxml_core {

class Tree;

enum class XdrContent { Empty, TextOnly, EltOnly, Mixed };
enum class XdrOrder { Seq, One, Many };
constexpr uint32_t kXdrUnbounded = UINT32_MAX;

struct XdrFacets {
    DataType dataType = DataType::None;
    std::vector<XmlString> enumeration;  // dt:values
    bool hasMinLength = false;
    bool hasMaxLength = false;
    size_t minLength = 0;
    size_t maxLength = 0;
};

struct XdrAttributeType {
    XmlString name;
    XdrFacets facets;
    bool required = false;
    bool hasDefault = false;
    XmlString defaultValue;
};

// An <attribute type="..."/> of an element type.
struct XdrAttributeUse {
    XmlString typeNamespace;  // namespace of the schema that declares the type
    XmlString typeName;       // its local name
    XmlString displayName;    // as the schema writes it, for messages
    bool qualified = false;   // declared by another schema: the instance attribute carries its namespace
    const XdrAttributeType* sameSchemaType = nullptr;
    bool hasRequired = false;
    bool required = false;
    bool hasDefault = false;
    XmlString defaultValue;
};

// An <element type="..."/> or a <group> of a content model.
struct XdrParticle {
    bool isGroup = false;
    XmlString namespaceUri;  // element particle: the element's namespace
    XmlString localName;
    XmlString displayName;
    XdrOrder order = XdrOrder::Seq;  // group particle
    std::vector<XdrParticle> children;
    uint32_t minOccurs = 1;
    uint32_t maxOccurs = 1;
};

struct XdrElementType {
    XmlString name;
    XdrContent content = XdrContent::Mixed;
    bool closed = false;
    XdrParticle model;  // a group
    XdrFacets facets;
    std::deque<XdrAttributeType> localAttributeTypes;
    std::vector<XdrAttributeUse> attributes;
};

class XdrSchema {
public:
    explicit XdrSchema(XmlString namespaceUri) : namespaceUri_(std::move(namespaceUri)) {}

    const XmlString& NamespaceUri() const { return namespaceUri_; }
    const XdrElementType* FindElementType(XmlStringView name) const;
    const XdrAttributeType* FindAttributeType(XmlStringView name) const;
    // Namespaces of other schemas whose types this one uses.
    const std::vector<XmlString>& ReferencedNamespaces() const { return referencedNamespaces_; }
    // The schema document, kept for the collection's get().
    const std::shared_ptr<Tree>& Document() const { return document_; }

private:
    friend class XdrSchemaCompiler;

    XmlString namespaceUri_;
    std::shared_ptr<Tree> document_;
    std::deque<XdrElementType> elementTypes_;
    std::deque<XdrAttributeType> attributeTypes_;
    std::unordered_map<XmlStringView, const XdrElementType*> elementIndex_;
    std::unordered_map<XmlStringView, const XdrAttributeType*> attributeIndex_;
    std::vector<XmlString> referencedNamespaces_;
};

}  // namespace msxml_core
