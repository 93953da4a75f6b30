#include "classlib/SafeArray.h"

namespace ql {
namespace {

struct TypeWidth {
    VARTYPE type;
    size_t width;
};

constexpr TypeWidth kTypeWidths[] = {
    {VT_I1, sizeof(CHAR)},
    {VT_UI1, sizeof(BYTE)},
    {VT_I2, sizeof(SHORT)},
    {VT_UI2, sizeof(USHORT)},
    {VT_BOOL, sizeof(VARIANT_BOOL)},
    {VT_I4, sizeof(LONG)},
    {VT_UI4, sizeof(ULONG)},
    {VT_R4, sizeof(FLOAT)},
    {VT_ERROR, sizeof(SCODE)},
    {VT_INT, sizeof(INT)},
    {VT_UINT, sizeof(UINT)},
    {VT_R8, sizeof(DOUBLE)},
    {VT_CY, sizeof(CY)},
    {VT_DATE, sizeof(DATE)},
    {VT_I8, sizeof(LONGLONG)},
    {VT_UI8, sizeof(ULONGLONG)},
    {VT_DECIMAL, sizeof(DECIMAL)},
    {VT_BSTR, sizeof(BSTR)},
    {VT_DISPATCH, sizeof(IDispatch*)},
    {VT_UNKNOWN, sizeof(IUnknown*)},
};

// The element types whose elements the platform copies and frees, each with the feature that says so.
struct OwnedElements {
    USHORT feature;
    VARTYPE type;
};

constexpr OwnedElements kOwnedElements[] = {{FADF_BSTR, VT_BSTR},
                                            {FADF_VARIANT, VT_VARIANT},
                                            {FADF_UNKNOWN, VT_UNKNOWN},
                                            {FADF_DISPATCH, VT_DISPATCH},
                                            {FADF_RECORD, VT_RECORD}};

// The type whose elements `array` has the platform own, by its features; VT_EMPTY for plain values, and
// VT_ILLEGAL for an array that carries more than one owning feature: the platform copies such an array by
// one feature and frees it by another, so its elements are of no one type.
VARTYPE OwnedElementType(const SAFEARRAY& array) noexcept {
    VARTYPE owned = VT_EMPTY;
    for (const OwnedElements& elements : kOwnedElements) {
        if (!(array.fFeatures & elements.feature)) continue;
        if (owned != VT_EMPTY) return VT_ILLEGAL;
        owned = elements.type;
    }
    return owned;
}

// `type` where its elements are the platform's to own, else VT_EMPTY.
VARTYPE OwnedTypeOf(VARTYPE type) noexcept {
    for (const OwnedElements& elements : kOwnedElements) {
        if (elements.type == type) return type;
    }
    return VT_EMPTY;
}

}  // namespace

size_t VarTypeWidth(VARTYPE type) noexcept {
    for (const TypeWidth& entry : kTypeWidths) {
        if (entry.type == type) return entry.width;
    }
    return 0;
}

size_t ElementWidth(VARTYPE type) noexcept {
    return type == VT_VARIANT ? sizeof(VARIANT) : VarTypeWidth(type);
}

bool HoldsElementsOf(const SAFEARRAY& array, VARTYPE type) noexcept {
    if (array.cDims == 0) return false;
    const size_t width = ElementWidth(type);
    if (width == 0 || array.cbElements != width) return false;
    if (!array.pvData && ElementCount(array) != 0) return false;
    if (OwnedElementType(array) != OwnedTypeOf(type)) return false;
    VARTYPE recorded = VT_EMPTY;
    return FAILED(::SafeArrayGetVartype(const_cast<SAFEARRAY*>(&array), &recorded)) || recorded == type;
}

}  // namespace ql
