#pragma once
// Copies of nodes into a tree: cloneNode (same tree), and a node appended to a node of another document
// (MSXML moves such a node; the core keeps one tree per document, so the node is copied and its objects
// follow).
#include <utility>
#include <vector>

#include "standins/msxml/core/Node.h"
#include "standins/msxml/core/Tree.h"

namespace msxml_standin {

class NodeImporter {
public:
    using NodePairs = std::vector<std::pair<const msxml_core::Node*, msxml_core::Node*>>;

    // An unattached copy of `source` in `target`: names, namespaces, values, data types and attributes; with
    // `deep` every descendant too. Null for a document node, or when the core refuses a name. `pairs`, when
    // given, receives every copied node (attributes included) beside its source. No recursion.
    static msxml_core::Node* Copy(const msxml_core::Node& source, msxml_core::Tree& target, bool deep,
                                  NodePairs* pairs);

private:
    static msxml_core::Node* CopyOne(const msxml_core::Node& source, msxml_core::Tree& target,
                                     NodePairs* pairs);
    static bool CopyAttributes(const msxml_core::Node& source, msxml_core::Node& copy,
                               msxml_core::Tree& target, NodePairs* pairs);
};

}  // namespace msxml_standin
