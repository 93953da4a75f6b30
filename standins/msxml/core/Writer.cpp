#include "Writer.h"

#include "TextEncoding.h"
#include "XmlDeclaration.h"

namespace msxml_core {
namespace {

bool IsContainer(const Node& node) {
    return node.Type() == NodeType::Element || node.Type() == NodeType::Document ||
           node.Type() == NodeType::DocumentFragment;
}

bool IsXmlDeclaration(const Node& node) {
    return node.Type() == NodeType::ProcessingInstruction && node.Name()->qualified == u"xml";
}

}  // namespace

namespace {

// Copies `text` to `out`, writing replacementFor(c) in place of every character for which it is not empty.
template <class ReplacementFor>
void AppendReplacing(XmlStringView text, XmlString& out, ReplacementFor replacementFor) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const XmlStringView replacement = replacementFor(text[i]);
        if (replacement.empty()) continue;
        out.append(text.substr(start, i - start));
        out.append(replacement);
        start = i + 1;
    }
    out.append(text.substr(start));
}

}  // namespace

void Writer::WriteWithCrLf(XmlStringView text, XmlString& out) {
    AppendReplacing(text, out,
                    [](char16_t c) { return c == u'\n' ? XmlStringView(u"\r\n") : XmlStringView(); });
}

void Writer::WriteEscapedText(XmlStringView text, XmlString& out) {
    AppendReplacing(text, out, [](char16_t c) -> XmlStringView {
        switch (c) {
            case u'&':
                return u"&amp;";
            case u'<':
                return u"&lt;";
            case u'>':
                return u"&gt;";
            case u'\n':
                return u"\r\n";
            case u'\r':
                return u"&#13;";  // a bare CR would turn into a line feed on reload
            default:
                return {};
        }
    });
}

void Writer::WriteEscapedAttributeValue(XmlStringView text, XmlString& out) {
    AppendReplacing(text, out, [](char16_t c) -> XmlStringView {
        switch (c) {
            case u'&':
                return u"&amp;";
            case u'<':
                return u"&lt;";
            case u'"':
                return u"&quot;";
            // White space other than blanks is written as references so that
            // attribute value normalisation on reload keeps it.
            case u'\n':
                return u"&#10;";
            case u'\r':
                return u"&#13;";
            case u'\t':
                return u"&#9;";
            default:
                return {};
        }
    });
}

void Writer::WriteAttribute(const Node& attribute, XmlString& out) {
    out.append(attribute.Name()->qualified);
    out.append(u"=\"");
    WriteEscapedAttributeValue(attribute.Value(), out);
    out.push_back(u'"');
}

bool Writer::IsBound(XmlStringView prefix, XmlStringView namespaceUri) const {
    if (prefix == u"xml" || prefix == u"xmlns") return true;
    for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
        if (it->first == prefix) return it->second == namespaceUri;
    }
    return namespaceUri.empty() && prefix.empty();
}

void Writer::DeclareIfUnbound(XmlStringView prefix, XmlStringView namespaceUri) {
    if (IsBound(prefix, namespaceUri) || (namespaceUri.empty() && !prefix.empty())) return;
    out_.append(prefix.empty() ? XmlStringView(u" xmlns=\"") : XmlStringView(u" xmlns:"));
    if (!prefix.empty()) {
        out_.append(prefix);
        out_.append(u"=\"");
    }
    WriteEscapedAttributeValue(namespaceUri, out_);
    out_.push_back(u'"');
    bindings_.emplace_back(prefix, namespaceUri);
}

void Writer::WriteStartTag(const Node& element) {
    out_.push_back(u'<');
    out_.append(element.Name()->qualified);
    scopeStarts_.push_back(bindings_.size());
    for (const Node* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->NextSibling()) {
        if (!attribute->IsSpecified()) continue;
        const QualifiedName& name = *attribute->Name();
        if (name.qualified == u"xmlns")
            bindings_.emplace_back(XmlStringView(), attribute->Value());
        else if (name.prefix == u"xmlns")
            bindings_.emplace_back(name.localName, attribute->Value());
        out_.push_back(u' ');
        WriteAttribute(*attribute, out_);
    }
    DeclareIfUnbound(element.Prefix(), element.NamespaceUri());
    for (const Node* attribute = element.FirstAttribute(); attribute != nullptr;
         attribute = attribute->NextSibling()) {
        if (attribute->IsSpecified() && !attribute->Prefix().empty())
            DeclareIfUnbound(attribute->Prefix(), attribute->NamespaceUri());
    }
}

void Writer::WriteLeaf(const Node& node, bool forSave) {
    XmlString& out = out_;
    switch (node.Type()) {
        case NodeType::Text:
            WriteEscapedText(node.Value(), out);
            break;
        case NodeType::CDataSection: {
            // "]]>" cannot stand inside a section: split it across two sections.
            XmlStringView value = node.Value();
            out.append(u"<![CDATA[");
            size_t start = 0;
            for (size_t found = value.find(u"]]>"); found != XmlStringView::npos;
                 found = value.find(u"]]>", start)) {
                WriteWithCrLf(value.substr(start, found + 2 - start), out);
                out.append(u"]]><![CDATA[");
                start = found + 2;
            }
            WriteWithCrLf(value.substr(start), out);
            out.append(u"]]>");
            break;
        }
        case NodeType::Comment:
            out.append(u"<!--");
            WriteWithCrLf(node.Value(), out);
            out.append(u"-->");
            break;
        case NodeType::ProcessingInstruction:
            out.append(u"<?");
            out.append(node.Name()->qualified);
            if (IsXmlDeclaration(node) && !forSave) {
                // The xml property is UTF-16 text: MSXML leaves the encoding out.
                XmlDeclaration declaration;
                ErrorCode code;
                size_t offset;
                if (XmlDeclaration::Parse(XmlString(u" ") + node.Value(), declaration, code, offset)) {
                    out.append(u" version=\"");
                    out.append(declaration.version);
                    out.push_back(u'"');
                    if (!declaration.standalone.empty()) {
                        out.append(u" standalone=\"");
                        out.append(declaration.standalone);
                        out.push_back(u'"');
                    }
                    out.append(u"?>");
                    break;
                }
            }
            if (!node.Value().empty()) {
                out.push_back(u' ');
                WriteWithCrLf(node.Value(), out);
            }
            out.append(u"?>");
            break;
        case NodeType::Attribute:
            WriteAttribute(node, out);
            break;
        default:
            break;
    }
}

void Writer::WriteSubtree(const Node& root, bool forSave) {
    bool topLevelLines = root.Type() == NodeType::Document;
    const Node* node = &root;
    for (;;) {
        if (IsContainer(*node)) {
            if (node->Type() == NodeType::Element) WriteStartTag(*node);
            if (node->FirstChild() != nullptr) {
                if (node->Type() == NodeType::Element) out_.push_back(u'>');
                node = node->FirstChild();
                continue;
            }
            if (node->Type() == NodeType::Element) {
                out_.append(u"/>");
                bindings_.resize(scopeStarts_.back());
                scopeStarts_.pop_back();
            }
        } else {
            WriteLeaf(*node, forSave);
        }
        // Leave the node, closing every ancestor that it ends.
        for (;;) {
            if (node == &root) return;
            if (topLevelLines && node->Parent() == &root) out_.append(u"\r\n");
            if (node->NextSibling() != nullptr) {
                node = node->NextSibling();
                break;
            }
            node = node->Parent();
            if (node->Type() == NodeType::Element) {
                out_.append(u"</");
                out_.append(node->Name()->qualified);
                out_.push_back(u'>');
                bindings_.resize(scopeStarts_.back());
                scopeStarts_.pop_back();
            }
        }
    }
}

XmlString Writer::Xml(const Node& node) {
    XmlString out;
    Writer writer(out);
    writer.WriteSubtree(node, false);
    return out;
}

std::string Writer::Save(const Node& document) {
    XmlString text;
    Encoding encoding = Encoding::Utf8;
    const Node* first = document.FirstChild();
    if (first != nullptr && IsXmlDeclaration(*first)) {
        XmlDeclaration declaration;
        ErrorCode code;
        size_t offset;
        if (XmlDeclaration::Parse(XmlString(u" ") + first->Value(), declaration, code, offset) &&
            !declaration.encoding.empty() && !TextEncoding::FromName(declaration.encoding, encoding))
            encoding = Encoding::Utf8;
    } else if (document.Type() == NodeType::Document) {
        text.append(u"<?xml version=\"1.0\"?>\r\n");
    }
    Writer writer(text);
    writer.WriteSubtree(document, true);
    return TextEncoding::Encode(text, encoding);
}

}  // namespace msxml_core
