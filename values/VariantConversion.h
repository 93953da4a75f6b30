#pragma once
// ConvertVariantType: the conversion that values take wherever they cross an interface of the system.
// It is the platform's VariantChangeTypeEx with five additions the system relies on:
//  - an empty text becomes zero (or false) of a numeric, date or boolean type;
//  - a byte array becomes hexadecimal text, and hexadecimal text a byte array;
//  - a conversion to an array that the platform refuses makes an empty array from VT_EMPTY or VT_NULL, a
//    one-element array from a scalar, and converts an array element by element;
//  - a conversion of an array to a scalar that the platform refuses takes the array's first element;
//  - a reference (VT_BYREF) is converted as the value it refers to.
// Stateless; any thread that may touch the VARIANTs passed.
#include <windows.h>

#include <oleauto.h>

#include "classlib/Variant.h"
#include "values/VariantParts.h"

// `destination` is either `source` itself (converted in place: the old value is released once the result
// exists) or a VARIANT that owns nothing. It is written only on success. E_INVALIDARG for a null argument;
// DISP_E_TYPEMISMATCH for a value that holds an array the platform must not copy (ql::CheckPlatformCopy),
// which is not read; otherwise the code of the rule that decided (see the list above and ArrayConversion.h /
// HexText.h).
HRESULT ConvertVariantType(VARIANT* destination, const VARIANT* source, VARTYPE wanted, LCID lcid,
                           USHORT flags) noexcept;

// Whether `value`, already of `type`, is in the form a dataset keeps: whole, and for a byte string a byte
// array of one dimension with its data (the platform's conversion takes any byte array as it stands).
bool IsStoredForm(const VARIANT& value, VARTYPE type) noexcept;

// `value` in the form a dataset keeps a value of `type`, and in which every save, document and list reads
// it: the platform's conversion (VariantChangeTypeEx, user locale, no flags; its failure passed on), whose
// result must be in the stored form (E_INVALIDARG otherwise). A given text of an odd byte count is
// E_INVALIDARG too. `out` is written only on success; it may hold `value` itself.
HRESULT ChangeToStoredType(const VARIANT& value, VARTYPE type, ql::Variant& out) noexcept;
