#pragma once
// Entries of a row's entry list (values/EnumEntries.h) found by code or by built-in text, and the joined
// texts of the entries a bit-enumerated value holds. Entries
// are never translated here (only the lines of list controls are). Both read the entries in list order
// and stop at the first entry that cannot be read, returning its error. Stateless.
#include <windows.h>

#include <string_view>

#include "classlib/Bstr.h"

// The text of the first entry whose code is `code`: `found` true and `text` set; `found` false when no
// entry has the code or the list has none. The list errors of GetEnumListCount and GetEnumListEntry for
// the entries read before a match; entries after it are not read.
HRESULT FindEnumEntryText(const VARIANT& list, long code, ql::Bstr& text, bool& found) noexcept;

// The code of the first entry whose built-in text is exactly `text` (case and blanks count): `found` true
// and `code` set; `found` false when no entry has the text. The list errors as above.
HRESULT FindEnumEntryCode(const VARIANT& list, std::wstring_view text, long& code, bool& found) noexcept;

// The texts of every entry whose code bits are all set in `value` (code 0 therefore always matches), in
// list order joined with " | "; an entry with an empty text adds nothing to an empty text so far. `text` is
// an empty, non-null BSTR when nothing matches. The list errors of GetEnumListCount and GetEnumListEntry.
HRESULT JoinBitEnumTexts(const VARIANT& list, ULONG value, ql::Bstr& text) noexcept;
