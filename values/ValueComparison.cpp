#include "values/ValueComparison.h"

#include <cstring>
#include <cwchar>

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "values/HexText.h"

namespace {

using EqualityRule = bool (*)(const VARIANT& first, const VARIANT& second);

// The value field of a VARIANT is read from its start, in the width of T.
template <class T>
T ValueField(const VARIANT& value) noexcept {
    T field;
    std::memcpy(&field, &value.lVal, sizeof field);
    return field;
}

bool SameTypeOnly(const VARIANT& first, const VARIANT& second) { return V_VT(&first) == V_VT(&second); }

// The second value's type is not looked at.
template <class T>
bool LowBitsEqual(const VARIANT& first, const VARIANT& second) {
    return ValueField<T>(first) == ValueField<T>(second);
}

template <class T>
bool SameTypeAndValue(const VARIANT& first, const VARIANT& second) {
    return V_VT(&first) == V_VT(&second) && ValueField<T>(first) == ValueField<T>(second);
}

bool SameStrings(const VARIANT& first, const VARIANT& second) {
    if (V_VT(&second) != VT_BSTR) return false;
    const UINT bytes = ::SysStringByteLen(first.bstrVal);
    return bytes == ::SysStringByteLen(second.bstrVal) &&
           (bytes == 0 || std::memcmp(first.bstrVal, second.bstrVal, bytes) == 0);
}

// The platform converts a byte array to text by reading it, and copies an array given by reference before
// it converts: the second value is converted as the checked copy, so that an array that does not hold what
// it claims is never read (and equals nothing).
bool SameTextForms(const VARIANT& first, const VARIANT& second) {
    ql::Variant firstText, secondText;
    if (FAILED(::VariantChangeType(firstText.Get(), const_cast<VARIANT*>(&first), 0, VT_BSTR))) return false;
    if (FAILED(secondText.CopyFrom(second)) ||
        FAILED(::VariantChangeType(secondText.Get(), secondText.Get(), 0, VT_BSTR)))
        return false;
    const BSTR a = firstText->bstrVal;
    const BSTR b = secondText->bstrVal;
    if (!a || !b) return !a && !b;
    return std::wcscmp(a, b) == 0;
}

// Lower bounds are not compared: the same bytes are equal wherever the arrays start. An array that holds no
// bytes, whatever its VARIANT claims, is not read and equals nothing.
bool SameBytes(const VARIANT& first, const VARIANT& second) {
    if (V_VT(&second) != kByteArrayType || !first.parray || !second.parray) return false;
    if (!ql::HoldsBytes(*first.parray) || !ql::HoldsBytes(*second.parray)) return false;
    if (first.parray->cDims != second.parray->cDims) return false;
    const ULONGLONG count = ql::ElementCount(*first.parray);
    if (count != ql::ElementCount(*second.parray)) return false;
    if (count == 0) return true;
    ql::SafeArrayData<const BYTE> a(first.parray), b(second.parray);
    if (FAILED(a.Status()) || FAILED(b.Status())) return false;
    return std::memcmp(a.Data(), b.Data(), static_cast<size_t>(count)) == 0;
}

struct RuleEntry {
    VARTYPE firstType;
    EqualityRule rule;
};

constexpr RuleEntry kRules[] = {
    {VT_EMPTY, SameTypeOnly},
    {VT_NULL, SameTypeOnly},
    {VT_I1, LowBitsEqual<BYTE>},
    {VT_UI2, LowBitsEqual<USHORT>},
    {VT_UI4, LowBitsEqual<ULONG>},
    {VT_DATE, SameTextForms},
    {kByteArrayType, SameBytes},
    {VT_UI1, SameTypeAndValue<BYTE>},
    {VT_I2, SameTypeAndValue<SHORT>},
    {VT_BOOL, SameTypeAndValue<VARIANT_BOOL>},
    {VT_I4, SameTypeAndValue<LONG>},
    {VT_ERROR, SameTypeAndValue<SCODE>},
    {VT_R4, SameTypeAndValue<FLOAT>},
    {VT_R8, SameTypeAndValue<DOUBLE>},
    {VT_BSTR, SameStrings},
    {VT_DISPATCH, SameTypeAndValue<IDispatch*>},
    {VT_UNKNOWN, SameTypeAndValue<IUnknown*>},
};

}  // namespace

BOOL IsVariantEqual(const VARIANT& first, const VARIANT& second) noexcept {
    for (const RuleEntry& entry : kRules) {
        if (entry.firstType == V_VT(&first)) return entry.rule(first, second) ? TRUE : FALSE;
    }
    return FALSE;
}
