#pragma once
// The one place where the core's text (UTF-16 in char16_t) meets BSTR, VARIANT and wchar_t text. On Windows
// all of them hold UTF-16 code units, so nothing is transcoded: the conversions copy or reinterpret.
#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

#include "standins/msxml/core/XmlString.h"

namespace msxml_standin {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "BSTR and the core's text must share their code units");

// A view of a BSTR (null reads as empty); embedded NULs are kept.
msxml_core::XmlStringView XmlFromBstr(BSTR text) noexcept;
msxml_core::XmlStringView XmlFromWide(std::wstring_view text) noexcept;
std::wstring_view WideFromXml(msxml_core::XmlStringView text) noexcept;

// A new BSTR holding `text` (an empty text gives an empty, non-null BSTR).
HRESULT BstrFromXml(msxml_core::XmlStringView text, BSTR* out) noexcept;
// As BstrFromXml, but S_FALSE and a null string for an empty text (MSXML's answer for an absent name part).
HRESULT BstrOrNullFromXml(msxml_core::XmlStringView text, BSTR* out) noexcept;
// `out` (VT_EMPTY or otherwise uninitialised by the caller) receives a VT_BSTR.
HRESULT VariantFromXml(msxml_core::XmlStringView text, VARIANT* out) noexcept;

// The text of a VARIANT argument as MSXML takes a value: VT_BSTR as it stands, anything else converted with
// VariantChangeTypeEx in `lcid`. Fails with the conversion's code.
HRESULT TextFromVariant(const VARIANT& value, LCID lcid, std::wstring& text) noexcept;

}  // namespace msxml_standin
