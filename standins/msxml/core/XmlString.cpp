#include "XmlString.h"

namespace msxml_core {

std::string XmlToAsciiForDiagnostics(XmlStringView text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

XmlStringView TrimXmlWhitespace(XmlStringView text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsXmlWhitespace(text[begin])) ++begin;
    while (end > begin && IsXmlWhitespace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool IsAllXmlWhitespace(XmlStringView text) {
    for (char16_t c : text) {
        if (!IsXmlWhitespace(c)) return false;
    }
    return true;
}

XmlString ToXmlDecimal(uint64_t value) {
    char16_t buffer[24];
    size_t pos = sizeof(buffer) / sizeof(buffer[0]);
    do {
        buffer[--pos] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    return XmlString(buffer + pos, buffer + sizeof(buffer) / sizeof(buffer[0]));
}

}  // namespace msxml_core
