#include "standins/msxml/NodeWrapperCache.h"

namespace msxml_standin {

IXMLDOMNode* NodeWrapperCache::Find(const msxml_core::Node& node) const noexcept {
    const auto found = objects_.find(&node);
    return found == objects_.end() ? nullptr : found->second;
}

bool NodeWrapperCache::Remember(const msxml_core::Node& node, IXMLDOMNode* object) noexcept {
    try {
        objects_[&node] = object;
        return true;
    } catch (...) {
        return false;
    }
}

void NodeWrapperCache::Forget(const msxml_core::Node& node, const IXMLDOMNode* object) noexcept {
    const auto found = objects_.find(&node);
    if (found != objects_.end() && found->second == object) objects_.erase(found);
}

}  // namespace msxml_standin
