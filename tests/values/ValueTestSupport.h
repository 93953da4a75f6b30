#pragma once
// Builders and printers shared by the value tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

// HRESULTs compare by name so a failure shows what came back.
inline std::string HrName(HRESULT hr) {
    struct Known {
        HRESULT hr;
        const char* name;
    } static const known[] = {
        {S_OK, "S_OK"},
        {S_FALSE, "S_FALSE"},
        {E_POINTER, "E_POINTER"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {E_UNEXPECTED, "E_UNEXPECTED"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_FAIL, "E_FAIL"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_NOINTERFACE, "E_NOINTERFACE"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_BADINDEX, "DISP_E_BADINDEX"},
        {DISP_E_OVERFLOW, "DISP_E_OVERFLOW"},
    };
    for (const Known& k : known) {
        if (k.hr == hr) return k.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}
#define EXPECT_HR(expected, actual) EXPECT_EQ(HrName(expected), HrName(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(HrName(expected), HrName(actual))

// A one-dimensional array of `vt` with the given lower bound, filled from `values` (a BSTR element is
// given as const wchar_t*).
template <class T>
inline ql::Variant MakeArray(VARTYPE vt, const std::vector<T>& values, LONG lowerBound = 0) {
    ql::SafeArray array;
    EXPECT_EQ(S_OK, array.Create(vt, static_cast<ULONG>(values.size()), lowerBound));
    LONG index = lowerBound;
    for (T value : values) {
        void* element = &value;
        if constexpr (std::is_same_v<T, const wchar_t*>) element = const_cast<wchar_t*>(value);
        EXPECT_EQ(S_OK, ::SafeArrayPutElement(array.Get(), &index, element));
        ++index;
    }
    ql::Variant v;
    v.AttachArray(vt, array.Detach());
    return v;
}

inline ql::Variant MakeBytes(const std::vector<BYTE>& bytes, LONG lowerBound = 0) {
    return MakeArray<BYTE>(VT_UI1, bytes, lowerBound);
}

inline ql::Variant MakeBstr(const wchar_t* text) {
    ql::Variant v;
    EXPECT_EQ(S_OK, v.SetBstr(text));
    return v;
}

inline LONG LowerBound(const VARIANT& v, UINT dimension = 1) {
    LONG lower = -99;
    EXPECT_EQ(S_OK, ::SafeArrayGetLBound(v.parray, dimension, &lower));
    return lower;
}

// The elements of a one-dimensional array in storage order.
template <class T>
inline std::vector<T> Elements(const VARIANT& v) {
    std::vector<T> out;
    if (!(V_VT(&v) & VT_ARRAY) || !v.parray) return out;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(v.parray, 1, &lower);
    ::SafeArrayGetUBound(v.parray, 1, &upper);
    ql::SafeArrayData<T> data(v.parray);
    for (LONG i = 0; i <= upper - lower; ++i) out.push_back(data[static_cast<size_t>(i)]);
    return out;
}

// The value as text in US English (booleans as words), for comparing results of any type.
inline std::wstring TextOf(const VARIANT& v) {
    ql::Variant text;
    if (FAILED(::VariantChangeTypeEx(text.Get(), const_cast<VARIANT*>(&v), 0x0409, VARIANT_ALPHABOOL,
                                     VT_BSTR))) {
        return L"<no text>";
    }
    return text->bstrVal ? text->bstrVal : L"";
}
