#include "XdrSchemaCompiler.h"

#include "Tree.h"
#include "TypedValue.h"

#include <algorithm>

namespace msxml_core {
namespace {

constexpr XmlStringView kXdrNamespace = u"urn:schemas-microsoft-com:xml-data";
constexpr XmlStringView kDataTypesNamespace = u"urn:schemas-microsoft-com:datatypes";
constexpr int kMaxGroupDepth = 64;

bool IsXdr(const Node& node, XmlStringView localName) {
    return node.Type() == NodeType::Element && node.NamespaceUri() == kXdrNamespace &&
           node.LocalName() == localName;
}

const Node* PlainAttribute(const Node& element, XmlStringView name) {
    return element.FindAttribute(XmlStringView(), name);
}

const Node* DataTypeAttribute(const Node& element, XmlStringView name) {
    return element.FindAttribute(kDataTypesNamespace, name);
}

bool ParseLength(XmlStringView text, size_t& length) {
    TypedValue value;
    if (!ParseTypedValue(DataType::UI4, text, value)) return false;
    length = static_cast<size_t>(value.unsignedInteger);
    return true;
}

}  // namespace

std::shared_ptr<const XdrSchema> XdrSchemaCompiler::Compile(const std::shared_ptr<Tree>& document,
                                                            XmlStringView namespaceUri, ParseError& error) {
    error.Clear();
    auto schema = std::make_shared<XdrSchema>(XmlString(namespaceUri));
    schema->document_ = document;
    XdrSchemaCompiler compiler(*schema, error);
    const Node* root = document ? document->DocumentNode().DocumentElement() : nullptr;
    if (root == nullptr || !IsXdr(*root, u"Schema")) {
        compiler.Fail(codes::kSchemaInvalid, u"the document element is not an XDR Schema element");
        return nullptr;
    }
    if (!compiler.Run(*root)) return nullptr;
    return schema;
}

bool XdrSchemaCompiler::Fail(ErrorCode code, XmlStringView arg1, XmlStringView arg2) {
    error_.errorCode = code;
    error_.reason = FormatReason(code, arg1, arg2);
    return false;
}

bool XdrSchemaCompiler::Run(const Node& root) {
    // Pass 1: names of the top-level declarations.
    std::vector<std::pair<const Node*, XdrElementType*>> elementDeclarations;
    for (const Node* child = root.FirstChild(); child != nullptr; child = child->NextSibling()) {
        bool isElementType = IsXdr(*child, u"ElementType");
        if (!isElementType && !IsXdr(*child, u"AttributeType")) continue;
        const Node* name = PlainAttribute(*child, u"name");
        if (name == nullptr || name->Value().empty())
            return Fail(codes::kSchemaInvalid, u"a declaration has no name");
        if (isElementType) {
            if (schema_.FindElementType(name->Value()) != nullptr)
                return Fail(codes::kSchemaDuplicateDeclaration, name->Value());
            XdrElementType& type = schema_.elementTypes_.emplace_back();
            type.name = name->Value();
            schema_.elementIndex_.emplace(XmlStringView(type.name), &type);
            elementDeclarations.emplace_back(child, &type);
        } else {
            if (schema_.FindAttributeType(name->Value()) != nullptr)
                return Fail(codes::kSchemaDuplicateDeclaration, name->Value());
            XdrAttributeType& type = schema_.attributeTypes_.emplace_back();
            if (!CompileAttributeType(*child, type)) return false;
            schema_.attributeIndex_.emplace(XmlStringView(type.name), &type);
        }
    }
    // Pass 2: bodies.
    for (auto& [declaration, type] : elementDeclarations) {
        if (!CompileElementType(*declaration, *type)) return false;
    }
    for (const XdrElementType& type : schema_.elementTypes_) {
        if (!CheckElementReferences(type.model)) return false;
    }
    return true;
}

bool XdrSchemaCompiler::ReadFacets(const Node& declaration, XdrFacets& facets) {
    // dt:* on the declaration itself or on a nested <datatype> element.
    const Node* sources[2] = {&declaration, nullptr};
    for (const Node* child = declaration.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsXdr(*child, u"datatype")) sources[1] = child;
    }
    for (const Node* source : sources) {
        if (source == nullptr) continue;
        if (const Node* type = DataTypeAttribute(*source, u"type")) {
            if (!DataTypeFromName(TrimXmlWhitespace(type->Value()), facets.dataType))
                return Fail(codes::kDataTypeUnknown, type->Value());
        }
        if (const Node* values = DataTypeAttribute(*source, u"values")) {
            facets.enumeration.clear();
            XmlStringView list = values->Value();
            size_t pos = 0;
            while (pos < list.size()) {
                while (pos < list.size() && IsXmlWhitespace(list[pos])) ++pos;
                size_t start = pos;
                while (pos < list.size() && !IsXmlWhitespace(list[pos])) ++pos;
                if (pos > start) facets.enumeration.emplace_back(list.substr(start, pos - start));
            }
        }
        if (const Node* minimum = DataTypeAttribute(*source, u"minLength")) {
            if (!ParseLength(minimum->Value(), facets.minLength))
                return Fail(codes::kSchemaAttributeInvalid, u"dt:minLength", minimum->Value());
            facets.hasMinLength = true;
        }
        if (const Node* maximum = DataTypeAttribute(*source, u"maxLength")) {
            if (!ParseLength(maximum->Value(), facets.maxLength))
                return Fail(codes::kSchemaAttributeInvalid, u"dt:maxLength", maximum->Value());
            facets.hasMaxLength = true;
        }
    }
    if (facets.dataType == DataType::Enumeration && facets.enumeration.empty())
        return Fail(codes::kSchemaAttributeInvalid, u"dt:values", u"");
    return true;
}

bool XdrSchemaCompiler::CompileAttributeType(const Node& declaration, XdrAttributeType& type) {
    const Node* name = PlainAttribute(declaration, u"name");
    if (name == nullptr || name->Value().empty())
        return Fail(codes::kSchemaInvalid, u"an AttributeType has no name");
    type.name = name->Value();
    if (const Node* required = PlainAttribute(declaration, u"required")) {
        if (required->Value() != u"yes" && required->Value() != u"no")
            return Fail(codes::kSchemaAttributeInvalid, u"required", required->Value());
        type.required = required->Value() == u"yes";
    }
    if (const Node* defaultValue = PlainAttribute(declaration, u"default")) {
        type.hasDefault = true;
        type.defaultValue = defaultValue->Value();
    }
    return ReadFacets(declaration, type.facets);
}

bool XdrSchemaCompiler::ResolveTypeName(const Node& at, XmlStringView written, XmlString& namespaceUri,
                                        XmlString& localName) {
    XmlStringView name = TrimXmlWhitespace(written);
    size_t colon = name.find(u':');
    if (colon == XmlStringView::npos) {
        namespaceUri = schema_.namespaceUri_;
        localName.assign(name);
        return !name.empty();
    }
    XmlStringView uri;
    if (!at.OwnerTree().LookupNamespaceUri(at, name.substr(0, colon), uri))
        return Fail(codes::kUndeclaredPrefix, name.substr(0, colon));
    namespaceUri.assign(uri);
    localName.assign(name.substr(colon + 1));
    if (namespaceUri != schema_.namespaceUri_ &&
        std::find(schema_.referencedNamespaces_.begin(), schema_.referencedNamespaces_.end(), namespaceUri) ==
            schema_.referencedNamespaces_.end())
        schema_.referencedNamespaces_.push_back(namespaceUri);
    return true;
}

bool XdrSchemaCompiler::CompileAttributeUse(const Node& reference, const XdrElementType& owner,
                                            XdrAttributeUse& use) {
    const Node* type = PlainAttribute(reference, u"type");
    if (type == nullptr) return Fail(codes::kSchemaInvalid, u"an attribute has no type");
    if (!ResolveTypeName(reference, type->Value(), use.typeNamespace, use.typeName))
        return error_.Failed() ? false : Fail(codes::kSchemaInvalid, u"an attribute has an empty type");
    use.displayName.assign(TrimXmlWhitespace(type->Value()));
    use.qualified = use.typeNamespace != schema_.namespaceUri_;
    if (!use.qualified) {
        for (const XdrAttributeType& local : owner.localAttributeTypes) {
            if (local.name == use.typeName) use.sameSchemaType = &local;
        }
        if (use.sameSchemaType == nullptr) use.sameSchemaType = schema_.FindAttributeType(use.typeName);
        if (use.sameSchemaType == nullptr)
            return Fail(codes::kSchemaTypeUndeclared, use.displayName, schema_.namespaceUri_);
    }
    if (const Node* required = PlainAttribute(reference, u"required")) {
        if (required->Value() != u"yes" && required->Value() != u"no")
            return Fail(codes::kSchemaAttributeInvalid, u"required", required->Value());
        use.hasRequired = true;
        use.required = required->Value() == u"yes";
    }
    if (const Node* defaultValue = PlainAttribute(reference, u"default")) {
        use.hasDefault = true;
        use.defaultValue = defaultValue->Value();
    }
    return true;
}

bool XdrSchemaCompiler::ReadOccurs(const Node& node, XdrParticle& particle) {
    if (const Node* minimum = PlainAttribute(node, u"minOccurs")) {
        if (minimum->Value() != u"0" && minimum->Value() != u"1")
            return Fail(codes::kSchemaAttributeInvalid, u"minOccurs", minimum->Value());
        particle.minOccurs = minimum->Value() == u"1" ? 1 : 0;
    }
    if (const Node* maximum = PlainAttribute(node, u"maxOccurs")) {
        if (maximum->Value() != u"1" && maximum->Value() != u"*")
            return Fail(codes::kSchemaAttributeInvalid, u"maxOccurs", maximum->Value());
        particle.maxOccurs = maximum->Value() == u"*" ? kXdrUnbounded : 1;
    }
    return true;
}

bool XdrSchemaCompiler::CompileElementParticle(const Node& reference, XdrParticle& particle) {
    const Node* type = PlainAttribute(reference, u"type");
    if (type == nullptr) return Fail(codes::kSchemaInvalid, u"an element has no type");
    if (!ResolveTypeName(reference, type->Value(), particle.namespaceUri, particle.localName))
        return error_.Failed() ? false : Fail(codes::kSchemaInvalid, u"an element has an empty type");
    particle.displayName.assign(TrimXmlWhitespace(type->Value()));
    return ReadOccurs(reference, particle);
}

bool XdrSchemaCompiler::CompileGroup(const Node& group, XdrParticle& particle, int depth) {
    if (depth > kMaxGroupDepth) return Fail(codes::kSchemaInvalid, u"groups are nested too deeply");
    particle.isGroup = true;
    if (const Node* order = PlainAttribute(group, u"order")) {
        XmlStringView value = order->Value();
        if (value == u"seq")
            particle.order = XdrOrder::Seq;
        else if (value == u"one")
            particle.order = XdrOrder::One;
        else if (value == u"many")
            particle.order = XdrOrder::Many;
        else
            return Fail(codes::kSchemaAttributeInvalid, u"order", value);
    }
    if (IsXdr(group, u"group") && !ReadOccurs(group, particle)) return false;
    for (const Node* child = group.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsXdr(*child, u"element")) {
            if (!CompileElementParticle(*child, particle.children.emplace_back())) return false;
        } else if (IsXdr(*child, u"group")) {
            if (!CompileGroup(*child, particle.children.emplace_back(), depth + 1)) return false;
        }
    }
    return true;
}

bool XdrSchemaCompiler::CompileElementType(const Node& declaration, XdrElementType& type) {
    if (!ReadFacets(declaration, type.facets)) return false;
    bool typed = type.facets.dataType != DataType::None;
    type.content = typed ? XdrContent::TextOnly : XdrContent::Mixed;
    if (const Node* content = PlainAttribute(declaration, u"content")) {
        XmlStringView value = content->Value();
        if (value == u"empty")
            type.content = XdrContent::Empty;
        else if (value == u"textOnly")
            type.content = XdrContent::TextOnly;
        else if (value == u"eltOnly")
            type.content = XdrContent::EltOnly;
        else if (value == u"mixed")
            type.content = XdrContent::Mixed;
        else
            return Fail(codes::kSchemaAttributeInvalid, u"content", value);
    }
    if (const Node* model = PlainAttribute(declaration, u"model")) {
        if (model->Value() != u"open" && model->Value() != u"closed")
            return Fail(codes::kSchemaAttributeInvalid, u"model", model->Value());
        type.closed = model->Value() == u"closed";
    }
    // Local attribute types first: attribute references may name them.
    for (const Node* child = declaration.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsXdr(*child, u"AttributeType")) {
            XdrAttributeType& local = type.localAttributeTypes.emplace_back();
            if (!CompileAttributeType(*child, local)) return false;
        }
    }
    for (const Node* child = declaration.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (IsXdr(*child, u"attribute")) {
            if (!CompileAttributeUse(*child, type, type.attributes.emplace_back())) return false;
        }
    }
    // The element type itself is the outermost group of its content model.
    type.model.order = type.content == XdrContent::Mixed ? XdrOrder::Many : XdrOrder::Seq;
    if (!CompileGroup(declaration, type.model, 0)) return false;
    if (type.content == XdrContent::Mixed)
        type.model.order = XdrOrder::Many;  // mixed content is always "many"
    return true;
}

bool XdrSchemaCompiler::CheckElementReferences(const XdrParticle& particle) {
    if (!particle.isGroup) {
        if (particle.namespaceUri == schema_.namespaceUri_ &&
            schema_.FindElementType(particle.localName) == nullptr)
            return Fail(codes::kSchemaTypeUndeclared, particle.displayName, schema_.namespaceUri_);
        return true;
    }
    for (const XdrParticle& child : particle.children) {
        if (!CheckElementReferences(child)) return false;
    }
    return true;
}

}  // namespace msxml_core
