// Serialisation in MSXML 3's forms.
//
// Xml: the xml property: no indentation or line breaks added inside elements,
// <a/> for an element without children, text and attribute values escaped, line
// feeds in text written as CR LF, each top-level node of a document followed by
// CR LF, and the XML declaration without its encoding (the text is UTF-16).
// Save: the bytes of save(): the declaration with its encoding (one is added when
// the document has none) and the text encoded as the declaration says.
// Namespaces: an element or attribute whose prefix is not bound to its
// namespace by what was written before it (a node built with createNode, or a
// subtree written on its own) gets the declaration it needs, as MSXML adds it,
// so that every text written loads again.
#pragma once

#include "Node.h"
#include "XmlString.h"

#include <string>
#include <utility>
#include <vector>

namespace msxml_core {

class Writer {
public:
    static XmlString Xml(const Node& node);
    static std::string Save(const Node& document);

private:
    explicit Writer(XmlString& out) : out_(out) {}

    void WriteSubtree(const Node& root, bool forSave);
    void WriteLeaf(const Node& node, bool forSave);
    void WriteStartTag(const Node& element);
    void DeclareIfUnbound(XmlStringView prefix, XmlStringView namespaceUri);
    bool IsBound(XmlStringView prefix, XmlStringView namespaceUri) const;
    static void WriteAttribute(const Node& attribute, XmlString& out);
    static void WriteEscapedText(XmlStringView text, XmlString& out);
    static void WriteEscapedAttributeValue(XmlStringView text, XmlString& out);
    static void WriteWithCrLf(XmlStringView text, XmlString& out);

    XmlString& out_;
    // Declarations in scope while writing: (prefix, namespace), and where each
    // open element's own declarations start.
    std::vector<std::pair<XmlStringView, XmlStringView>> bindings_;
    std::vector<size_t> scopeStarts_;
};

}  // namespace msxml_core
