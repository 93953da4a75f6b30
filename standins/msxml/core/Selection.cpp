#include "Selection.h"

#include "Node.h"
#include "SelectionEvaluator.h"
#include "XmlChars.h"

namespace msxml_core {

bool Selection::Compile(XmlStringView expression, SelectionLanguage language,
                        const NamespaceBindings& namespaces, Selection& selection, XmlString& reason) {
    std::unique_ptr<SelectionExpr> parsed;
    SelectionParser parser(expression, language, namespaces);
    if (!parser.Parse(parsed, reason)) return false;
    selection.expression_ = std::move(parsed);
    return true;
}

std::vector<Node*> Selection::SelectNodes(Node& context) const {
    if (!expression_) return {};
    SelectionEvaluator evaluator(context);
    return evaluator.SelectNodes(*expression_);
}

Node* Selection::SelectSingleNode(Node& context) const {
    std::vector<Node*> nodes = SelectNodes(context);
    return nodes.empty() ? nullptr : nodes.front();
}

bool Selection::ParseSelectionNamespaces(XmlStringView text, NamespaceBindings& bindings) {
    NamespaceBindings parsed;
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && IsXmlWhitespace(text[pos])) ++pos;
        if (pos >= text.size()) break;
        size_t nameStart = pos;
        while (pos < text.size() && text[pos] != u'=' && !IsXmlWhitespace(text[pos])) ++pos;
        XmlStringView name = text.substr(nameStart, pos - nameStart);
        while (pos < text.size() && IsXmlWhitespace(text[pos])) ++pos;
        if (pos >= text.size() || text[pos] != u'=') return false;
        ++pos;
        while (pos < text.size() && IsXmlWhitespace(text[pos])) ++pos;
        if (pos >= text.size() || (text[pos] != u'\'' && text[pos] != u'"')) return false;
        char16_t quote = text[pos++];
        size_t close = text.find(quote, pos);
        if (close == XmlStringView::npos) return false;
        XmlStringView uri = text.substr(pos, close - pos);
        pos = close + 1;
        if (name == u"xmlns") {
            parsed.emplace_back(XmlString(), XmlString(uri));
        } else if (name.substr(0, 6) == u"xmlns:" && IsXmlNcName(name.substr(6)) && !uri.empty()) {
            parsed.emplace_back(XmlString(name.substr(6)), XmlString(uri));
        } else {
            return false;
        }
    }
    bindings.swap(parsed);
    return true;
}

}  // namespace msxml_core
