#pragma once
// The one place where the system's narrow texts (messages, display texts, enumeration entries, names
// from the parameter table) meet UTF-16. Narrow always means the system ANSI code page (CP_ACP), so a
// character that code page cannot hold does not come back unchanged.
#include <windows.h>

#include <string>
#include <string_view>

#include "classlib/Bstr.h"

// A new BSTR holding `text`; an empty text gives an empty, non-null BSTR. E_OUTOFMEMORY when the string
// cannot be allocated (`out` is then null).
HRESULT AnsiToBstr(std::string_view text, ql::Bstr& out) noexcept;

// The same for a text in the code page `codePage` (a document that names its own); the conversion's
// failure for a code page the system does not have.
HRESULT CodePageToBstr(UINT codePage, std::string_view text, ql::Bstr& out) noexcept;

// `text` in the ANSI code page; a character it cannot hold becomes the code page's default character.
HRESULT WideToAnsi(std::wstring_view text, std::string& out) noexcept;
