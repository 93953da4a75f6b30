#include "values/PlainNumber.h"

#include <cmath>

bool PlainNumberAsDouble(const VARIANT& value, double* number) noexcept {
    switch (V_VT(&value)) {
        case VT_I1:
            *number = static_cast<double>(V_I1(&value));
            return true;
        case VT_UI1:
            *number = static_cast<double>(V_UI1(&value));
            return true;
        case VT_I2:
            *number = static_cast<double>(V_I2(&value));
            return true;
        case VT_UI2:
            *number = static_cast<double>(V_UI2(&value));
            return true;
        case VT_I4:
        case VT_INT:
            *number = static_cast<double>(V_I4(&value));
            return true;
        case VT_UI4:
        case VT_UINT:
            *number = static_cast<double>(V_UI4(&value));
            return true;
        case VT_I8:
            *number = static_cast<double>(V_I8(&value));
            return true;
        case VT_UI8:
            *number = static_cast<double>(V_UI8(&value));
            return true;
        case VT_R4:
            *number = static_cast<double>(V_R4(&value));
            return true;
        case VT_R8:
            *number = V_R8(&value);
            return true;
        case VT_BOOL:
            *number = static_cast<double>(V_BOOL(&value));
            return true;
        default:
            return false;
    }
}

bool IsNonFiniteNumber(const VARIANT& value) noexcept {
    double number = 0;
    return PlainNumberAsDouble(value, &number) && !std::isfinite(number);
}
