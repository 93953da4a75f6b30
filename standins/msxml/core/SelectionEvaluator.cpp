#include "SelectionEvaluator.h"

#include "Tree.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace msxml_core {
namespace {

bool IsReverseAxis(SelectionAxis axis) {
    return axis == SelectionAxis::Ancestor || axis == SelectionAxis::AncestorOrSelf ||
           axis == SelectionAxis::PrecedingSibling || axis == SelectionAxis::Parent;
}

bool IsNamespaceDeclaration(const Node& attribute) { return attribute.NamespaceUri() == kXmlnsNamespaceUri; }

ExprKind Mirrored(ExprKind kind) {
    switch (kind) {
        case ExprKind::Less:
            return ExprKind::Greater;
        case ExprKind::Greater:
            return ExprKind::Less;
        case ExprKind::LessOrEqual:
            return ExprKind::GreaterOrEqual;
        case ExprKind::GreaterOrEqual:
            return ExprKind::LessOrEqual;
        default:
            return kind;
    }
}

bool CompareNumbers(ExprKind kind, double a, double b) {
    switch (kind) {
        case ExprKind::Equal:
            return a == b;
        case ExprKind::NotEqual:
            return a != b;
        case ExprKind::Less:
            return a < b;
        case ExprKind::LessOrEqual:
            return a <= b;
        case ExprKind::Greater:
            return a > b;
        case ExprKind::GreaterOrEqual:
            return a >= b;
        default:
            return false;
    }
}

}  // namespace

SelectionEvaluator::SelectionEvaluator(Node& context) : context_(context) {}

std::vector<Node*> SelectionEvaluator::SelectNodes(const SelectionExpr& expression) {
    Value value = Evaluate(expression, context_, 1, 1);
    if (value.type != Value::Type::NodeSet) return {};
    return std::move(value.nodes);
}

void SelectionEvaluator::SortUnique(std::vector<Node*>& nodes) const {
    if (nodes.size() < 2) return;
    // Numbered only when an order is needed: most selections never merge sets.
    context_.OwnerTree().EnsureDocumentOrder(context_);
    std::sort(nodes.begin(), nodes.end(),
              [](const Node* a, const Node* b) { return a->DocumentOrder() < b->DocumentOrder(); });
    nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
}

SelectionEvaluator::Value SelectionEvaluator::Evaluate(const SelectionExpr& expression, Node& node,
                                                       size_t position, size_t size) {
    Value result;
    switch (expression.kind) {
        case ExprKind::Path:
            result.nodes = EvaluatePath(expression.path, node);
            break;
        case ExprKind::Union:
            for (const auto& operand : expression.operands) {
                std::vector<Node*> part = EvaluatePath(operand->path, node);
                result.nodes.insert(result.nodes.end(), part.begin(), part.end());
            }
            SortUnique(result.nodes);
            break;
        case ExprKind::Literal:
            result.type = Value::Type::String;
            result.text = expression.literal;
            break;
        case ExprKind::Number:
            result.type = Value::Type::Number;
            result.number = expression.number;
            break;
        case ExprKind::Position:
        case ExprKind::Last:
            result.type = Value::Type::Number;
            result.number = static_cast<double>(expression.kind == ExprKind::Position ? position : size);
            break;
        case ExprKind::Count:
            result.type = Value::Type::Number;
            result.number =
                static_cast<double>(Evaluate(*expression.operands[0], node, position, size).nodes.size());
            break;
        case ExprKind::Not:
            result.type = Value::Type::Boolean;
            result.boolean = !ToBoolean(Evaluate(*expression.operands[0], node, position, size));
            break;
        case ExprKind::Or:
        case ExprKind::And: {
            result.type = Value::Type::Boolean;
            bool isOr = expression.kind == ExprKind::Or;
            result.boolean = !isOr;
            for (const auto& operand : expression.operands) {
                bool value = ToBoolean(Evaluate(*operand, node, position, size));
                if (value == isOr) {
                    result.boolean = isOr;
                    break;
                }
            }
            break;
        }
        default: {
            Value left = Evaluate(*expression.operands[0], node, position, size);
            Value right = Evaluate(*expression.operands[1], node, position, size);
            result.type = Value::Type::Boolean;
            result.boolean = Compare(expression.kind, left, right);
            break;
        }
    }
    return result;
}

std::vector<Node*> SelectionEvaluator::EvaluatePath(const LocationPath& path, Node& start) {
    std::vector<Node*> current;
    current.push_back(path.absolute ? const_cast<Node*>(&start.Root()) : &start);
    std::vector<Node*> next;
    for (const SelectionStep& step : path.steps) {
        next.clear();
        for (Node* node : current) ApplyStep(step, *node, next);
        if (current.size() > 1 || IsReverseAxis(step.axis)) SortUnique(next);
        current.swap(next);
        if (current.empty()) break;
    }
    return current;
}

void SelectionEvaluator::CollectAxis(SelectionAxis axis, Node& node, std::vector<Node*>& out) const {
    switch (axis) {
        case SelectionAxis::Child:
            for (Node* child = node.FirstChild(); child != nullptr; child = child->NextSibling())
                out.push_back(child);
            break;
        case SelectionAxis::Attribute:
            for (Node* attribute = node.FirstAttribute(); attribute != nullptr;
                 attribute = attribute->NextSibling()) {
                if (!IsNamespaceDeclaration(*attribute)) out.push_back(attribute);
            }
            break;
        case SelectionAxis::DescendantOrSelf:
            out.push_back(&node);
            [[fallthrough]];
        case SelectionAxis::Descendant:
            if (node.Type() != NodeType::Attribute) {
                for (Node* descendant = node.FirstChild(); descendant != nullptr;
                     descendant = NextInSubtree(node, *descendant))
                    out.push_back(descendant);
            }
            break;
        case SelectionAxis::Self:
            out.push_back(&node);
            break;
        case SelectionAxis::Parent:
            if (node.Parent() != nullptr) out.push_back(node.Parent());
            break;
        case SelectionAxis::AncestorOrSelf:
            out.push_back(&node);
            [[fallthrough]];
        case SelectionAxis::Ancestor:
            for (Node* ancestor = node.Parent(); ancestor != nullptr; ancestor = ancestor->Parent())
                out.push_back(ancestor);
            break;
        case SelectionAxis::FollowingSibling:
            if (node.Type() != NodeType::Attribute) {
                for (Node* sibling = node.NextSibling(); sibling != nullptr; sibling = sibling->NextSibling())
                    out.push_back(sibling);
            }
            break;
        case SelectionAxis::PrecedingSibling:
            if (node.Type() != NodeType::Attribute) {
                for (Node* sibling = node.PreviousSibling(); sibling != nullptr;
                     sibling = sibling->PreviousSibling())
                    out.push_back(sibling);
            }
            break;
    }
}

bool SelectionEvaluator::ResolvePrefix(const XmlString& prefix, XmlStringView& uri) {
    for (const auto& entry : prefixCache_) {
        if (entry.first == prefix) {
            uri = entry.second.second;
            return entry.second.first;
        }
    }
    XmlStringView found;
    bool resolved = context_.OwnerTree().LookupNamespaceUri(context_, prefix, found);
    if (!resolved) {
        // Not in scope here: the document's first declaration of the prefix.
        const Node& root = context_.Root();
        for (const Node* node = &root; node != nullptr && !resolved; node = NextInSubtree(root, *node)) {
            for (const Node* attribute = node->FirstAttribute(); attribute != nullptr;
                 attribute = attribute->NextSibling()) {
                if (attribute->Prefix() == u"xmlns" && attribute->LocalName() == prefix &&
                    !attribute->Value().empty()) {
                    found = attribute->Value();
                    resolved = true;
                    break;
                }
            }
        }
    }
    prefixCache_.emplace_back(prefix, std::make_pair(resolved, XmlString(found)));
    uri = prefixCache_.back().second.second;
    return resolved;
}

bool SelectionEvaluator::MatchesTest(const NodeTest& test, SelectionAxis axis, const Node& node) {
    NodeType principal = axis == SelectionAxis::Attribute ? NodeType::Attribute : NodeType::Element;
    switch (test.kind) {
        case NodeTestKind::AnyNode:
            return true;
        case NodeTestKind::Text:
            return node.Type() == NodeType::Text || node.Type() == NodeType::CDataSection;
        case NodeTestKind::Comment:
            return node.Type() == NodeType::Comment;
        case NodeTestKind::ProcessingInstruction:
            return node.Type() == NodeType::ProcessingInstruction;
        case NodeTestKind::AnyName:
            return node.Type() == principal;
        case NodeTestKind::NamespaceAnyName:
        case NodeTestKind::Name:
            break;
    }
    if (node.Type() != principal) return false;
    bool anyLocal = test.kind == NodeTestKind::NamespaceAnyName;
    if (!anyLocal && node.LocalName() != test.localName) return false;
    if (test.namespaceResolved) return node.NamespaceUri() == test.namespaceUri;
    // XSLPattern.
    if (test.prefix.empty()) return node.Prefix().empty();
    XmlStringView uri;
    if (ResolvePrefix(test.prefix, uri)) return node.NamespaceUri() == uri;
    return node.Prefix() == test.prefix;
}

void SelectionEvaluator::ApplyStep(const SelectionStep& step, Node& node, std::vector<Node*>& out) {
    std::vector<Node*> candidates;
    CollectAxis(step.axis, node, candidates);
    candidates.erase(
        std::remove_if(candidates.begin(), candidates.end(),
                       [&](const Node* candidate) { return !MatchesTest(step.test, step.axis, *candidate); }),
        candidates.end());
    for (const auto& predicate : step.predicates) {
        std::vector<Node*> kept;
        size_t size = candidates.size();
        for (size_t i = 0; i < size; ++i) {
            Value value = Evaluate(*predicate, *candidates[i], i + 1, size);
            bool keep = value.type == Value::Type::Number ? value.number == static_cast<double>(i + 1)
                                                          : ToBoolean(value);
            if (keep) kept.push_back(candidates[i]);
        }
        candidates.swap(kept);
    }
    out.insert(out.end(), candidates.begin(), candidates.end());
}

XmlString SelectionEvaluator::StringValue(const Node& node) {
    if (node.HasValue()) return node.Value();
    XmlString text;
    for (const Node* descendant = node.FirstChild(); descendant != nullptr;
         descendant = NextInSubtree(node, *descendant)) {
        if (descendant->Type() == NodeType::Text || descendant->Type() == NodeType::CDataSection)
            text.append(descendant->Value());
    }
    return text;
}

double SelectionEvaluator::TextToNumber(XmlStringView raw) {
    XmlStringView text = TrimXmlWhitespace(raw);
    size_t pos = 0;
    bool negative = pos < text.size() && text[pos] == u'-';
    if (negative) ++pos;
    double value = 0;
    size_t digits = 0;
    for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos, ++digits)
        value = value * 10 + (text[pos] - u'0');
    if (pos < text.size() && text[pos] == u'.') {
        double scale = 0.1;
        for (++pos; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos, ++digits, scale /= 10)
            value += (text[pos] - u'0') * scale;
    }
    if (digits == 0 || pos != text.size()) return std::numeric_limits<double>::quiet_NaN();
    return negative ? -value : value;
}

bool SelectionEvaluator::ToBoolean(const Value& value) {
    switch (value.type) {
        case Value::Type::NodeSet:
            return !value.nodes.empty();
        case Value::Type::String:
            return !value.text.empty();
        case Value::Type::Number:
            return value.number != 0 && !std::isnan(value.number);
        case Value::Type::Boolean:
            return value.boolean;
    }
    return false;
}

XmlString SelectionEvaluator::ToText(const Value& value) {
    switch (value.type) {
        case Value::Type::NodeSet:
            return value.nodes.empty() ? XmlString() : StringValue(*value.nodes.front());
        case Value::Type::String:
            return value.text;
        case Value::Type::Number: {
            if (std::isnan(value.number)) return u"NaN";
            double whole = std::floor(value.number);
            if (whole == value.number && std::fabs(whole) < 1e15)
                return (whole < 0 ? XmlString(u"-") : XmlString()) +
                       ToXmlDecimal(static_cast<uint64_t>(std::fabs(whole)));
            return AsciiToXml(std::to_string(value.number));
        }
        case Value::Type::Boolean:
            return value.boolean ? u"true" : u"false";
    }
    return {};
}

double SelectionEvaluator::ToNumber(const Value& value) {
    switch (value.type) {
        case Value::Type::Number:
            return value.number;
        case Value::Type::Boolean:
            return value.boolean ? 1 : 0;
        default:
            return TextToNumber(ToText(value));
    }
}

bool SelectionEvaluator::Compare(ExprKind kind, const Value& left, const Value& right) {
    bool equality = kind == ExprKind::Equal || kind == ExprKind::NotEqual;
    using Type = Value::Type;
    if (left.type == Type::NodeSet && right.type == Type::NodeSet) {
        for (const Node* a : left.nodes) {
            XmlString textA = StringValue(*a);
            for (const Node* b : right.nodes) {
                XmlString textB = StringValue(*b);
                bool holds = equality ? ((textA == textB) == (kind == ExprKind::Equal))
                                      : CompareNumbers(kind, TextToNumber(textA), TextToNumber(textB));
                if (holds) return true;
            }
        }
        return false;
    }
    if (left.type == Type::NodeSet || right.type == Type::NodeSet) {
        const Value& set = left.type == Type::NodeSet ? left : right;
        const Value& other = left.type == Type::NodeSet ? right : left;
        ExprKind oriented = left.type == Type::NodeSet ? kind : Mirrored(kind);
        if (other.type == Type::Boolean)
            return CompareNumbers(oriented, ToBoolean(set) ? 1 : 0, other.boolean ? 1 : 0);
        for (const Node* node : set.nodes) {
            XmlString text = StringValue(*node);
            bool holds;
            if (other.type == Type::String && equality)
                holds = (text == other.text) == (oriented == ExprKind::Equal);
            else
                holds = CompareNumbers(oriented, TextToNumber(text), ToNumber(other));
            if (holds) return true;
        }
        return false;
    }
    if (equality) {
        bool equal;
        if (left.type == Type::Boolean || right.type == Type::Boolean)
            equal = ToBoolean(left) == ToBoolean(right);
        else if (left.type == Type::Number || right.type == Type::Number)
            equal = ToNumber(left) == ToNumber(right);
        else
            equal = ToText(left) == ToText(right);
        return equal == (kind == ExprKind::Equal);
    }
    return CompareNumbers(kind, ToNumber(left), ToNumber(right));
}

}  // namespace msxml_core
