#pragma once
// nodeTypedValue in both directions: the core's typed value as the VARIANT MSXML hands out for its data type
// (bin.hex -> VT_ARRAY|VT_UI1, ui4 -> VT_UI4, boolean -> VT_BOOL ...), and a VARIANT a caller stores as the
// text of a value of a data type.
#include <windows.h>

#include <oleauto.h>

#include <string>

#include "standins/msxml/core/DataType.h"
#include "standins/msxml/core/TypedValue.h"

namespace msxml_standin {

// `out` is written whole (the caller's old content is not cleared).
HRESULT VariantFromTypedValue(const msxml_core::TypedValue& value, VARIANT* out) noexcept;

// The text of `value` as a value of `type`: bytes as hexadecimal (bin.hex) or base64 (bin.base64) digits,
// booleans as 1/0, dates in ISO 8601, numbers in the invariant form (decimal point). The caller checks that
// the text is a valid value of the type.
HRESULT TextFromTypedVariant(msxml_core::DataType type, const VARIANT& value, std::wstring& text) noexcept;

}  // namespace msxml_standin
