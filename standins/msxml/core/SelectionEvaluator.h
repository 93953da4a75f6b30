// Evaluates a parsed selection expression from a context node.
//
// Results are node sets in document order without duplicates. XSLPattern
// prefixes are bound here: through the declarations in scope at the context
// node, else the first declaration of the prefix in the document, else the
// name is compared as written. Unprefixed XSLPattern names compare with the
// node name, so they match elements of a default namespace; unprefixed XPath
// names match nodes in no namespace only, as XPath 1.0 says.
// The parser writes which language's rules apply into the tree, so the
// evaluator is given only the tree and the context.
#pragma once

#include "SelectionAst.h"
#include "SelectionParser.h"

#include <vector>

namespace msxml_core {

class Node;

class SelectionEvaluator {
public:
    explicit SelectionEvaluator(Node& context);

    std::vector<Node*> SelectNodes(const SelectionExpr& expression);

private:
    struct Value {
        enum class Type { NodeSet, String, Number, Boolean } type = Type::NodeSet;
        std::vector<Node*> nodes;
        XmlString text;
        double number = 0;
        bool boolean = false;
    };

    Value Evaluate(const SelectionExpr& expression, Node& node, size_t position, size_t size);
    std::vector<Node*> EvaluatePath(const LocationPath& path, Node& start);
    void ApplyStep(const SelectionStep& step, Node& node, std::vector<Node*>& out);
    void CollectAxis(SelectionAxis axis, Node& node, std::vector<Node*>& out) const;
    bool MatchesTest(const NodeTest& test, SelectionAxis axis, const Node& node);
    bool ResolvePrefix(const XmlString& prefix, XmlStringView& uri);
    bool Compare(ExprKind kind, const Value& left, const Value& right);
    static bool ToBoolean(const Value& value);
    static double ToNumber(const Value& value);
    static XmlString ToText(const Value& value);
    static XmlString StringValue(const Node& node);
    static double TextToNumber(XmlStringView text);
    void SortUnique(std::vector<Node*>& nodes) const;

    Node& context_;
    std::vector<std::pair<XmlString, std::pair<bool, XmlString>>> prefixCache_;
};

}  // namespace msxml_core
