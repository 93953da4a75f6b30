#pragma once
// Reads a whole text file and turns it into UTF-16 in one conversion. The DTM's files (the translation
// file, the about page) are written in the system's ANSI code page, which may hold characters of two bytes:
// converting block by block would cut such a character where a block ends, so the bytes are gathered first
// and decoded once.
#include <windows.h>

#include <string_view>

#include "classlib/Bstr.h"

// Turns the file's bytes into text; the reader calls it exactly once per file.
using TextDecoder = HRESULT (*)(std::string_view bytes, ql::Bstr& text) noexcept;

// The system ANSI code page (the translation file's encoding).
HRESULT DecodeAnsiText(std::string_view bytes, ql::Bstr& text) noexcept;

// Opens `path` for reading (others may read it too; it must exist) and decodes all its bytes with
// `decode`. E_FAIL when the file cannot be opened or read or `decode` is null, E_OUTOFMEMORY, or the
// decoder's failure; `text` is written only on success.
HRESULT ReadTextFile(const wchar_t* path, TextDecoder decode, ql::Bstr& text) noexcept;
