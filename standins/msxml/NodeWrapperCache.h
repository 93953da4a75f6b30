#pragma once
// The node objects of one document, by node: the same node always comes back as the same COM object.
//
// The cache does not own the objects: each node object holds its document and takes itself out of the cache
// when it goes, so an entry is always a living object.
#include <windows.h>

#include <msxml2.h>

#include <unordered_map>

#include "standins/msxml/core/Node.h"

namespace msxml_standin {

class NodeWrapperCache {
public:
    NodeWrapperCache() = default;
    NodeWrapperCache(const NodeWrapperCache&) = delete;
    NodeWrapperCache& operator=(const NodeWrapperCache&) = delete;

    // The living node object of `node`, or null; no reference added.
    IXMLDOMNode* Find(const msxml_core::Node& node) const noexcept;
    // False when memory runs out (the object then stays uncached, which costs identity, not correctness).
    bool Remember(const msxml_core::Node& node, IXMLDOMNode* object) noexcept;
    // Removes the entry of `node` when it is `object`.
    void Forget(const msxml_core::Node& node, const IXMLDOMNode* object) noexcept;
    size_t Size() const noexcept { return objects_.size(); }

private:
    std::unordered_map<const msxml_core::Node*, IXMLDOMNode*> objects_;
};

}  // namespace msxml_standin
