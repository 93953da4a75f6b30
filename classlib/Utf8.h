#pragma once
// UTF-16 <-> UTF-8, and UTF-8 console output for test and tool programs. Under Wine, wprintf to a pipe
// converts to the ANSI code page and silently stops at the first character it cannot convert, so every
// program of ours writes UTF-8 bytes itself.
#include <cstdio>
#include <string>
#include <string_view>

namespace ql {

std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
// Strict decoding: false, with `out` unspecified, when `text` is not valid UTF-8. May throw bad_alloc.
bool TryWideFromUtf8(std::string_view text, std::wstring& out);

// Writes `text` as UTF-8 to `stream`. Line ends are the stream's: a stream in text mode (the console's, a
// redirected stdout's) writes each "\n" as "\r\n" itself, one in binary mode keeps "\n".
void WriteUtf8(std::FILE* stream, std::wstring_view text);
// printf-style formatting of a wide format, written as UTF-8.
void PrintUtf8(std::FILE* stream, const wchar_t* format, ...);

}  // namespace ql
