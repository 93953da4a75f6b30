#pragma once
// How the store's COM forms take numbers out of VARIANT arguments and hand VARIANTs back.
#include <windows.h>
#include <oleauto.h>

#include "classlib/Variant.h"

// The unsigned 32-bit number a caller passes in a VARIANT (an id, a mask, an index, an access word): a copy
// converted to VT_UI4 with VariantChangeType. The conversion's failure is returned, E_FAIL when it ends in
// another type. Never reads the VARIANT's payload as a number without the conversion.
HRESULT VariantToUInt32(const VARIANT& source, ULONG* out) noexcept;

// Moves `value` into the [out] VARIANT `*out` (`value` is left empty). What `*out` held is overwritten, not
// released: a caller may pass it uninitialised.
void MoveToOut(VARIANT* out, ql::Variant& value) noexcept;
