// Parser, continued: comments, CDATA sections and processing instructions.
#include "Parser.h"

#include "XmlChars.h"

namespace msxml_core {

bool Parser::ParseComment() {
    size_t start = pos_;
    pos_ += 4;
    XmlString body;
    for (;;) {
        if (pos_ >= text_.size()) return Fail(codes::kUnclosedComment, pos_);
        char16_t c = text_[pos_];
        if (c == u'-' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'-') {
            if (pos_ + 2 < text_.size() && text_[pos_ + 2] == u'>') break;
            return Fail(codes::kCommentSyntax, pos_);
        }
        if (!TakeMarkupCharacter(body)) return false;
    }
    pos_ += 3;
    LinkMarkupNode(tree_.NewNode(NodeType::Comment, nullptr), body, start);
    return true;
}

bool Parser::ParseCData() {
    size_t start = pos_;
    pos_ += 9;
    XmlString body;
    for (;;) {
        if (pos_ >= text_.size()) return Fail(codes::kUnclosedCData, pos_);
        if (StartsWith(u"]]>")) break;
        if (!TakeMarkupCharacter(body)) return false;
    }
    pos_ += 3;
    LinkMarkupNode(tree_.NewNode(NodeType::CDataSection, nullptr), body, start);
    return true;
}

bool Parser::ParseProcessingInstruction() {
    size_t start = pos_;
    pos_ += 2;
    size_t targetStart = pos_;
    XmlStringView target;
    if (!ScanName(target)) return false;
    if (target.size() == 3 && (target[0] == u'x' || target[0] == u'X') &&
        (target[1] == u'm' || target[1] == u'M') && (target[2] == u'l' || target[2] == u'L'))
        return Fail(target == u"xml" ? codes::kBadXmlDecl : codes::kBadXmlCase, targetStart);
    XmlString data;
    if (!StartsWith(u"?>")) {
        if (!SkipWhitespace()) {
            if (pos_ >= text_.size()) return Fail(codes::kUnclosedPi, pos_);
            return Fail(codes::kBadNameChar, pos_);
        }
        for (;;) {
            if (pos_ >= text_.size()) return Fail(codes::kUnclosedPi, pos_);
            if (StartsWith(u"?>")) break;
            if (!TakeMarkupCharacter(data)) return false;
        }
    }
    pos_ += 2;
    LinkMarkupNode(tree_.NewNode(NodeType::ProcessingInstruction, tree_.Names().Intern(target, {})), data,
                   start);
    return true;
}

// One character of a comment, CDATA section or processing instruction: a line end (CR, CR LF) becomes LF,
// anything else is checked as XML character data.
bool Parser::TakeMarkupCharacter(XmlString& out) {
    if (text_[pos_] == u'\r') {
        out.push_back(u'\n');
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
        return true;
    }
    const size_t charStart = pos_;
    if (!ScanCharacter(codes::kBadCharData)) return false;
    out.append(text_.substr(charStart, pos_ - charStart));
    return true;
}

void Parser::LinkMarkupNode(Node& node, XmlString& value, size_t start) {
    node.value_.swap(value);
    node.sourceOffset_ = static_cast<uint32_t>(start);
    tree_.LinkLastChild(CurrentParent(), node);
}

}  // namespace msxml_core
