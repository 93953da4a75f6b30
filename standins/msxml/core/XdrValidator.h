// Validation of a parsed tree against XDR schemas, as MSXML 3 validates while
// parsing (validateOnParse).
//
// Every namespace that a schema is known for is validated: schemas come from
// the attached collection and, for an "x-schema:<file>" namespace the collection
// lacks, from the loader the caller supplies. A schema that neither gives fails
// the load with 0x800C0006 and a reason that names the file in single quotes.
// Elements are visited in document order, without recursion: first the schemas
// of the x-schema namespaces an element declares are resolved, then the element
// is validated, and elements and attributes get the data type of their
// declaration (and the default attributes the schema supplies). Of all faults
// the one at the smallest place in the text is reported, as a validating parser
// that reads the text once finds it first: a content model fault found at an
// element's start stands behind a fault inside an earlier child.
#pragma once

#include "ParseError.h"
#include "SchemaCollection.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace msxml_core {

class Node;
class Tree;
struct XdrAttributeUse;
struct XdrElementType;
struct XdrFacets;

// Reads a schema file named by an "x-schema:" namespace (the text after the
// prefix); false when it cannot be found. The COM layer resolves the name
// against its base folder.
using SchemaLoader = std::function<bool(XmlStringView fileName, std::string& bytes)>;

class XdrValidator {
public:
    // loadedSchemas keeps the schemas fetched through the loader, so that a
    // document object compiles each such file once.
    XdrValidator(const SchemaCollection* collection, SchemaCollection& loadedSchemas,
                 const SchemaLoader& loader, XmlStringView sourceText, ParseError& error);

    bool Validate(Tree& tree);

private:
    // quiet: resolve without reporting a missing schema (for declarations the
    // document does not use).
    const XdrSchema* SchemaFor(XmlStringView namespaceUri, const Node& at, bool& failed, bool quiet = false);
    bool ResolveDeclaredSchemas(const Node& element);
    bool ValidateElement(Node& element);
    bool ValidateAttributes(Node& element, const XdrSchema& schema, const XdrElementType& type);
    bool AddDefaults(Node& element, const XdrElementType& type, const std::vector<bool>& present);
    bool ValidateContent(Node& element, const XdrElementType& type);
    bool ValidateValue(Node& node, const XdrFacets& facets, XmlStringView value);
    const XdrAttributeType* AttributeTypeOf(const XdrAttributeUse& use, const Node& at, bool& failed,
                                            bool quiet = false);
    bool Fail(ErrorCode code, size_t offset, XmlStringView arg1 = {}, XmlStringView arg2 = {},
              XmlStringView extraLine = {});
    // losesTies: a content-model fault reported at a child's start gives way to
    // the child's own fault at the same place (an undeclared child is named as such).
    void Record(ParseError& candidate, size_t offset, bool losesTies = false);
    bool FailContent(size_t offset, XmlStringView child, XmlStringView expected);

    const SchemaCollection* collection_;
    SchemaCollection& loadedSchemas_;
    const SchemaLoader& loader_;
    XmlStringView sourceText_;
    ParseError& error_;
    struct ResolvedSchema {
        XmlString namespaceUri;
        std::shared_ptr<const XdrSchema> schema;  // null: no schema for it
        bool failed;                              // a missing x-schema file, already reported
    };
    std::vector<ResolvedSchema> resolved_;
    bool haveError_ = false;
    bool errorLosesTies_ = false;
    size_t errorOffset_ = 0;
    std::vector<const Node*> childElements_;
};

}  // namespace msxml_core
