#pragma once
// The text of an XML document that arrives as bytes from outside (a parameter list from a file or another
// machine): a byte-order mark decides first (UTF-8, UTF-16 either way round), then the encoding the
// declaration names; a document that says nothing is read as UTF-8, the encoding XML assumes, and only
// bytes that are not valid UTF-8 fall back to the system's ANSI code page (documents written before the
// system wrote UTF-8). Stateless; any thread.
#include <windows.h>

#include <string_view>

#include "classlib/Bstr.h"

// S_OK with the document's text (without its byte-order mark). E_FAIL for bytes that are not valid in the
// encoding the mark or the declaration names, or an encoding the system cannot read; E_OUTOFMEMORY.
HRESULT XmlBytesToBstr(std::string_view bytes, ql::Bstr& text) noexcept;
