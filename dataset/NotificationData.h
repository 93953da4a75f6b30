#pragma once
// The data of the parameter notifications: a one-dimensional array of two VARIANTs (lower bound 0) whose
// element 0 names the parameter; receivers read the id from there.
#include <windows.h>
#include <oleauto.h>

#include "classlib/Variant.h"

// [first, second] as VT_ARRAY|VT_VARIANT of copies made by ql::Variant::CopyFrom (a reference as the value it
// refers to; its failure passed on); `out` is untouched on failure.
HRESULT MakeVariantPair(const VARIANT& first, const VARIANT& second, ql::Variant& out) noexcept;
// [id as VT_UI4, value].
HRESULT MakeIdValuePair(ULONG id, const VARIANT& value, ql::Variant& out) noexcept;
