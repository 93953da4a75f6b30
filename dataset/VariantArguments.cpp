#include "dataset/VariantArguments.h"

#include "classlib/HResult.h"

HRESULT VariantToUInt32(const VARIANT& source, ULONG* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ql::Variant copy;
    QL_RETURN_IF_FAILED(copy.CopyFrom(source));
    QL_RETURN_IF_FAILED(::VariantChangeType(copy.Get(), copy.Get(), 0, VT_UI4));
    QL_RETURN_HR_IF(E_FAIL, copy.Type() != VT_UI4);
    *out = copy->ulVal;
    return S_OK;
}

// Every caller has checked `out` already, the only thing Detach refuses.
void MoveToOut(VARIANT* out, ql::Variant& value) noexcept { (void)value.Detach(out); }
