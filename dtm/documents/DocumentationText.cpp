#include "dtm/documents/DocumentationText.h"

#include <cstdarg>
#include <cstdio>
#include <new>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dataset/XmlAttributeText.h"
#include "values/AnsiText.h"

std::wstring FormatNumbers(const char* format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    // Numbers need far less; a cut text still ends inside the buffer.
    if (written < 0) text[0] = '\0';
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

std::wstring WidenAnsi(std::string_view text) {
    ql::Bstr wide;
    if (FAILED(AnsiToBstr(text, wide))) throw std::bad_alloc();
    return std::wstring(wide.View());
}

std::wstring FormatDocumentDate(const SYSTEMTIME& date) {
    return FormatNumbers("%04d-%02d-%02d", date.wYear, date.wMonth, date.wDay);
}

HRESULT AppendEscaped(std::wstring& out, std::wstring_view text) noexcept {
    std::wstring escaped;
    QL_RETURN_IF_FAILED(EscapeAttributeText(text, escaped));
    return ql::GuardComCall([&]() -> HRESULT {
        out.append(escaped);
        return S_OK;
    });
}

HRESULT AppendItem(std::wstring& out, std::wstring_view name, std::wstring_view display) {
    std::wstring item(L"<DocumentVariable fdt:name=\"");
    QL_RETURN_IF_FAILED(AppendEscaped(item, name));
    item.append(L"\" fdt:display=\"");
    QL_RETURN_IF_FAILED(AppendEscaped(item, display));
    item.append(L"\" />");
    out.append(item);
    return S_OK;
}
