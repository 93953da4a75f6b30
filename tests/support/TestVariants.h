#pragma once
// VARIANTs in tests: builders for the values cases start from, and describers that turn results into short
// texts ("ui2:7", "bstr:'abc'", "bytes:0A1B", "[ui4:7, ui2:7]") so that expectations read as tables.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

namespace vtest {

ql::Variant MakeBstr(const wchar_t* text);
ql::Variant MakeI4(LONG number);
ql::Variant MakeUI4(ULONG number);

// A one-dimensional array of `vt` with the given lower bound (a BSTR element is given as const wchar_t*).
template <class T>
ql::Variant MakeArray(VARTYPE vt, const std::vector<T>& values, LONG lowerBound = 0) {
    ql::SafeArray array;
    EXPECT_EQ(S_OK, array.Create(vt, static_cast<ULONG>(values.size()), lowerBound));
    LONG index = lowerBound;
    for (T value : values) {
        if constexpr (std::is_same_v<T, const wchar_t*>) {
            // SafeArrayPutElement copies a BSTR by its length prefix, which a literal does not have.
            ql::Bstr text(value);
            EXPECT_EQ(S_OK, ::SafeArrayPutElement(array.Get(), &index, text.Get()));
        } else {
            EXPECT_EQ(S_OK, ::SafeArrayPutElement(array.Get(), &index, &value));
        }
        ++index;
    }
    ql::Variant v;
    v.AttachArray(vt, array.Detach());
    return v;
}
inline ql::Variant MakeBytes(const std::vector<BYTE>& bytes, LONG lowerBound = 0) {
    return MakeArray<BYTE>(VT_UI1, bytes, lowerBound);
}

// A reference (VT_BYREF | `type`) to `target`, as scripts pass their variables; it owns nothing.
inline ql::Variant MakeReference(VARTYPE type, void* target) {
    ql::Variant reference;
    V_VT(reference.Put()) = static_cast<VARTYPE>(VT_BYREF | type);
    V_BYREF(reference.Get()) = target;
    return reference;
}

// A one-dimensional array of VARIANTs holding `elements` as they stand (references included).
template <class... Elements>
ql::Variant MakeVariantArray(Elements&&... elements) {
    ql::SafeArray array;
    EXPECT_EQ(S_OK, array.Create(VT_VARIANT, sizeof...(elements)));
    {
        ql::SafeArrayData<VARIANT> data(array.Get());
        EXPECT_EQ(S_OK, data.Status());
        size_t i = 0;
        const auto put = [&](ql::Variant element) { EXPECT_EQ(S_OK, element.Detach(&data[i++])); };
        (put(std::move(elements)), ...);
    }
    ql::Variant v;
    v.AttachArray(VT_VARIANT, array.Detach());
    return v;
}

// A VT_BYREF|VT_VARIANT that refers to itself, which no reading may follow without end.
struct SelfReference {
    SelfReference() {
        V_VT(&value) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&value) = &value;
    }
    SelfReference(const SelfReference&) = delete;
    SelfReference& operator=(const SelfReference&) = delete;
    VARIANT value;
};

struct NamedValue {
    const char* name;
    ql::Variant value;
};

// VARIANTs whose type claims what their data is not, as a broken caller may pass them, each on its own and
// as an element of an array of VARIANTs:
// - one that claims to hold a VARIANT by value; read as one, its data is a text whose pointer lies in the
//   data's second word (64-bit) or just past it (32-bit; in the array, the next element's first word);
// - bytes claiming to be texts, which read as text pointers point nowhere, and fractions claiming to be
//   texts, as wide as a text pointer in 64-bit;
// - DECIMALs claiming to be VARIANTs, narrower than VARIANTs in 64-bit.
// The platform clears each of them without harm.
std::vector<NamedValue> MisclaimedValues();

// Who owns the elements of an array of texts or VARIANTs: the platform copies and frees them only where the
// array carries FADF_BSTR or FADF_VARIANT, which SafeArrayCreateVector sets. SafeArrayAllocDescriptorEx with
// SafeArrayAllocData records the element type but sets neither, and the elements stay their caller's.
enum class ElementOwner { kPlatform, kCaller };
// A one-dimensional array of `count` elements of `type` from 0, made as `owner` says.
ql::SafeArray MakeArrayOwnedBy(ElementOwner owner, VARTYPE type, ULONG count);
// `texts` in an array of texts and in an array of VARIANTs holding texts, each on its own and inside an
// array of VARIANTs the platform owns. Where the caller owns the elements, they are `texts` themselves, which
// clearing the value leaves to the caller; otherwise they are copies.
std::vector<NamedValue> TextArrays(const std::vector<BSTR>& texts, ElementOwner owner);

// The elements of a one-dimensional array of T in storage order; empty for anything else.
template <class T>
std::vector<T> Elements(const VARIANT& v) {
    std::vector<T> out;
    if (!(V_VT(&v) & VT_ARRAY) || !v.parray) return out;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(v.parray, 1, &lower);
    ::SafeArrayGetUBound(v.parray, 1, &upper);
    ql::SafeArrayData<T> data(v.parray);
    if (FAILED(data.Status())) return out;
    for (LONG i = 0; i <= upper - lower; ++i) out.push_back(data[static_cast<size_t>(i)]);
    return out;
}
LONG LowerBound(const VARIANT& v, UINT dimension = 1);

// "empty", "ui1:5", "i4:-1", "r4:100.599998", "bool:-1", "bstr:'text'", "bytes:0A1B", "texts['a', 'b']",
// "[i4:1, bstr:'x']";
// other types as "vt<number>".
std::string Describe(const VARIANT& v);
// The value as US English text with booleans as words, for comparing results of any type.
std::wstring TextOf(const VARIANT& v);
// A BSTR's text with embedded NULs; a null BSTR reads as empty.
std::wstring StringOf(BSTR text);

}  // namespace vtest
