#include "XdrValidator.h"

#include "Tree.h"
#include "TypedValue.h"
#include "XdrContentMatcher.h"

#include <algorithm>

namespace msxml_core {
namespace {

constexpr XmlStringView kXSchemaPrefix = u"x-schema:";
constexpr XmlStringView kDataTypesNamespace = u"urn:schemas-microsoft-com:datatypes";
constexpr size_t kMaxValueInMessage = 100;

bool IsBookkeepingAttribute(const Node& attribute) {
    XmlStringView uri = attribute.NamespaceUri();
    return uri == kXmlnsNamespaceUri || uri == kXmlNamespaceUri || uri == kDataTypesNamespace;
}

XmlStringView Shortened(XmlStringView value) {
    return value.size() > kMaxValueInMessage ? value.substr(0, kMaxValueInMessage) : value;
}

// "The attribute: 'x' with value 'v' failed to parse." names the node in a
// data type message, as MSXML 3 does.
XmlString FailedNodeLine(const Node& node, XmlStringView value) {
    XmlString line =
        node.Type() == NodeType::Attribute ? XmlString(u"The attribute: '") : XmlString(u"The element: '");
    line.append(node.NodeName());
    line.append(u"' with value '");
    line.append(Shortened(value));
    line.append(u"' failed to parse.\n");
    return line;
}

XmlString DirectText(const Node& element) {
    XmlString text;
    for (const Node* child = element.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (child->Type() == NodeType::Text || child->Type() == NodeType::CDataSection)
            text.append(child->Value());
    }
    return text;
}

bool FindPrefixFor(const Node& element, XmlStringView namespaceUri, XmlStringView& prefix) {
    for (const Node* scope = &element; scope != nullptr; scope = scope->Parent()) {
        for (const Node* attribute = scope->FirstAttribute(); attribute != nullptr;
             attribute = attribute->NextSibling()) {
            if (attribute->Prefix() == u"xmlns" && attribute->Value() == namespaceUri) {
                prefix = attribute->LocalName();
                return true;
            }
        }
    }
    return false;
}

}  // namespace

XdrValidator::XdrValidator(const SchemaCollection* collection, SchemaCollection& loadedSchemas,
                           const SchemaLoader& loader, XmlStringView sourceText, ParseError& error)
    : collection_(collection),
      loadedSchemas_(loadedSchemas),
      loader_(loader),
      sourceText_(sourceText),
      error_(error) {}

bool XdrValidator::Fail(ErrorCode code, size_t offset, XmlStringView arg1, XmlStringView arg2,
                        XmlStringView extraLine) {
    ParseError candidate;
    candidate.errorCode = code;
    candidate.reason = FormatReason(code, arg1, arg2);
    candidate.reason.append(extraLine);
    Record(candidate, offset);
    return false;
}

bool XdrValidator::FailContent(size_t offset, XmlStringView child, XmlStringView expected) {
    ParseError candidate;
    candidate.errorCode = codes::kInvalidContent;
    candidate.reason = FormatReason(codes::kInvalidContent, child, expected);
    Record(candidate, offset, true);
    return false;
}

void XdrValidator::Record(ParseError& candidate, size_t offset, bool losesTies) {
    if (haveError_ && (offset > errorOffset_ || (offset == errorOffset_ && (losesTies || !errorLosesTies_))))
        return;
    haveError_ = true;
    errorLosesTies_ = losesTies;
    errorOffset_ = offset;
    if (!sourceText_.empty()) LocateError(sourceText_, offset, candidate);
    error_ = std::move(candidate);
}

const XdrSchema* XdrValidator::SchemaFor(XmlStringView namespaceUri, const Node& at, bool& failed,
                                         bool quiet) {
    failed = false;
    if (namespaceUri.empty()) return nullptr;
    for (const ResolvedSchema& entry : resolved_) {
        if (entry.namespaceUri == namespaceUri) {
            failed = entry.failed;
            return entry.schema.get();
        }
    }
    std::shared_ptr<const XdrSchema> schema =
        collection_ != nullptr ? collection_->Find(namespaceUri) : nullptr;
    if (!schema) schema = loadedSchemas_.Find(namespaceUri);
    if (!schema && namespaceUri.substr(0, kXSchemaPrefix.size()) == kXSchemaPrefix) {
        XmlStringView file = namespaceUri.substr(kXSchemaPrefix.size());
        std::string bytes;
        ParseError schemaError;
        bool found = loader_ && loader_(file, bytes);
        if (found && loadedSchemas_.AddFromBytes(namespaceUri, bytes, schemaError)) {
            schema = loadedSchemas_.Find(namespaceUri);
        } else {
            failed = true;
            if (quiet) return nullptr;
            if (found) {
                // The file is there but is no usable schema: its own fault, then where.
                schemaError.reason += u"Error processing resource '" + XmlString(file) + u"'.\n";
            } else {
                schemaError.errorCode = codes::kObjectNotFound;
                schemaError.reason = FormatReason(codes::kObjectNotFound, file);
            }
            Record(schemaError, at.SourceOffset());
        }
    }
    resolved_.push_back({XmlString(namespaceUri), schema, failed});
    return schema.get();
}

bool XdrValidator::Validate(Tree& tree) {
    error_.Clear();
    haveError_ = false;
    Node& document = tree.DocumentNode();
    for (Node* node = document.FirstChild(); node != nullptr; node = NextInSubtree(document, *node)) {
        if (node->Type() != NodeType::Element) continue;
        // Every later fault lies at or after this element's start.
        if (haveError_ && node->SourceOffset() > errorOffset_) break;
        if (ResolveDeclaredSchemas(*node)) ValidateElement(*node);
    }
    return !haveError_;
}

bool XdrValidator::ResolveDeclaredSchemas(const Node& element) {
    for (const Node* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->NextSibling()) {
        if (attribute->NamespaceUri() != kXmlnsNamespaceUri ||
            attribute->Value().compare(0, kXSchemaPrefix.size(), kXSchemaPrefix) != 0)
            continue;
        bool failed;
        SchemaFor(attribute->Value(), element, failed);
        if (failed) return false;
    }
    return true;
}

const XdrAttributeType* XdrValidator::AttributeTypeOf(const XdrAttributeUse& use, const Node& at,
                                                      bool& failed, bool quiet) {
    failed = false;
    if (use.sameSchemaType != nullptr) return use.sameSchemaType;
    const XdrSchema* schema = SchemaFor(use.typeNamespace, at, failed, quiet);
    if (failed) return nullptr;
    const XdrAttributeType* type = schema != nullptr ? schema->FindAttributeType(use.typeName) : nullptr;
    if (type == nullptr) {
        failed = true;
        if (!quiet) Fail(codes::kSchemaTypeUndeclared, at.SourceOffset(), use.displayName, use.typeNamespace);
    }
    return type;
}

bool XdrValidator::ValidateValue(Node& node, const XdrFacets& facets, XmlStringView value) {
    DataType type = facets.dataType;
    if (type == DataType::None && !facets.enumeration.empty()) type = DataType::Enumeration;
    size_t offset = node.SourceOffset();
    if (!facets.enumeration.empty()) {
        XmlStringView trimmed = TrimXmlWhitespace(value);
        if (std::find(facets.enumeration.begin(), facets.enumeration.end(), trimmed) ==
            facets.enumeration.end()) {
            if (node.Type() == NodeType::Attribute)
                return Fail(codes::kAttributeValue, offset, node.NodeName(), Shortened(value));
            return Fail(codes::kDataTypeParse, offset, Shortened(value), u"enumeration",
                        FailedNodeLine(node, value));
        }
    } else if (type != DataType::None) {
        TypedValue parsed;
        if (!ParseTypedValue(type, value, parsed))
            return Fail(codes::kDataTypeParse, offset, Shortened(value), DataTypeName(type),
                        FailedNodeLine(node, value));
    }
    if (facets.hasMinLength || facets.hasMaxLength) {
        size_t length = ValueLength(type, value);
        if (facets.hasMinLength && length < facets.minLength)
            return Fail(codes::kDataTypeLength, offset, Shortened(value),
                        u"dt:minLength " + ToXmlDecimal(facets.minLength), FailedNodeLine(node, value));
        if (facets.hasMaxLength && length > facets.maxLength)
            return Fail(codes::kDataTypeLength, offset, Shortened(value),
                        u"dt:maxLength " + ToXmlDecimal(facets.maxLength), FailedNodeLine(node, value));
    }
    node.OwnerTree().SetDataType(node, type);
    return true;
}

bool XdrValidator::ValidateElement(Node& element) {
    bool failed;
    const XdrSchema* schema = SchemaFor(element.NamespaceUri(), element, failed);
    if (failed) return false;
    if (schema == nullptr) {
        // Not validated itself; attributes of schema namespaces still are.
        for (Node* attribute = element.FirstAttribute(); attribute != nullptr;
             attribute = attribute->NextSibling()) {
            if (IsBookkeepingAttribute(*attribute) || attribute->NamespaceUri().empty()) continue;
            const XdrSchema* attributeSchema = SchemaFor(attribute->NamespaceUri(), *attribute, failed);
            if (failed) return false;
            const XdrAttributeType* type = attributeSchema != nullptr
                                               ? attributeSchema->FindAttributeType(attribute->LocalName())
                                               : nullptr;
            if (type != nullptr && !ValidateValue(*attribute, type->facets, attribute->Value())) return false;
        }
        return true;
    }
    const XdrElementType* type = schema->FindElementType(element.LocalName());
    if (type == nullptr) return Fail(codes::kElementUndeclared, element.SourceOffset(), element.NodeName());
    return ValidateAttributes(element, *schema, *type) && ValidateContent(element, *type);
}

bool XdrValidator::ValidateAttributes(Node& element, const XdrSchema& schema, const XdrElementType& type) {
    std::vector<bool> present(type.attributes.size(), false);
    bool failed;
    for (Node* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->NextSibling()) {
        if (IsBookkeepingAttribute(*attribute)) continue;
        XmlStringView uri = attribute->NamespaceUri();
        XmlStringView local = attribute->LocalName();
        size_t match = type.attributes.size();
        for (size_t i = 0; i < type.attributes.size() && match == type.attributes.size(); ++i) {
            const XdrAttributeUse& use = type.attributes[i];
            bool sameName = use.typeName == local;
            if (sameName &&
                (use.qualified ? uri == use.typeNamespace : (uri.empty() || uri == schema.NamespaceUri())))
                match = i;
        }
        if (match < type.attributes.size()) {
            present[match] = true;
            const XdrAttributeType* attributeType =
                AttributeTypeOf(type.attributes[match], *attribute, failed);
            if (failed) return false;
            if (!ValidateValue(*attribute, attributeType->facets, attribute->Value())) return false;
            continue;
        }
        const XdrSchema* attributeSchema = SchemaFor(uri, *attribute, failed);
        if (failed) return false;
        const XdrAttributeType* global = attributeSchema != nullptr && uri != schema.NamespaceUri()
                                             ? attributeSchema->FindAttributeType(local)
                                             : nullptr;
        if (type.closed && global == nullptr)
            return Fail(codes::kAttributeNotDefined, attribute->SourceOffset(), attribute->NodeName());
        if (global != nullptr && !ValidateValue(*attribute, global->facets, attribute->Value())) return false;
    }
    for (size_t i = 0; i < type.attributes.size(); ++i) {
        if (present[i]) continue;
        const XdrAttributeUse& use = type.attributes[i];
        // An absent attribute whose type lives in a schema that cannot be had
        // is neither required nor defaulted: the document does not use it.
        const XdrAttributeType* attributeType = AttributeTypeOf(use, element, failed, true);
        bool required = use.hasRequired ? use.required : attributeType != nullptr && attributeType->required;
        if (required)
            return Fail(codes::kRequiredAttributeMissing, element.SourceOffset(),
                        use.qualified ? use.displayName : use.typeName, element.NodeName());
    }
    return AddDefaults(element, type, present);
}

bool XdrValidator::AddDefaults(Node& element, const XdrElementType& type, const std::vector<bool>& present) {
    for (size_t i = 0; i < type.attributes.size(); ++i) {
        if (present[i]) continue;
        const XdrAttributeUse& use = type.attributes[i];
        bool failed;
        const XdrAttributeType* attributeType = AttributeTypeOf(use, element, failed, true);
        if (attributeType == nullptr) continue;
        const XmlString* value = use.hasDefault              ? &use.defaultValue
                                 : attributeType->hasDefault ? &attributeType->defaultValue
                                                             : nullptr;
        if (value == nullptr) continue;
        XmlString qualifiedName = use.typeName;
        if (use.qualified) {
            XmlStringView prefix;
            if (!FindPrefixFor(element, use.typeNamespace, prefix))
                continue;  // no prefix to write it with: leave it out
            qualifiedName = XmlString(prefix) + u":" + use.typeName;
        }
        Node* added = element.OwnerTree().AddDefaultAttribute(
            element, qualifiedName, use.qualified ? XmlStringView(use.typeNamespace) : XmlStringView(),
            *value);
        if (added != nullptr) {
            DataType addedType = attributeType->facets.dataType;
            if (addedType == DataType::None && !attributeType->facets.enumeration.empty())
                addedType = DataType::Enumeration;
            element.OwnerTree().SetDataType(*added, addedType);
        }
    }
    return true;
}

bool XdrValidator::ValidateContent(Node& element, const XdrElementType& type) {
    childElements_.clear();
    const Node* firstText = nullptr;
    for (const Node* child = element.FirstChild(); child != nullptr; child = child->NextSibling()) {
        if (child->Type() == NodeType::Element)
            childElements_.push_back(child);
        else if ((child->Type() == NodeType::Text || child->Type() == NodeType::CDataSection) &&
                 firstText == nullptr && !IsAllXmlWhitespace(child->Value()))
            firstText = child;
    }
    switch (type.content) {
        case XdrContent::Empty:
            if (!childElements_.empty())
                return FailContent(childElements_[0]->SourceOffset(), childElements_[0]->NodeName(),
                                   u"no content, the element is declared empty");
            if (firstText != nullptr)
                return Fail(codes::kIllegalText, firstText->SourceOffset(), element.NodeName());
            return true;
        case XdrContent::TextOnly:
            if (type.closed && !childElements_.empty())
                return FailContent(childElements_[0]->SourceOffset(), childElements_[0]->NodeName(),
                                   u"text only");
            if (childElements_.empty() &&
                (type.facets.dataType != DataType::None || !type.facets.enumeration.empty() ||
                 type.facets.hasMinLength || type.facets.hasMaxLength))
                return ValidateValue(element, type.facets, DirectText(element));
            return true;
        case XdrContent::EltOnly:
            if (firstText != nullptr)
                return Fail(codes::kIllegalText, firstText->SourceOffset(), element.NodeName());
            break;
        case XdrContent::Mixed:
            break;
    }
    if (!type.closed) {
        // Open model: children the model does not name are allowed anywhere.
        childElements_.erase(std::remove_if(childElements_.begin(), childElements_.end(),
                                            [&](const Node* child) {
                                                return !XdrContentMatcher::Names(
                                                    type.model, child->NamespaceUri(), child->LocalName());
                                            }),
                             childElements_.end());
    }
    XdrContentMatcher matcher(childElements_);
    if (matcher.Match(type.model)) return true;
    XmlString expected = XdrContentMatcher::ExpectedNames(type.model);
    size_t index = matcher.FurthestIndex();
    if (index < childElements_.size())
        return FailContent(childElements_[index]->SourceOffset(), childElements_[index]->NodeName(),
                           expected);
    if (childElements_.empty() && type.content == XdrContent::EltOnly)
        return Fail(codes::kEmptyNotAllowed, element.SourceOffset(), element.NodeName(), expected);
    return Fail(codes::kElementNotComplete, element.SourceEndOffset(), element.NodeName(), expected);
}

}  // namespace msxml_core
