#pragma once
// DumpXmlToFile: every complete documentation document is also written to a file, converted to the ANSI
// code page (one byte per character), replacing what the file held; other writers may share the file.
// Best effort for the caller: a file that cannot be created (its folder missing) only answers E_FAIL.
#include <windows.h>

#include <string_view>

HRESULT DumpXmlToFile(const wchar_t* path, std::wstring_view document) noexcept;
