#include "classlib/Variant.h"

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"

namespace ql {
namespace {

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept;

// Whether the array in `value` (of VT_ARRAY and an element type) holds what its type claims.
bool HoldsClaimedElements(const VARIANT& value) noexcept {
    const SAFEARRAY* array = V_ARRAY(&value);
    return !array || HoldsElementsOf(*array, static_cast<VARTYPE>(V_VT(&value) & ~VT_ARRAY));
}

// Replaces each element of `array`, an array of VARIANTs the copy owns, that still refers into the
// caller's memory by a copy of what it refers to. The platform copied the arrays by what they hold, not by
// what their VARIANTs claim; an array claimed to hold something else is refused before it is read.
HRESULT ResolveElements(SAFEARRAY* array, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > Variant::kMaxNesting);
    if (!array || array->cDims == 0) return S_OK;
    QL_RETURN_HR_IF(E_INVALIDARG, !HoldsVariants(*array));
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
        } else if (V_VT(&element) == VT_VARIANT) {
            return E_INVALIDARG;  // copied by the platform as it stood, as CopyAt refuses it
        } else if (V_VT(&element) == (VT_ARRAY | VT_VARIANT)) {
            QL_RETURN_IF_FAILED(ResolveElements(V_ARRAY(&element), depth + 1));
        } else if (V_VT(&element) & VT_ARRAY) {
            QL_RETURN_HR_IF(E_INVALIDARG, !HoldsClaimedElements(element));
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
    } else if (type & VT_BYREF) {
        QL_RETURN_HR_IF(E_INVALIDARG, V_BYREF(&source) == nullptr);
        QL_RETURN_IF_FAILED(::VariantCopyInd(copy.Get(), const_cast<VARIANT*>(&source)));
    } else {
        QL_RETURN_IF_FAILED(::VariantCopy(copy.Get(), const_cast<VARIANT*>(&source)));
    }
    // The platform copies an array of VARIANTs element by element as they stand, references included.
    if (copy.Type() == (VT_ARRAY | VT_VARIANT)) {
        QL_RETURN_IF_FAILED(ResolveElements(V_ARRAY(copy.Get()), depth));
    } else if (copy.Type() & VT_ARRAY) {
        QL_RETURN_HR_IF(E_INVALIDARG, !HoldsClaimedElements(*copy));
    }
    out = std::move(copy);
    return S_OK;
}

}  // namespace

HRESULT Variant::CopyValueOf(const VARIANT& source, Variant& out) noexcept { return CopyAt(source, out, 0); }

}  // namespace ql
