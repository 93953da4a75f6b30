#include "classlib/Variant.h"

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"

namespace ql {
namespace {

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept;

// CheckPlatformCopy at `depth`. References inside an array are copied as they stand, and judged when the
// copy resolves them.
HRESULT CheckCopiedArrays(const VARIANT& value, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > Variant::kMaxNesting);
    const VARTYPE type = V_VT(&value);
    if (type == (VT_BYREF | VT_VARIANT)) {
        QL_RETURN_HR_IF(E_INVALIDARG, V_VARIANTREF(&value) == nullptr);
        return CheckCopiedArrays(*V_VARIANTREF(&value), depth + 1);
    }
    if (!(type & VT_ARRAY)) return S_OK;
    QL_RETURN_HR_IF(E_INVALIDARG, (type & VT_BYREF) && V_ARRAYREF(&value) == nullptr);
    const SAFEARRAY* array = (type & VT_BYREF) ? *V_ARRAYREF(&value) : V_ARRAY(&value);
    if (!array) return S_OK;
    const auto elementType = static_cast<VARTYPE>(type & ~(VT_ARRAY | VT_BYREF));
    QL_RETURN_HR_IF(E_INVALIDARG, !HoldsElementsOf(*array, elementType));
    if (elementType != VT_VARIANT) return S_OK;
    // Read in place, without the lock: the caller's descriptor stays exactly as it was.
    const VARIANT* elements = static_cast<const VARIANT*>(array->pvData);
    const ULONGLONG count = ElementCount(*array);
    for (ULONGLONG index = 0; index < count; ++index) {
        const VARIANT& element = elements[index];
        // The platform would copy a VARIANT that claims to hold one by value as it stands (CopyAt refuses
        // it the same way).
        QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&element) == VT_VARIANT);
        if ((V_VT(&element) & (VT_ARRAY | VT_BYREF)) == VT_ARRAY) {
            QL_RETURN_IF_FAILED(CheckCopiedArrays(element, depth + 1));
        }
    }
    return S_OK;
}

// Replaces each element of `array`, an array of VARIANTs the copy owns (and so whole), that still refers
// into the caller's memory by a copy of what it refers to, at any depth.
HRESULT ResolveReferences(SAFEARRAY* array, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > Variant::kMaxNesting);
    if (!array) return S_OK;
    const SafeArrayData<VARIANT> elements(array);
    QL_RETURN_IF_FAILED(elements.Status());
    const ULONGLONG count = ElementCount(*array);
    for (ULONGLONG index = 0; index < count; ++index) {
        VARIANT& element = elements[index];
        if (V_VT(&element) & VT_BYREF) {
            Variant resolved;
            QL_RETURN_IF_FAILED(CopyAt(element, resolved, depth + 1));
            // A reference owns nothing: overwriting it releases nothing of the caller's.
            QL_RETURN_IF_FAILED(resolved.Detach(&element));
        } else if (V_VT(&element) == (VT_ARRAY | VT_VARIANT)) {
            QL_RETURN_IF_FAILED(ResolveReferences(V_ARRAY(&element), depth + 1));
        }
    }
    return S_OK;
}

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > Variant::kMaxNesting);
    const VARTYPE type = V_VT(&source);
    // Only a reference points at a VARIANT; the platform would copy a VARIANT that claims to hold one by
    // value as it stands, and every later reader would take its data for a VARIANT.
    QL_RETURN_HR_IF(E_INVALIDARG, type == VT_VARIANT);
    Variant copy;
    if (type == (VT_BYREF | VT_VARIANT)) {
        QL_RETURN_HR_IF(E_INVALIDARG, V_VARIANTREF(&source) == nullptr);
        QL_RETURN_IF_FAILED(CopyAt(*V_VARIANTREF(&source), copy, depth + 1));
    } else {
        QL_RETURN_HR_IF(E_INVALIDARG, (type & VT_BYREF) && V_BYREF(&source) == nullptr);
        QL_RETURN_IF_FAILED(CheckCopiedArrays(source, depth));
        if (type & VT_BYREF) {
            QL_RETURN_IF_FAILED(::VariantCopyInd(copy.Get(), const_cast<VARIANT*>(&source)));
        } else {
            QL_RETURN_IF_FAILED(::VariantCopy(copy.Get(), const_cast<VARIANT*>(&source)));
        }
        // The platform copies an array of VARIANTs element by element as they stand, references included.
        if (copy.Type() == (VT_ARRAY | VT_VARIANT)) {
            QL_RETURN_IF_FAILED(ResolveReferences(V_ARRAY(copy.Get()), depth));
        }
    }
    out = std::move(copy);
    return S_OK;
}

}  // namespace

HRESULT Variant::CopyValueOf(const VARIANT& source, Variant& out) noexcept { return CopyAt(source, out, 0); }

HRESULT CheckPlatformCopy(const VARIANT& value) noexcept { return CheckCopiedArrays(value, 0); }

HRESULT CopyVectorElement(const SAFEARRAY& vector, LONG index, Variant& out) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !IsVariantVector(vector));
    const SAFEARRAYBOUND& bound = vector.rgsabound[0];
    const LONGLONG offset = static_cast<LONGLONG>(index) - bound.lLbound;
    QL_RETURN_HR_IF(DISP_E_BADINDEX, offset < 0 || offset >= static_cast<LONGLONG>(bound.cElements));
    // Read in place: a whole vector has its data, and the caller's descriptor stays as it was.
    return out.CopyFrom(static_cast<const VARIANT*>(vector.pvData)[offset]);
}

}  // namespace ql
