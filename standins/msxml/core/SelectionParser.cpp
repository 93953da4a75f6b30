#include "SelectionParser.h"

#include "XmlChars.h"

namespace msxml_core {
namespace {

constexpr int kMaxExpressionDepth = 32;

bool IsNcNameStart(char16_t c) { return c != u':' && IsNameStartChar(c); }

bool IsNcNameChar(char16_t c) { return c != u':' && IsNameChar(c); }

struct AxisName {
    XmlStringView name;
    SelectionAxis axis;
};

constexpr AxisName kAxes[] = {
    {u"child", SelectionAxis::Child},
    {u"attribute", SelectionAxis::Attribute},
    {u"descendant", SelectionAxis::Descendant},
    {u"descendant-or-self", SelectionAxis::DescendantOrSelf},
    {u"self", SelectionAxis::Self},
    {u"parent", SelectionAxis::Parent},
    {u"ancestor", SelectionAxis::Ancestor},
    {u"ancestor-or-self", SelectionAxis::AncestorOrSelf},
    {u"following-sibling", SelectionAxis::FollowingSibling},
    {u"preceding-sibling", SelectionAxis::PrecedingSibling},
};

}  // namespace

std::unique_ptr<SelectionExpr> SelectionParser::Error(const char* message) {
    if (!failed_) {
        failed_ = true;
        reason_ = AsciiToXml(message);
        reason_.append(u" (at position ");
        reason_.append(ToXmlDecimal(pos_ + 1));
        reason_.append(u")\n");
    }
    return nullptr;
}

void SelectionParser::SkipSpace() {
    while (pos_ < text_.size() && IsXmlWhitespace(text_[pos_])) ++pos_;
}

bool SelectionParser::Peek(XmlStringView token) {
    SkipSpace();
    return text_.compare(pos_, token.size(), token) == 0;
}

bool SelectionParser::Accept(XmlStringView token) {
    if (!Peek(token)) return false;
    pos_ += token.size();
    return true;
}

bool SelectionParser::AcceptWord(XmlStringView word) {
    if (!Peek(word)) return false;
    size_t end = pos_ + word.size();
    if (end < text_.size() && IsNcNameChar(text_[end])) return false;
    pos_ = end;
    return true;
}

bool SelectionParser::ReadNcName(XmlString& name) {
    SkipSpace();
    if (pos_ >= text_.size() || !IsNcNameStart(text_[pos_])) return false;
    size_t start = pos_;
    while (pos_ < text_.size() && IsNcNameChar(text_[pos_])) ++pos_;
    name.assign(text_.substr(start, pos_ - start));
    return true;
}

bool SelectionParser::StartsPath() const {
    if (pos_ >= text_.size()) return false;
    char16_t c = text_[pos_];
    return c == u'/' || c == u'.' || c == u'@' || c == u'*' || IsNcNameStart(c);
}

bool SelectionParser::Parse(std::unique_ptr<SelectionExpr>& result, XmlString& reason) {
    SkipSpace();
    if (pos_ >= text_.size()) {
        reason = u"The expression is empty.\n";
        return false;
    }
    result = ParseOr();
    SkipSpace();
    if (!failed_ && pos_ < text_.size()) Error("Unexpected token");
    if (failed_) {
        result.reset();
        reason = reason_;
        return false;
    }
    return true;
}

std::unique_ptr<SelectionExpr> SelectionParser::ParseOr() {
    if (++depth_ > kMaxExpressionDepth) return Error("The expression is nested too deeply");
    auto left = ParseAnd();
    while (left && AcceptWord(u"or")) {
        auto node = std::make_unique<SelectionExpr>();
        node->kind = ExprKind::Or;
        node->operands.push_back(std::move(left));
        auto right = ParseAnd();
        if (!right) return nullptr;
        node->operands.push_back(std::move(right));
        left = std::move(node);
    }
    --depth_;
    return left;
}

std::unique_ptr<SelectionExpr> SelectionParser::ParseAnd() {
    auto left = ParseEquality();
    while (left && AcceptWord(u"and")) {
        auto node = std::make_unique<SelectionExpr>();
        node->kind = ExprKind::And;
        node->operands.push_back(std::move(left));
        auto right = ParseEquality();
        if (!right) return nullptr;
        node->operands.push_back(std::move(right));
        left = std::move(node);
    }
    return left;
}

std::unique_ptr<SelectionExpr> SelectionParser::ParseEquality() {
    auto left = ParseRelational();
    while (left) {
        ExprKind kind;
        if (Accept(u"!="))
            kind = ExprKind::NotEqual;
        else if (Accept(u"="))
            kind = ExprKind::Equal;
        else
            break;
        auto node = std::make_unique<SelectionExpr>();
        node->kind = kind;
        node->operands.push_back(std::move(left));
        auto right = ParseRelational();
        if (!right) return nullptr;
        node->operands.push_back(std::move(right));
        left = std::move(node);
    }
    return left;
}

std::unique_ptr<SelectionExpr> SelectionParser::ParseRelational() {
    auto left = ParseUnion();
    while (left) {
        ExprKind kind;
        if (Accept(u"<="))
            kind = ExprKind::LessOrEqual;
        else if (Accept(u">="))
            kind = ExprKind::GreaterOrEqual;
        else if (Accept(u"<"))
            kind = ExprKind::Less;
        else if (Accept(u">"))
            kind = ExprKind::Greater;
        else
            break;
        auto node = std::make_unique<SelectionExpr>();
        node->kind = kind;
        node->operands.push_back(std::move(left));
        auto right = ParseUnion();
        if (!right) return nullptr;
        node->operands.push_back(std::move(right));
        left = std::move(node);
    }
    return left;
}

std::unique_ptr<SelectionExpr> SelectionParser::ParseUnion() {
    auto left = ParsePrimary();
    if (!left || !Peek(u"|")) return left;
    auto node = std::make_unique<SelectionExpr>();
    node->kind = ExprKind::Union;
    node->operands.push_back(std::move(left));
    while (Accept(u"|")) {
        SkipSpace();
        if (!StartsPath()) return Error("A location path was expected after '|'");
        auto path = std::make_unique<SelectionExpr>();
        if (!ParseLocationPath(path->path)) return nullptr;
        node->operands.push_back(std::move(path));
    }
    for (const auto& operand : node->operands) {
        if (operand->kind != ExprKind::Path) return Error("Only location paths can be joined with '|'");
    }
    return node;
}

std::unique_ptr<SelectionExpr> SelectionParser::ParsePrimary() {
    SkipSpace();
    if (pos_ >= text_.size()) return Error("Unexpected end of the expression");
    char16_t c = text_[pos_];
    auto node = std::make_unique<SelectionExpr>();
    if (c == u'(') {
        ++pos_;
        auto inner = ParseOr();
        if (!inner) return nullptr;
        if (!Accept(u")")) return Error("Expected ')'");
        return inner;
    }
    if (c == u'"' || c == u'\'') {
        size_t close = text_.find(c, pos_ + 1);
        if (close == XmlStringView::npos) return Error("The string literal was not closed");
        node->kind = ExprKind::Literal;
        node->literal.assign(text_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        return node;
    }
    bool digitFollows = pos_ + 1 < text_.size() && text_[pos_ + 1] >= u'0' && text_[pos_ + 1] <= u'9';
    if ((c >= u'0' && c <= u'9') || (c == u'.' && digitFollows)) {
        double value = 0;
        for (; pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9'; ++pos_)
            value = value * 10 + (text_[pos_] - u'0');
        if (pos_ < text_.size() && text_[pos_] == u'.') {
            double scale = 0.1;
            for (++pos_; pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9';
                 ++pos_, scale /= 10)
                value += (text_[pos_] - u'0') * scale;
        }
        node->kind = ExprKind::Number;
        node->number = value;
        return node;
    }
    // Function calls: a name directly followed by '(' that is not a node type test.
    size_t save = pos_;
    XmlString name;
    if (ReadNcName(name) && Peek(u"(") && name != u"text" && name != u"node" && name != u"comment" &&
        name != u"processing-instruction") {
        Accept(u"(");
        if (name == u"position" || name == u"last") {
            if (!Accept(u")")) return Error("Expected ')'");
            node->kind = name == u"position" ? ExprKind::Position : ExprKind::Last;
            return node;
        }
        if (name == u"not" || name == u"count") {
            auto argument = ParseOr();
            if (!argument) return nullptr;
            if (!Accept(u")")) return Error("Expected ')'");
            node->kind = name == u"not" ? ExprKind::Not : ExprKind::Count;
            node->operands.push_back(std::move(argument));
            return node;
        }
        return Error("Unknown function");
    }
    pos_ = save;
    if (!StartsPath()) return Error("Unexpected token");
    node->kind = ExprKind::Path;
    if (!ParseLocationPath(node->path)) return nullptr;
    return node;
}

bool SelectionParser::ParseLocationPath(LocationPath& path) {
    auto addDescendantStep = [&path]() {
        SelectionStep& step = path.steps.emplace_back();
        step.axis = SelectionAxis::DescendantOrSelf;
        step.test.kind = NodeTestKind::AnyNode;
    };
    SkipSpace();
    if (Accept(u"//")) {
        path.absolute = true;
        addDescendantStep();
    } else if (Accept(u"/")) {
        path.absolute = true;
        SkipSpace();
        if (!StartsPath()) return true;  // "/" alone: the document
    }
    for (;;) {
        if (!ParseStep(path.steps.emplace_back())) return false;
        if (Accept(u"//"))
            addDescendantStep();
        else if (!Accept(u"/"))
            return true;
    }
}

bool SelectionParser::ParseStep(SelectionStep& step) {
    SkipSpace();
    if (Accept(u"..")) {
        step.axis = SelectionAxis::Parent;
        step.test.kind = NodeTestKind::AnyNode;
        return ParsePredicates(step);
    }
    if (Accept(u".")) {
        step.axis = SelectionAxis::Self;
        step.test.kind = NodeTestKind::AnyNode;
        return ParsePredicates(step);
    }
    if (Accept(u"@")) {
        step.axis = SelectionAxis::Attribute;
    } else {
        size_t save = pos_;
        XmlString name;
        if (ReadNcName(name) && Accept(u"::")) {
            bool known = false;
            for (const AxisName& axis : kAxes) {
                if (axis.name == name) {
                    step.axis = axis.axis;
                    known = true;
                }
            }
            if (!known) {
                Error("Unknown axis");
                return false;
            }
        } else {
            pos_ = save;
        }
    }
    return ParseNodeTest(step.test) && ParsePredicates(step);
}

bool SelectionParser::ParseNodeTest(NodeTest& test) {
    if (Accept(u"*")) {
        test.kind = NodeTestKind::AnyName;
        return true;
    }
    XmlString name;
    if (!ReadNcName(name)) {
        Error("Expected a name or a node test");
        return false;
    }
    if (Peek(u"(")) {
        if (name == u"text")
            test.kind = NodeTestKind::Text;
        else if (name == u"node")
            test.kind = NodeTestKind::AnyNode;
        else if (name == u"comment")
            test.kind = NodeTestKind::Comment;
        else if (name == u"processing-instruction")
            test.kind = NodeTestKind::ProcessingInstruction;
        else {
            Error("Unknown node test");
            return false;
        }
        Accept(u"(");
        if (!Accept(u")")) {
            Error("Expected ')'");
            return false;
        }
        return true;
    }
    test.kind = NodeTestKind::Name;
    // A prefix: the colon must follow the name directly (no "::", an axis).
    if (pos_ < text_.size() && text_[pos_] == u':' && !(pos_ + 1 < text_.size() && text_[pos_ + 1] == u':')) {
        ++pos_;
        test.prefix = name;
        if (pos_ < text_.size() && text_[pos_] == u'*') {
            ++pos_;
            test.kind = NodeTestKind::NamespaceAnyName;
        } else if (pos_ >= text_.size() || !IsNcNameStart(text_[pos_]) || !ReadNcName(test.localName)) {
            Error("Expected a local name after the prefix");
            return false;
        }
    } else {
        test.localName = name;
    }
    if (language_ == SelectionLanguage::XPath) {
        test.namespaceResolved = true;
        if (!test.prefix.empty()) {
            bool found = false;
            for (const auto& binding : namespaces_) {
                if (binding.first == test.prefix) {
                    test.namespaceUri = binding.second;
                    found = true;
                }
            }
            if (!found) {
                failed_ = true;
                reason_ = u"Reference to undeclared namespace prefix: '" + test.prefix + u"'.\n";
                return false;
            }
        }
    }
    return true;
}

bool SelectionParser::ParsePredicates(SelectionStep& step) {
    while (Accept(u"[")) {
        if (++depth_ > kMaxExpressionDepth) {
            Error("The expression is nested too deeply");
            return false;
        }
        auto predicate = ParseOr();
        if (!predicate) return false;
        if (!Accept(u"]")) {
            Error("Expected ']'");
            return false;
        }
        --depth_;
        step.predicates.push_back(std::move(predicate));
    }
    return !failed_;
}

}  // namespace msxml_core
