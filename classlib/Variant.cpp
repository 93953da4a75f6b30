#include "classlib/Variant.h"

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"

namespace ql {
namespace {

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept;

// Replaces each element of `array`, an array of VARIANTs the copy owns, that still refers into the
// caller's memory by a copy of what it refers to.
HRESULT ResolveElements(SAFEARRAY* array, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > Variant::kMaxNesting);
    if (!array || array->cDims == 0) return S_OK;
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
            QL_RETURN_IF_FAILED(ResolveElements(V_ARRAY(&element), depth + 1));
        }
    }
    return S_OK;
}

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > Variant::kMaxNesting);
    const VARTYPE type = V_VT(&source);
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
    if (copy.Type() == (VT_ARRAY | VT_VARIANT))
        QL_RETURN_IF_FAILED(ResolveElements(V_ARRAY(copy.Get()), depth));
    out = std::move(copy);
    return S_OK;
}

}  // namespace

HRESULT Variant::CopyValueOf(const VARIANT& source, Variant& out) noexcept { return CopyAt(source, out, 0); }

}  // namespace ql
