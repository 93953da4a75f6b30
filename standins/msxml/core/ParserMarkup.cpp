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
        if (c == u'\r') {
            body.push_back(u'\n');
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
            continue;
        }
        size_t charStart = pos_;
        if (!ScanCharacter(codes::kBadCharData)) return false;
        body.append(text_.substr(charStart, pos_ - charStart));
    }
    pos_ += 3;
    Node& comment = tree_.NewNode(NodeType::Comment, nullptr);
    comment.value_.swap(body);
    comment.sourceOffset_ = static_cast<uint32_t>(start);
    tree_.LinkLastChild(CurrentParent(), comment);
    return true;
}

bool Parser::ParseCData() {
    size_t start = pos_;
    pos_ += 9;
    XmlString body;
    for (;;) {
        if (pos_ >= text_.size()) return Fail(codes::kUnclosedCData, pos_);
        if (StartsWith(u"]]>")) break;
        char16_t c = text_[pos_];
        if (c == u'\r') {
            body.push_back(u'\n');
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
            continue;
        }
        size_t charStart = pos_;
        if (!ScanCharacter(codes::kBadCharData)) return false;
        body.append(text_.substr(charStart, pos_ - charStart));
    }
    pos_ += 3;
    Node& section = tree_.NewNode(NodeType::CDataSection, nullptr);
    section.value_.swap(body);
    section.sourceOffset_ = static_cast<uint32_t>(start);
    tree_.LinkLastChild(CurrentParent(), section);
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
            char16_t c = text_[pos_];
            if (c == u'\r') {
                data.push_back(u'\n');
                ++pos_;
                if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
                continue;
            }
            size_t charStart = pos_;
            if (!ScanCharacter(codes::kBadCharData)) return false;
            data.append(text_.substr(charStart, pos_ - charStart));
        }
    }
    pos_ += 2;
    Node& pi = tree_.NewNode(NodeType::ProcessingInstruction, tree_.Names().Intern(target, {}));
    pi.value_.swap(data);
    pi.sourceOffset_ = static_cast<uint32_t>(start);
    tree_.LinkLastChild(CurrentParent(), pi);
    return true;
}

}  // namespace msxml_core
