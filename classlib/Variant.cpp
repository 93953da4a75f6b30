#include "classlib/Variant.h"

#include "classlib/HResult.h"

namespace ql {
namespace {

// How deep references and arrays of VARIANTs may nest in a copied value. No caller nests them more than a
// level or two; a reference to itself would nest without end.
constexpr int kMaxNesting = 16;

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept;

// Replaces each element of `array`, an array of VARIANTs the copy owns, that still refers into the
// caller's memory by a copy of what it refers to.
HRESULT ResolveElements(SAFEARRAY* array, int depth) noexcept {
    if (!array || array->cDims == 0) return S_OK;
    ULONG count = 1;
    for (USHORT dimension = 0; dimension < array->cDims; ++dimension)
        count *= array->rgsabound[dimension].cElements;
    VARIANT* elements = nullptr;
    QL_RETURN_IF_FAILED(::SafeArrayAccessData(array, reinterpret_cast<void**>(&elements)));
    HRESULT hr = S_OK;
    for (ULONG index = 0; index < count && SUCCEEDED(hr); ++index) {
        VARIANT& element = elements[index];
        if (V_VT(&element) & VT_BYREF) {
            Variant resolved;
            hr = CopyAt(element, resolved, depth + 1);
            // A reference owns nothing: overwriting it releases nothing of the caller's.
            if (SUCCEEDED(hr)) hr = resolved.Detach(&element);
        } else if (V_VT(&element) == (VT_ARRAY | VT_VARIANT)) {
            hr = depth < kMaxNesting ? ResolveElements(V_ARRAY(&element), depth + 1) : E_INVALIDARG;
        }
    }
    const HRESULT unlocked = ::SafeArrayUnaccessData(array);
    return FAILED(hr) ? hr : unlocked;
}

HRESULT CopyAt(const VARIANT& source, Variant& out, int depth) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, depth > kMaxNesting);
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
