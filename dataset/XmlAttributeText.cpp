#include "dataset/XmlAttributeText.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "values/XmlText.h"

namespace {

bool IsHighSurrogate(wchar_t c) noexcept { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) noexcept { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool IsXmlText(std::wstring_view text) noexcept {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\t' || c == L'\n' || c == L'\r') continue;
        if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) return false;
        if (IsLowSurrogate(c)) return false;
        if (IsHighSurrogate(c)) {
            if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return false;
            ++i;
        }
    }
    return true;
}

HRESULT EscapeAttributeText(std::wstring_view text, std::wstring& escaped) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !IsXmlText(text));
    return ql::GuardComCall([&]() -> HRESULT {
        const std::wstring terminated(text);
        ql::Bstr result;
        QL_RETURN_IF_FAILED(EscapeXmlText(terminated.c_str(), result.Put()));
        // The DOM leaves an attribute empty when it refuses a value; that would drop the text silently.
        QL_RETURN_HR_IF(E_FAIL, result.IsEmpty() && !text.empty());
        escaped.assign(result.View());
        return S_OK;
    });
}
