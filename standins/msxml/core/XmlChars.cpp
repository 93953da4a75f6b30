#include "XmlChars.h"

namespace msxml_core {

bool IsXmlName(XmlStringView text) {
    if (text.empty() || !IsNameStartChar(text[0])) return false;
    for (size_t i = 1; i < text.size(); ++i) {
        if (!IsNameChar(text[i])) return false;
    }
    return true;
}

bool IsXmlNcName(XmlStringView text) { return IsXmlName(text) && text.find(u':') == XmlStringView::npos; }

}  // namespace msxml_core
