#pragma once
// Small text steps of the documentation document. They build std::wstring and may throw std::bad_alloc;
// the documentation part runs them inside ql::GuardComCall.
#include <windows.h>

#include <string>
#include <string_view>

// A printf of numbers (narrow format, ASCII result) as wide text.
std::wstring FormatNumbers(const char* format, ...)
#if defined(__MINGW_PRINTF_FORMAT)
    __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)))
#endif
    ;

// An ANSI text (the PA vocabulary, display texts) as wide text.
std::wstring WidenAnsi(std::string_view text);

// "%04d-%02d-%02d" of a date.
std::wstring FormatDocumentDate(const SYSTEMTIME& date);

// `text` escaped for a display or name attribute (EscapeAttributeText, characters XML cannot hold
// replaced); the escape's failure.
HRESULT AppendEscaped(std::wstring& out, std::wstring_view text) noexcept;

// One item line: <DocumentVariable fdt:name="NAME" fdt:display="DISPLAY" /> with both escaped.
HRESULT AppendItem(std::wstring& out, std::wstring_view name, std::wstring_view display);
