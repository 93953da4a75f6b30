#include "Parser.h"

#include "Limits.h"
#include "XmlChars.h"
#include "XmlDeclaration.h"

#include <algorithm>

namespace msxml_core {
namespace {

constexpr XmlStringView kDataTypesNamespace = u"urn:schemas-microsoft-com:datatypes";

// Characters that end a run of ordinary text and need a closer look.
inline bool IsPlainTextUnit(char16_t c) {
    return (c >= 0x20 && c != u'<' && c != u'&' && c != u']' && c != u'\r' && (c < 0xD800 || c > 0xDFFF) &&
            c < 0xFFFE) ||
           c == u'\t' || c == u'\n';
}

XmlString LimitText(size_t limit) { return ToXmlDecimal(limit); }

}  // namespace

Parser::Parser(XmlStringView text, Tree& tree, ParseError& error) : text_(text), tree_(tree), error_(error) {}

bool Parser::Fail(ErrorCode code, size_t offset, XmlStringView arg1, XmlStringView arg2) {
    error_.errorCode = code;
    error_.reason = FormatReason(code, arg1, arg2);
    LocateError(text_, offset, error_);
    return false;
}

bool Parser::StartsWith(XmlStringView literal) const {
    return text_.size() - pos_ >= literal.size() && text_.compare(pos_, literal.size(), literal) == 0;
}

bool Parser::SkipWhitespace() {
    size_t start = pos_;
    while (pos_ < text_.size() && IsXmlWhitespace(text_[pos_])) ++pos_;
    return pos_ != start;
}

Node& Parser::CurrentParent() { return openElements_.empty() ? tree_.DocumentNode() : *openElements_.back(); }

bool Parser::ScanCharacter(ErrorCode invalidCode) {
    char16_t c = text_[pos_];
    if (IsHighSurrogate(c)) {
        if (pos_ + 1 >= text_.size() || !IsLowSurrogate(text_[pos_ + 1])) return Fail(invalidCode, pos_);
        pos_ += 2;
        return true;
    }
    if (IsLowSurrogate(c) || !IsXmlCharUnit(c)) return Fail(invalidCode, pos_);
    ++pos_;
    return true;
}

bool Parser::ScanName(XmlStringView& name) {
    size_t start = pos_;
    if (pos_ >= text_.size()) return Fail(codes::kUnexpectedEof, pos_);
    char16_t first = text_[pos_];
    if (IsXmlWhitespace(first)) return Fail(codes::kUnexpectedWhitespace, pos_);
    if (!IsNameStartChar(first) || IsLowSurrogate(first)) return Fail(codes::kBadStartNameChar, pos_);
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) {
        char16_t c = text_[pos_];
        if (IsHighSurrogate(c)) {
            if (pos_ + 1 >= text_.size() || !IsLowSurrogate(text_[pos_ + 1]))
                return Fail(codes::kBadNameChar, pos_);
            pos_ += 2;
        } else if (IsLowSurrogate(c)) {
            return Fail(codes::kBadNameChar, pos_);
        } else {
            ++pos_;
        }
        if (pos_ - start > kMaxTokenLength)
            return Fail(codes::kTokenTooLong, start, LimitText(kMaxTokenLength));
    }
    name = text_.substr(start, pos_ - start);
    return true;
}

bool Parser::ScanQualifiedName(XmlStringView& name) {
    size_t start = pos_;
    if (!ScanName(name)) return false;
    size_t colon = name.find(u':');
    if (colon == XmlStringView::npos) return true;
    if (name.find(u':', colon + 1) != XmlStringView::npos)
        return Fail(codes::kMultipleColons, start + name.find(u':', colon + 1));
    if (colon == 0) return Fail(codes::kBadStartNameChar, start);
    if (colon + 1 == name.size() || !IsNameStartChar(name[colon + 1]))
        return Fail(codes::kBadStartNameChar, start + colon + 1);
    return true;
}

bool Parser::Parse() {
    if (text_.size() > kMaxDocumentBytes / 2)
        return Fail(codes::kDocumentTooLarge, 0, LimitText(kMaxDocumentBytes));
    if (!text_.empty() && text_[0] == 0xFEFF) pos_ = 1;
    if (StartsWith(u"<?xml") &&
        (pos_ + 5 >= text_.size() || IsXmlWhitespace(text_[pos_ + 5]) || text_[pos_ + 5] == u'?')) {
        if (!ParseXmlDeclaration()) return false;
    }
    while (pos_ < text_.size()) {
        if (text_[pos_] != u'<') {
            if (openElements_.empty()) {
                if (!SkipTopLevelWhitespace()) return false;
            } else if (!ParseText()) {
                return false;
            }
            continue;
        }
        FlushText();
        char16_t next = pos_ + 1 < text_.size() ? text_[pos_ + 1] : u'\0';
        bool ok;
        if (next == u'/') {
            ok = ParseEndTag();
        } else if (next == u'?') {
            ok = ParseProcessingInstruction();
        } else if (next == u'!') {
            if (StartsWith(u"<!--"))
                ok = ParseComment();
            else if (StartsWith(u"<![CDATA["))
                ok = openElements_.empty() ? Fail(codes::kInvalidAtRootLevel, pos_) : ParseCData();
            else if (StartsWith(u"<!DOCTYPE"))
                ok = Fail(codes::kDtdProhibited, pos_);
            else
                ok = Fail(openElements_.empty() ? codes::kInvalidAtRootLevel : codes::kBadStartNameChar,
                          pos_ + 1);
        } else {
            ok = ParseStartTag();
        }
        if (!ok) return false;
    }
    FlushText();
    if (!openElements_.empty()) {
        XmlString names;
        for (const Node* open : openElements_) {
            if (!names.empty()) names.append(u", ");
            names.append(open->Name()->qualified);
        }
        return Fail(codes::kUnclosedTag, text_.size(), names);
    }
    if (!rootSeen_) return Fail(codes::kMissingRoot, text_.size());
    return true;
}

bool Parser::ParseXmlDeclaration() {
    size_t start = pos_;
    pos_ += 5;
    size_t bodyStart = pos_;
    while (pos_ < text_.size() && !StartsWith(u"?>")) {
        if (!ScanCharacter(codes::kBadCharInString)) return false;
    }
    if (pos_ >= text_.size()) return Fail(codes::kUnclosedPi, pos_);
    XmlStringView body = text_.substr(bodyStart, pos_ - bodyStart);
    XmlDeclaration declaration;
    ErrorCode code;
    size_t errorOffset;
    if (!XmlDeclaration::Parse(body, declaration, code, errorOffset))
        return Fail(code, bodyStart + errorOffset);
    pos_ += 2;
    Node& pi = tree_.NewNode(NodeType::ProcessingInstruction, tree_.Names().Intern(u"xml", {}));
    pi.value_.assign(TrimXmlWhitespace(body));
    pi.sourceOffset_ = static_cast<uint32_t>(start);
    tree_.LinkLastChild(tree_.DocumentNode(), pi);
    return true;
}

bool Parser::SkipTopLevelWhitespace() {
    while (pos_ < text_.size() && text_[pos_] != u'<') {
        if (!IsXmlWhitespace(text_[pos_])) return Fail(codes::kInvalidAtRootLevel, pos_);
        ++pos_;
    }
    return true;
}

bool Parser::ParseText() {
    if (textBuffer_.empty()) textStart_ = pos_;
    while (pos_ < text_.size()) {
        size_t runStart = pos_;
        while (pos_ < text_.size() && IsPlainTextUnit(text_[pos_])) ++pos_;
        if (pos_ != runStart) textBuffer_.append(text_.substr(runStart, pos_ - runStart));
        if (pos_ >= text_.size()) break;
        char16_t c = text_[pos_];
        if (c == u'<') break;
        if (c == u'&') {
            if (!ParseReference(textBuffer_, codes::kBadStartNameChar)) return false;
        } else if (c == u'\r') {
            textBuffer_.push_back(u'\n');
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
        } else if (c == u']') {
            if (StartsWith(u"]]>")) return Fail(codes::kInvalidCDataClosingTag, pos_);
            textBuffer_.push_back(c);
            ++pos_;
        } else {
            size_t charStart = pos_;
            if (!ScanCharacter(codes::kBadCharData)) return false;
            textBuffer_.append(text_.substr(charStart, pos_ - charStart));
        }
    }
    return true;
}

void Parser::FlushText() {
    if (textBuffer_.empty()) return;
    bool keep = preserveStack_.empty() ? tree_.PreserveWhiteSpace() : preserveStack_.back();
    if (keep || !IsAllXmlWhitespace(textBuffer_)) {
        Node& node = tree_.NewNode(NodeType::Text, nullptr);
        node.value_.swap(textBuffer_);
        node.sourceOffset_ = static_cast<uint32_t>(textStart_);
        tree_.LinkLastChild(CurrentParent(), node);
    }
    textBuffer_.clear();
}

bool Parser::ParseReference(XmlString& out, ErrorCode invalidStart) {
    size_t start = pos_;
    ++pos_;
    if (pos_ >= text_.size()) return Fail(codes::kUnexpectedEof, pos_);
    if (text_[pos_] == u'#') {
        ++pos_;
        bool hex = pos_ < text_.size() && text_[pos_] == u'x';
        if (hex) ++pos_;
        uint32_t value = 0;
        size_t digits = 0;
        for (; pos_ < text_.size() && text_[pos_] != u';'; ++pos_, ++digits) {
            char16_t c = text_[pos_];
            uint32_t digit;
            if (c >= u'0' && c <= u'9')
                digit = c - u'0';
            else if (hex && c >= u'a' && c <= u'f')
                digit = c - u'a' + 10;
            else if (hex && c >= u'A' && c <= u'F')
                digit = c - u'A' + 10;
            else
                return Fail(hex ? codes::kInvalidHexadecimal : codes::kInvalidDecimal, pos_);
            value = std::min<uint32_t>(value * (hex ? 16 : 10) + digit, 0x110000);
        }
        if (pos_ >= text_.size()) return Fail(codes::kUnexpectedEof, pos_);
        if (digits == 0) return Fail(hex ? codes::kInvalidHexadecimal : codes::kInvalidDecimal, pos_);
        bool valid = value == 0x9 || value == 0xA || value == 0xD || (value >= 0x20 && value <= 0xD7FF) ||
                     (value >= 0xE000 && value <= 0xFFFD) || (value >= 0x10000 && value <= 0x10FFFF);
        if (!valid) return Fail(codes::kInvalidUnicode, start);
        ++pos_;
        if (value >= 0x10000) {
            value -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(value));
        }
        return true;
    }
    if (IsXmlWhitespace(text_[pos_])) return Fail(codes::kUnexpectedWhitespace, pos_);
    if (!IsNameStartChar(text_[pos_])) return Fail(invalidStart, pos_);
    XmlStringView name;
    if (!ScanName(name)) return false;
    if (pos_ >= text_.size()) return Fail(codes::kUnexpectedEof, pos_);
    if (text_[pos_] != u';') return Fail(codes::kMissingSemicolon, pos_);
    ++pos_;
    if (name == u"lt")
        out.push_back(u'<');
    else if (name == u"gt")
        out.push_back(u'>');
    else if (name == u"amp")
        out.push_back(u'&');
    else if (name == u"apos")
        out.push_back(u'\'');
    else if (name == u"quot")
        out.push_back(u'"');
    else
        return Fail(codes::kMissingEntity, start, name);
    return true;
}

bool Parser::ParseAttributeValue(XmlString& value) {
    value.clear();
    if (pos_ >= text_.size()) return Fail(codes::kUnexpectedEof, pos_);
    char16_t quote = text_[pos_];
    if (quote != u'"' && quote != u'\'') return Fail(codes::kMissingQuote, pos_);
    size_t valueStart = ++pos_;
    for (;;) {
        size_t runStart = pos_;
        while (pos_ < text_.size()) {
            char16_t c = text_[pos_];
            if (c == quote || c == u'<' || c == u'&' || c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) ||
                c >= 0xFFFE)
                break;
            ++pos_;
        }
        value.append(text_.substr(runStart, pos_ - runStart));
        if (value.size() > kMaxTokenLength)
            return Fail(codes::kTokenTooLong, valueStart, LimitText(kMaxTokenLength));
        if (pos_ >= text_.size()) return Fail(codes::kUnclosedString, pos_);
        char16_t c = text_[pos_];
        if (c == quote) {
            ++pos_;
            return true;
        }
        if (c == u'<') return Fail(codes::kBadCharInString, pos_);
        if (c == u'&') {
            if (!ParseReference(value, codes::kBadStartNameChar)) return false;
        } else if (c == u'\r') {
            // Attribute value normalisation: each line end and tab becomes a blank.
            value.push_back(u' ');
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
        } else if (c == u'\n' || c == u'\t') {
            value.push_back(u' ');
            ++pos_;
        } else {
            size_t charStart = pos_;
            if (!ScanCharacter(codes::kBadCharInString)) return false;
            value.append(text_.substr(charStart, pos_ - charStart));
        }
    }
}

bool Parser::ParseStartTag() {
    size_t tagStart = pos_;
    ++pos_;
    if (openElements_.empty() && rootSeen_) {
        // Report the second root before looking at its name, as MSXML does.
        if (pos_ < text_.size() && IsNameStartChar(text_[pos_])) return Fail(codes::kMultipleRoots, tagStart);
    }
    XmlStringView qualifiedName;
    if (!ScanQualifiedName(qualifiedName)) return false;
    size_t count = 0;
    bool selfClosing = false;
    for (;;) {
        bool hadWhitespace = SkipWhitespace();
        if (pos_ >= text_.size()) return Fail(codes::kUnclosedStartTag, pos_);
        char16_t c = text_[pos_];
        if (c == u'>') {
            ++pos_;
            break;
        }
        if (c == u'/') {
            if (pos_ + 1 >= text_.size()) return Fail(codes::kUnclosedStartTag, pos_ + 1);
            if (text_[pos_ + 1] != u'>') return Fail(codes::kExpectingTagEnd, pos_ + 1);
            pos_ += 2;
            selfClosing = true;
            break;
        }
        if (!hadWhitespace)
            return Fail(IsNameStartChar(c) ? codes::kMissingWhitespace : codes::kBadNameChar, pos_);
        size_t nameStart = pos_;
        XmlStringView attributeName;
        if (!ScanQualifiedName(attributeName)) return false;
        SkipWhitespace();
        if (pos_ >= text_.size()) return Fail(codes::kUnclosedStartTag, pos_);
        if (text_[pos_] != u'=') return Fail(codes::kMissingEquals, pos_);
        ++pos_;
        SkipWhitespace();
        if (attributeValues_.size() <= count) attributeValues_.emplace_back();
        if (!ParseAttributeValue(attributeValues_[count])) return false;
        if (rawAttributes_.size() <= count) rawAttributes_.emplace_back();
        rawAttributes_[count] = RawAttribute{nameStart, attributeName.size(), nameStart};
        ++count;
    }
    return BuildElement(tagStart, qualifiedName, count, selfClosing);
}

bool Parser::LookupBinding(XmlStringView prefix, XmlStringView& uri) const {
    for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
        if (it->prefix == prefix) {
            uri = it->uri;
            return !(uri.empty() && !prefix.empty());
        }
    }
    if (prefix == u"xml") {
        uri = kXmlNamespaceUri;
        return true;
    }
    uri = {};
    return prefix.empty();
}

bool Parser::BuildElement(size_t tagStart, XmlStringView qualifiedName, size_t attributeCount,
                          bool selfClosing) {
    Node& parent = CurrentParent();
    if (&parent == &tree_.DocumentNode() && rootSeen_) return Fail(codes::kMultipleRoots, tagStart);
    if (openElements_.size() + 1 > kMaxNestingDepth)
        return Fail(codes::kNestingTooDeep, tagStart, LimitText(kMaxNestingDepth));

    // Declarations first: they apply to the element's own name and attributes.
    size_t mark = bindings_.size();
    Node& element = tree_.NewNode(NodeType::Element, nullptr);
    element.sourceOffset_ = static_cast<uint32_t>(tagStart);
    attributeNodes_.clear();
    bool preserve = preserveStack_.empty() ? tree_.PreserveWhiteSpace() : preserveStack_.back();
    for (size_t i = 0; i < attributeCount; ++i) {
        const RawAttribute& raw = rawAttributes_[i];
        Node& attribute = tree_.NewNode(NodeType::Attribute, nullptr);
        attribute.value_.swap(attributeValues_[i]);
        attribute.sourceOffset_ = static_cast<uint32_t>(raw.offset);
        attributeNodes_.push_back(&attribute);
        XmlStringView name = text_.substr(raw.nameStart, raw.nameLength);
        if (name == u"xmlns") {
            bindings_.push_back({XmlStringView(), attribute.value_});
        } else if (name.substr(0, 6) == u"xmlns:") {
            XmlStringView prefix = name.substr(6);
            if (prefix == u"xmlns" || (prefix == u"xml" && attribute.value_ != kXmlNamespaceUri) ||
                (prefix != u"xml" && attribute.value_ == kXmlNamespaceUri))
                return Fail(codes::kReservedNamespace, raw.offset);
            bindings_.push_back({prefix, attribute.value_});
        } else if (name == u"xml:space") {
            preserve = attribute.value_ == u"preserve"  ? true
                       : attribute.value_ == u"default" ? false
                                                        : preserve;
        }
    }

    size_t colon = qualifiedName.find(u':');
    XmlStringView prefix = colon == XmlStringView::npos ? XmlStringView() : qualifiedName.substr(0, colon);
    XmlStringView uri;
    if (!LookupBinding(prefix, uri)) return Fail(codes::kUndeclaredPrefix, tagStart, prefix);
    element.name_ = tree_.Names().Intern(qualifiedName, uri);

    for (size_t i = 0; i < attributeCount; ++i) {
        const RawAttribute& raw = rawAttributes_[i];
        XmlStringView name = text_.substr(raw.nameStart, raw.nameLength);
        size_t attributeColon = name.find(u':');
        XmlStringView attributeUri;
        if (name == u"xmlns" || name.substr(0, 6) == u"xmlns:") {
            attributeUri = kXmlnsNamespaceUri;
        } else if (attributeColon != XmlStringView::npos) {
            XmlStringView attributePrefix = name.substr(0, attributeColon);
            if (!LookupBinding(attributePrefix, attributeUri))
                return Fail(codes::kUndeclaredPrefix, raw.offset, attributePrefix);
        }
        Node& attribute = *attributeNodes_[i];
        attribute.name_ = tree_.Names().Intern(name, attributeUri);
        tree_.LinkLastAttribute(element, attribute);
        if (attributeUri == kDataTypesNamespace && attribute.name_->localName == u"dt") {
            DataType inlineType;
            if (DataTypeFromName(attribute.value_, inlineType)) element.dataType_ = inlineType;
        }
    }
    if (!CheckDuplicateAttributes(attributeCount)) return false;

    tree_.LinkLastChild(parent, element);
    if (&parent == &tree_.DocumentNode()) rootSeen_ = true;
    if (selfClosing) {
        element.sourceEndOffset_ = static_cast<uint32_t>(tagStart);
        bindings_.resize(mark);
        return true;
    }
    openElements_.push_back(&element);
    scopeMarks_.push_back(mark);
    preserveStack_.push_back(preserve);
    return true;
}

bool Parser::CheckDuplicateAttributes(size_t attributeCount) {
    if (attributeCount < 2) return true;
    // Two attributes clash when their qualified names are equal or when they
    // expand to the same namespace and local name.
    auto sameName = [](const Node* a, const Node* b) {
        const QualifiedName& x = *a->Name();
        const QualifiedName& y = *b->Name();
        return &x == &y || x.qualified == y.qualified ||
               (!x.namespaceUri.empty() && x.namespaceUri == y.namespaceUri && x.localName == y.localName);
    };
    if (attributeCount <= 16) {
        for (size_t i = 1; i < attributeCount; ++i) {
            for (size_t j = 0; j < i; ++j) {
                if (sameName(attributeNodes_[i], attributeNodes_[j]))
                    return Fail(codes::kDuplicateAttribute, attributeNodes_[i]->sourceOffset_);
            }
        }
        return true;
    }
    // Many attributes: sort by expanded name so that clashes become neighbours.
    std::vector<Node*> sorted(attributeNodes_.begin(), attributeNodes_.begin() + attributeCount);
    auto key = [](const Node* n) {
        const QualifiedName& q = *n->Name();
        return q.namespaceUri.empty()
                   ? std::make_pair(XmlStringView(), XmlStringView(q.qualified))
                   : std::make_pair(XmlStringView(q.namespaceUri), XmlStringView(q.localName));
    };
    std::sort(sorted.begin(), sorted.end(), [&](const Node* a, const Node* b) { return key(a) < key(b); });
    for (size_t i = 1; i < sorted.size(); ++i) {
        if (key(sorted[i]) == key(sorted[i - 1]))
            return Fail(codes::kDuplicateAttribute,
                        std::max(sorted[i]->sourceOffset_, sorted[i - 1]->sourceOffset_));
    }
    return true;
}

bool Parser::ParseEndTag() {
    size_t tagStart = pos_;
    pos_ += 2;
    XmlStringView name;
    if (!ScanQualifiedName(name)) return false;
    SkipWhitespace();
    if (pos_ >= text_.size()) return Fail(codes::kUnclosedEndTag, pos_);
    if (text_[pos_] != u'>') return Fail(codes::kExpectingTagEnd, pos_);
    ++pos_;
    if (openElements_.empty()) return Fail(codes::kUnexpectedEndTag, tagStart);
    Node& element = *openElements_.back();
    if (element.Name()->qualified != name)
        return Fail(codes::kEndTagMismatch, tagStart + 2, element.Name()->qualified, name);
    FlushText();
    element.sourceEndOffset_ = static_cast<uint32_t>(tagStart);
    openElements_.pop_back();
    bindings_.resize(scopeMarks_.back());
    scopeMarks_.pop_back();
    preserveStack_.pop_back();
    return true;
}

}  // namespace msxml_core
