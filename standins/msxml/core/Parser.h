// Well-formedness parser: UTF-16 text into a Tree.
//
// Hand-written, single pass, no recursion (open elements are an explicit stack),
// no allocation per character: text runs are appended in blocks and attribute
// value buffers are reused from tag to tag. Refuses DOCTYPE and every external
// reference; only the five predefined entities and character references exist.
// On failure the error names the code, reason and place; the tree is then in an
// unspecified state and the caller throws it away.
#pragma once

#include "ParseError.h"
#include "Tree.h"

#include <vector>

namespace msxml_core {

class Parser {
public:
    Parser(XmlStringView text, Tree& tree, ParseError& error);
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    bool Parse();

private:
    struct RawAttribute {
        size_t nameStart;
        size_t nameLength;
        size_t offset;
    };
    struct NamespaceBinding {
        XmlStringView prefix;
        XmlStringView uri;
    };

    bool Fail(ErrorCode code, size_t offset, XmlStringView arg1 = {}, XmlStringView arg2 = {});
    bool ParseXmlDeclaration();
    bool ParseStartTag();
    bool BuildElement(size_t tagStart, XmlStringView qualifiedName, size_t attributeCount, bool selfClosing);
    bool CheckDuplicateAttributes(size_t attributeCount);
    bool ParseEndTag();
    bool ParseComment();
    bool ParseCData();
    bool ParseProcessingInstruction();
    bool ParseText();
    bool SkipTopLevelWhitespace();
    bool ParseAttributeValue(XmlString& value);
    bool ParseReference(XmlString& out, ErrorCode invalidStart);
    bool ScanQualifiedName(XmlStringView& name);
    bool ScanName(XmlStringView& name);
    bool ScanCharacter(ErrorCode invalidCode);  // validates one (possibly paired) character at pos_
    bool TakeMarkupCharacter(XmlString& out);
    void LinkMarkupNode(Node& node, XmlString& value, size_t start);
    bool SkipWhitespace();
    bool StartsWith(XmlStringView literal) const;
    bool LookupBinding(XmlStringView prefix, XmlStringView& uri) const;
    void FlushText();
    Node& CurrentParent();

    XmlStringView text_;
    size_t pos_ = 0;
    Tree& tree_;
    ParseError& error_;
    bool rootSeen_ = false;
    std::vector<Node*> openElements_;
    std::vector<size_t> scopeMarks_;
    std::vector<bool> preserveStack_;
    std::vector<NamespaceBinding> bindings_;
    std::vector<RawAttribute> rawAttributes_;
    std::vector<XmlString> attributeValues_;
    std::vector<Node*> attributeNodes_;
    XmlString textBuffer_;
    size_t textStart_ = 0;
};

}  // namespace msxml_core
