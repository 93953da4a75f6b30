// Turns a parsed XDR schema document into an XdrSchema.
//
// Two passes: first every top-level ElementType and AttributeType is named (so
// that element types may be used before they are declared), then each element
// type's attributes and content model are compiled and its references checked.
// Recursion follows the nesting of <group> elements only, which the parser
// limits to its nesting depth.
#pragma once

#include "ParseError.h"
#include "XdrSchema.h"

#include <memory>

namespace msxml_core {

class Node;

class XdrSchemaCompiler {
public:
    static std::shared_ptr<const XdrSchema> Compile(const std::shared_ptr<Tree>& document,
                                                    XmlStringView namespaceUri, ParseError& error);

private:
    XdrSchemaCompiler(XdrSchema& schema, ParseError& error) : schema_(schema), error_(error) {}

    bool Run(const Node& root);
    bool CompileElementType(const Node& declaration, XdrElementType& type);
    bool CompileAttributeType(const Node& declaration, XdrAttributeType& type);
    bool CompileAttributeUse(const Node& reference, const XdrElementType& owner, XdrAttributeUse& use);
    bool CompileGroup(const Node& group, XdrParticle& particle, int depth);
    bool CompileElementParticle(const Node& reference, XdrParticle& particle);
    bool ReadFacets(const Node& declaration, XdrFacets& facets);
    bool ReadOccurs(const Node& node, XdrParticle& particle);
    bool ResolveTypeName(const Node& at, XmlStringView written, XmlString& namespaceUri,
                         XmlString& localName);
    bool CheckElementReferences(const XdrParticle& particle);
    bool Fail(ErrorCode code, XmlStringView arg1 = {}, XmlStringView arg2 = {});

    XdrSchema& schema_;
    ParseError& error_;
};

}  // namespace msxml_core
