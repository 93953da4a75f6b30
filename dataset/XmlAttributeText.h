#pragma once
// Texts that the dataset's documents carry inside double-quoted XML attributes (parameter values, names,
// tags). A document the system builds as text must stay a document: every such text is escaped the way the
// XML DOM writes attribute values (EscapeXmlText), and a character that XML cannot hold at all (a control
// character, an unpaired surrogate) is written as U+FFFD instead, so one bad character neither breaks the
// document nor fails it. Stateless; COM must be initialised on the calling thread (the escape goes through a
// DOM document).
#include <windows.h>

#include <string>
#include <string_view>

// True when every character of `text` may stand in an XML 1.0 document: tab, line feed, carriage return,
// U+0020 to U+D7FF, U+E000 to U+FFFD and complete surrogate pairs.
bool IsXmlText(std::wstring_view text) noexcept;

// The replacement of a character XML cannot hold.
constexpr wchar_t kNonXmlReplacement = 0xFFFD;

// `text` with every character that fails IsXmlText replaced by kNonXmlReplacement. May throw bad_alloc.
std::wstring ReplaceNonXmlCharacters(std::wstring_view text);

// `text` as it stands between the double quotes of an attribute the DOM writes ("a & b" gives
// "a &amp; b"; a text without markup characters comes out unchanged), characters XML cannot hold
// replaced (ReplaceNonXmlCharacters). The escape's own failure; E_FAIL when the escape loses a non-empty
// text. `escaped` is replaced only on S_OK.
HRESULT EscapeAttributeText(std::wstring_view text, std::wstring& escaped) noexcept;
