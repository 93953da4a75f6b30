#include "values/ScalarTypes.h"

#include "classlib/SafeArray.h"

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

constexpr ScalarTypeTraits kScalarTypes[] = {
    {VT_I2, true},   {VT_I4, true},   {VT_R4, true},       {VT_R8, true},   {VT_CY, true},
    {VT_DATE, true}, {VT_BSTR, true}, {VT_DISPATCH, true}, {VT_BOOL, true}, {VT_DECIMAL, true},
    {VT_I1, true},   {VT_UI1, true},  {VT_UI2, true},      {VT_UI4, true},  {VT_INT, false},
};

}  // namespace

size_t VarTypeWidth(VARTYPE type) noexcept {
    for (const TypeWidth& entry : kTypeWidths) {
        if (entry.type == type) return entry.width;
    }
    return 0;
}

bool ArrayHoldsElementsOf(const SAFEARRAY& array, VARTYPE elementType) noexcept {
    if (elementType == VT_VARIANT) return ql::HoldsVariants(array);
    const size_t width = VarTypeWidth(elementType);
    return width != 0 && array.cbElements == width && ql::HoldsElementsOf(array, elementType);
}

const ScalarTypeTraits* FindScalarType(VARTYPE type) noexcept {
    for (const ScalarTypeTraits& traits : kScalarTypes) {
        if (traits.type == type) return &traits;
    }
    return nullptr;
}

bool IsArrayWrappableType(VARTYPE type) noexcept {
    const ScalarTypeTraits* traits = FindScalarType(type);
    return traits && traits->wrapsInArray;
}

void* ScalarValueLocation(VARIANT& value, VARTYPE type) noexcept {
    if (type == VT_DECIMAL) return &value.decVal;
    return &value.lVal;
}

const void* ScalarValueLocation(const VARIANT& value, VARTYPE type) noexcept {
    return ScalarValueLocation(const_cast<VARIANT&>(value), type);
}

void* ArrayElementArgument(VARIANT& element) noexcept {
    switch (V_VT(&element)) {
        case VT_BSTR:
            return element.bstrVal;
        case VT_DISPATCH:
            return element.pdispVal;
        default:
            return ScalarValueLocation(element, V_VT(&element));
    }
}
