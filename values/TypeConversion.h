#pragma once
// Conversion of one bare scalar value between OLE Automation types: the one place in the system that
// picks the platform routine (VarXxxFromYyy) for a pair of types. Stateless; any thread.
#include <windows.h>

#include <oleauto.h>

#include "classlib/Variant.h"

// The flags the text routines (VarXxxFromStr, VarBstrFromXxx) receive for conversion flags of
// VariantChangeType(Ex): VARIANT_NOVALUEPROP, VARIANT_ALPHABOOL and VARIANT_NOUSEROVERRIDE are not theirs;
// the last one becomes LOCALE_NOUSEROVERRIDE, and every higher bit passes unchanged.
ULONG TextFlagsFromConversionFlags(ULONG flags) noexcept;

// Converts the value at `source` (a DECIMAL itself, a BSTR or IDispatch* pointer, or a value of the
// source type's width) into the storage at `destination`, which is overwritten without being freed.
// A BSTR result (and a copied object reference) belongs to the caller. Equal type codes copy the value.
// E_INVALIDARG for a null pointer, DISP_E_TYPEMISMATCH for a pair the system does not convert; a failing
// platform routine's code is passed on unchanged.
HRESULT ConvertBetweenVarTypes(const void* source, void* destination, VARTYPE sourceType,
                               VARTYPE destinationType, LCID lcid, ULONG flags) noexcept;

// ConvertBetweenVarTypes into a VARIANT: on success `result` holds a value of `destinationType`, on
// failure it is VT_EMPTY.
HRESULT ConvertScalarToVariant(const void* source, VARTYPE sourceType, VARTYPE destinationType, LCID lcid,
                               ULONG flags, ql::Variant& result) noexcept;
