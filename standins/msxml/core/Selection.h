// A compiled selection expression: selectNodes / selectSingleNode.
//
// Compile once, select from any context node. Copies share the compiled tree.
#pragma once

#include "SelectionAst.h"
#include "SelectionParser.h"

#include <memory>
#include <vector>

namespace msxml_core {

class Node;

class Selection {
public:
    // False with a reason (ending in a line feed) for an invalid expression or,
    // in XPath, a prefix that SelectionNamespaces does not bind.
    static bool Compile(XmlStringView expression, SelectionLanguage language,
                        const NamespaceBindings& namespaces, Selection& selection, XmlString& reason);

    // Every selected node, in document order.
    std::vector<Node*> SelectNodes(Node& context) const;
    // The first selected node in document order; null when nothing matches.
    Node* SelectSingleNode(Node& context) const;

    // Parses the SelectionNamespaces property: "xmlns:a='uri' xmlns:b=\"uri\"".
    static bool ParseSelectionNamespaces(XmlStringView text, NamespaceBindings& bindings);

private:
    std::shared_ptr<const SelectionExpr> expression_;
};

}  // namespace msxml_core
