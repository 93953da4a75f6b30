#include "values/ScalarTypes.h"

namespace {

constexpr ScalarTypeTraits kScalarTypes[] = {
    {VT_I2, true},   {VT_I4, true},   {VT_R4, true},       {VT_R8, true},   {VT_CY, true},
    {VT_DATE, true}, {VT_BSTR, true}, {VT_DISPATCH, true}, {VT_BOOL, true}, {VT_DECIMAL, true},
    {VT_I1, true},   {VT_UI1, true},  {VT_UI2, true},      {VT_UI4, true},  {VT_INT, false},
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
