#include "XmlDeclaration.h"

namespace msxml_core {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsEncodingName(XmlStringView name) {
    if (name.empty() || !IsAsciiLetter(name[0])) return false;
    for (char16_t c : name) {
        if (!IsAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'.' && c != u'_' && c != u'-')
            return false;
    }
    return true;
}

}  // namespace

bool XmlDeclaration::Parse(XmlStringView body, XmlDeclaration& declaration, ErrorCode& code,
                           size_t& errorOffset) {
    declaration = XmlDeclaration();
    size_t pos = 0;
    int index = 0;  // 0 version, 1 encoding, 2 standalone: the order XML fixes
    auto fail = [&](ErrorCode failure, size_t at) {
        code = failure;
        errorOffset = at;
        return false;
    };
    for (;;) {
        size_t whitespaceStart = pos;
        while (pos < body.size() && IsXmlWhitespace(body[pos])) ++pos;
        if (pos >= body.size()) break;
        if (pos == whitespaceStart) return fail(codes::kMissingWhitespace, pos);
        size_t nameStart = pos;
        while (pos < body.size() && IsAsciiLetter(body[pos])) ++pos;
        XmlStringView name = body.substr(nameStart, pos - nameStart);
        while (pos < body.size() && IsXmlWhitespace(body[pos])) ++pos;
        if (pos >= body.size() || body[pos] != u'=')
            return fail(name.empty() ? codes::kXmlDeclSyntax : codes::kMissingEquals, pos);
        ++pos;
        while (pos < body.size() && IsXmlWhitespace(body[pos])) ++pos;
        if (pos >= body.size() || (body[pos] != u'"' && body[pos] != u'\''))
            return fail(codes::kMissingQuote, pos);
        char16_t quote = body[pos++];
        size_t valueStart = pos;
        while (pos < body.size() && body[pos] != quote) ++pos;
        if (pos >= body.size()) return fail(codes::kUnclosedString, valueStart);
        XmlStringView value = body.substr(valueStart, pos - valueStart);
        ++pos;

        if (name == u"version" && index == 0) {
            if (value != u"1.0") return fail(codes::kInvalidVersion, valueStart);
            declaration.version.assign(value);
            index = 1;
        } else if (name == u"encoding" && index == 1) {
            if (!IsEncodingName(value)) return fail(codes::kXmlDeclSyntax, valueStart);
            declaration.encoding.assign(value);
            index = 2;
        } else if (name == u"standalone" && index >= 1 && index <= 2) {
            if (value != u"yes" && value != u"no") return fail(codes::kXmlDeclSyntax, valueStart);
            declaration.standalone.assign(value);
            index = 3;
        } else {
            return fail(codes::kXmlDeclSyntax, nameStart);
        }
    }
    if (declaration.version.empty()) return fail(codes::kXmlDeclSyntax, 0);
    return true;
}

}  // namespace msxml_core
