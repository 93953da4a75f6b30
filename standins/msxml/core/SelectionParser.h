// Parses a selection expression into a SelectionExpr.
//
// One recursive-descent parser for both languages; they differ only in how a
// prefix is bound (XPath: SelectionNamespaces at compile time; XSLPattern: the
// document's declarations when evaluated). Nesting of parentheses and
// predicates is bounded so that a hostile expression cannot exhaust the stack.
#pragma once

#include "SelectionAst.h"

#include <utility>

namespace msxml_core {

enum class SelectionLanguage { XslPattern, XPath };

// prefix -> namespace URI pairs, as the SelectionNamespaces property gives them.
using NamespaceBindings = std::vector<std::pair<XmlString, XmlString>>;

class SelectionParser {
public:
    SelectionParser(XmlStringView expression, SelectionLanguage language, const NamespaceBindings& namespaces)
        : text_(expression), language_(language), namespaces_(namespaces) {}

    // False with a reason when the expression is not valid.
    bool Parse(std::unique_ptr<SelectionExpr>& result, XmlString& reason);

private:
    std::unique_ptr<SelectionExpr> ParseOr();
    std::unique_ptr<SelectionExpr> ParseAnd();
    std::unique_ptr<SelectionExpr> ParseEquality();
    std::unique_ptr<SelectionExpr> ParseRelational();
    std::unique_ptr<SelectionExpr> ParseUnion();
    std::unique_ptr<SelectionExpr> ParsePrimary();
    bool ParseLocationPath(LocationPath& path);
    bool ParseStep(SelectionStep& step);
    bool ParseNodeTest(NodeTest& test);
    bool ParsePredicates(SelectionStep& step);
    bool ReadNcName(XmlString& name);
    bool StartsPath() const;
    void SkipSpace();
    bool Peek(XmlStringView token);
    bool Accept(XmlStringView token);
    bool AcceptWord(XmlStringView word);
    std::unique_ptr<SelectionExpr> Error(const char* message);

    XmlStringView text_;
    size_t pos_ = 0;
    SelectionLanguage language_;
    const NamespaceBindings& namespaces_;
    int depth_ = 0;
    bool failed_ = false;
    XmlString reason_;
};

}  // namespace msxml_core
