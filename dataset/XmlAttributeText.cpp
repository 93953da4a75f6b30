#include "dataset/XmlAttributeText.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "values/XmlText.h"

namespace {

bool IsHighSurrogate(wchar_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

namespace {

// The length of the XML character at `text[i]` (2 for a surrogate pair), 0 when XML cannot hold it.
size_t XmlCharacterLength(std::wstring_view text, size_t i) noexcept {
    const wchar_t c = text[i];
    if (c == L'\t' || c == L'\n' || c == L'\r') return 1;
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF || IsLowSurrogate(c)) return 0;
    if (IsHighSurrogate(c)) return i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 0;
    return 1;
}

}  // namespace

bool IsXmlText(std::wstring_view text) noexcept {
    for (size_t i = 0; i < text.size();) {
        const size_t length = XmlCharacterLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::wstring ReplaceNonXmlCharacters(std::wstring_view text) {
    std::wstring fit;
    fit.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = XmlCharacterLength(text, i);
        if (length == 0) {
            fit.push_back(kNonXmlReplacement);
            ++i;
        } else {
            fit.append(text.substr(i, length));
            i += length;
        }
    }
    return fit;
}

HRESULT EscapeAttributeText(std::wstring_view text, std::wstring& escaped) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        // One character XML cannot hold (a control byte in a text read from the device) must not cost the
        // whole document: it is written replaced, the rest as it is.
        const std::wstring fit = ReplaceNonXmlCharacters(text);
        ql::Bstr result;
        QL_RETURN_IF_FAILED(EscapeXmlText(fit.c_str(), result.Put()));
        // The DOM leaves an attribute empty when it refuses a value; that would drop the text silently.
        QL_RETURN_HR_IF(E_FAIL, result.IsEmpty() && !text.empty());
        escaped.assign(result.View());
        return S_OK;
    });
}
