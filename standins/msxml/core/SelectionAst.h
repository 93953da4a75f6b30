// Syntax tree of a selection expression (MSXML's XSLPattern subset and XPath 1.0
// location paths with predicates). Built by SelectionParser, read by
// SelectionEvaluator.
#pragma once

#include "XmlString.h"

#include <memory>
#include <vector>

namespace msxml_core {

enum class SelectionAxis {
    Child,
    Attribute,
    Descendant,
    DescendantOrSelf,
    Self,
    Parent,
    Ancestor,
    AncestorOrSelf,
    FollowingSibling,
    PrecedingSibling
};

enum class NodeTestKind { Name, AnyName, NamespaceAnyName, Text, AnyNode, Comment, ProcessingInstruction };

struct NodeTest {
    NodeTestKind kind = NodeTestKind::AnyNode;
    XmlString prefix;
    XmlString localName;
    // XPath: the namespace bound by SelectionNamespaces (resolved when compiled).
    // XSLPattern: resolved per evaluation through the document's declarations.
    XmlString namespaceUri;
    bool namespaceResolved = false;
};

struct SelectionExpr;

struct SelectionStep {
    SelectionAxis axis = SelectionAxis::Child;
    NodeTest test;
    std::vector<std::unique_ptr<SelectionExpr>> predicates;
};

struct LocationPath {
    bool absolute = false;
    std::vector<SelectionStep> steps;
};

enum class ExprKind {
    Path,
    Union,
    Literal,
    Number,
    Or,
    And,
    Not,
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual,
    Position,
    Last,
    Count
};

struct SelectionExpr {
    ExprKind kind = ExprKind::Path;
    LocationPath path;                                     // Path
    std::vector<std::unique_ptr<SelectionExpr>> operands;  // Union, Or, And, Not, comparisons, Count
    XmlString literal;                                     // Literal
    double number = 0;                                     // Number
};

}  // namespace msxml_core
