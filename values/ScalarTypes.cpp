#include "values/ScalarTypes.h"

namespace {

constexpr ScalarTypeTraits kScalarTypes[] = {
    {VT_I2, sizeof(SHORT), true},
    {VT_I4, sizeof(LONG), true},
    {VT_R4, sizeof(FLOAT), true},
    {VT_R8, sizeof(DOUBLE), true},
    {VT_CY, sizeof(CY), true},
    {VT_DATE, sizeof(DATE), true},
    {VT_BSTR, sizeof(BSTR), true},
    {VT_DISPATCH, sizeof(IDispatch*), true},
    {VT_BOOL, sizeof(VARIANT_BOOL), true},
    {VT_DECIMAL, sizeof(DECIMAL), true},
    {VT_I1, sizeof(CHAR), true},
    {VT_UI1, sizeof(BYTE), true},
    {VT_UI2, sizeof(USHORT), true},
    {VT_UI4, sizeof(ULONG), true},
    {VT_INT, sizeof(INT), false},
};

}  // namespace

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
