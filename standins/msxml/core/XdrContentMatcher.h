// Matches the child elements of one element against an XDR content model.
//
// XDR models are deterministic like DTD models, so a greedy match decides them:
// each particle takes as many children as it may, a group that fails gives its
// children back. The furthest child reached tells which child was unexpected.
// Recursion follows group nesting, which the schema compiler bounds.
#pragma once

#include "XdrSchema.h"

#include <vector>

namespace msxml_core {

class Node;

class XdrContentMatcher {
public:
    explicit XdrContentMatcher(const std::vector<const Node*>& children) : children_(children) {}

    // True when the model takes every child and every required particle is there.
    bool Match(const XdrParticle& model);
    // The first child the model could not take (== children.size() when the
    // children ran out before the model was complete).
    size_t FurthestIndex() const { return furthest_; }

    // True when the model names an element with this namespace and local name.
    static bool Names(const XdrParticle& model, XmlStringView namespaceUri, XmlStringView localName);
    // The element names of the model as the schema writes them, for messages.
    static XmlString ExpectedNames(const XdrParticle& model);

private:
    bool MatchParticle(const XdrParticle& particle, size_t& index);
    bool MatchGroupOnce(const XdrParticle& group, size_t& index);
    bool MatchesElement(const XdrParticle& particle, size_t index) const;
    void Reached(size_t index);

    const std::vector<const Node*>& children_;
    size_t furthest_ = 0;
};

}  // namespace msxml_core
