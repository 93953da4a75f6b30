#include "XdrContentMatcher.h"

#include "Node.h"

namespace msxml_core {

void XdrContentMatcher::Reached(size_t index) {
    if (index > furthest_) furthest_ = index;
}

bool XdrContentMatcher::MatchesElement(const XdrParticle& particle, size_t index) const {
    if (index >= children_.size()) return false;
    const Node& child = *children_[index];
    return child.LocalName() == particle.localName && child.NamespaceUri() == particle.namespaceUri;
}

bool XdrContentMatcher::Match(const XdrParticle& model) {
    size_t index = 0;
    furthest_ = 0;
    bool matched = MatchParticle(model, index);
    Reached(index);
    return matched && index == children_.size();
}

bool XdrContentMatcher::MatchParticle(const XdrParticle& particle, size_t& index) {
    uint32_t count = 0;
    if (!particle.isGroup) {
        while (count < particle.maxOccurs && MatchesElement(particle, index)) {
            ++index;
            ++count;
        }
        Reached(index);
        return count >= particle.minOccurs;
    }
    while (count < particle.maxOccurs) {
        size_t start = index;
        if (!MatchGroupOnce(particle, index)) {
            index = start;
            break;
        }
        ++count;
        if (index == start) {
            // The group matched nothing: further rounds would not either.
            count = particle.minOccurs > count ? particle.minOccurs : count;
            break;
        }
    }
    return count >= particle.minOccurs;
}

bool XdrContentMatcher::MatchGroupOnce(const XdrParticle& group, size_t& index) {
    switch (group.order) {
        case XdrOrder::Seq:
            for (const XdrParticle& child : group.children) {
                if (!MatchParticle(child, index)) return false;
            }
            return true;
        case XdrOrder::One: {
            bool anyEmptyMatch = group.children.empty();
            for (const XdrParticle& child : group.children) {
                size_t start = index;
                if (MatchParticle(child, index)) {
                    if (index > start) return true;
                    anyEmptyMatch = true;
                }
                index = start;
            }
            return anyEmptyMatch;
        }
        case XdrOrder::Many:
            // Any of the particles, in any order, as often as they come.
            for (bool progress = true; progress && index < children_.size();) {
                progress = false;
                for (const XdrParticle& child : group.children) {
                    size_t start = index;
                    bool matched =
                        child.isGroup ? MatchGroupOnce(child, index) : MatchesElement(child, index);
                    if (matched && !child.isGroup) ++index;
                    if (matched && index > start) {
                        Reached(index);
                        progress = true;
                        break;
                    }
                    index = start;
                }
            }
            return true;
    }
    return false;
}

bool XdrContentMatcher::Names(const XdrParticle& model, XmlStringView namespaceUri, XmlStringView localName) {
    if (!model.isGroup) return model.localName == localName && model.namespaceUri == namespaceUri;
    for (const XdrParticle& child : model.children) {
        if (Names(child, namespaceUri, localName)) return true;
    }
    return false;
}

XmlString XdrContentMatcher::ExpectedNames(const XdrParticle& model) {
    XmlString names;
    std::vector<const XdrParticle*> pending{&model};
    std::vector<const XdrParticle*> ordered;
    // Depth-first in schema order without recursion.
    while (!pending.empty()) {
        const XdrParticle* particle = pending.back();
        pending.pop_back();
        if (!particle->isGroup) {
            ordered.push_back(particle);
            continue;
        }
        for (auto it = particle->children.rbegin(); it != particle->children.rend(); ++it)
            pending.push_back(&*it);
    }
    for (size_t i = 0; i < ordered.size(); ++i) {
        bool seen = false;
        for (size_t j = 0; j < i; ++j) seen = seen || ordered[j]->displayName == ordered[i]->displayName;
        if (seen) continue;
        if (!names.empty()) names.append(u", ");
        names.append(ordered[i]->displayName);
    }
    return names;
}

}  // namespace msxml_core
