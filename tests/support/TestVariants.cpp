#include "tests/support/TestVariants.h"

#include <cstdio>

#include "classlib/Utf8.h"

namespace vtest {

ql::Variant MakeBstr(const wchar_t* text) {
    ql::Variant v;
    EXPECT_EQ(S_OK, v.SetBstr(text));
    return v;
}

ql::Variant MakeI4(LONG number) {
    ql::Variant v;
    v.SetI4(number);
    return v;
}

ql::Variant MakeUI4(ULONG number) {
    ql::Variant v;
    v.SetUI4(number);
    return v;
}

namespace {

ql::Variant ClaimingAVariant() {
    ql::Variant value;
    VARIANT* raw = value.Put();
    V_VT(raw) = VT_VARIANT;
    V_RECORD(raw) = reinterpret_cast<void*>(static_cast<UINT_PTR>(VT_BSTR));
    V_RECORDINFO(raw) = reinterpret_cast<IRecordInfo*>(static_cast<UINT_PTR>(0x10));
    return value;
}

ql::Variant Relabelled(ql::Variant array, VARTYPE claimedElementType) {
    V_VT(array.Get()) = static_cast<VARTYPE>(VT_ARRAY | claimedElementType);
    return array;
}

ql::Variant BytesClaimingTexts() { return Relabelled(MakeBytes(std::vector<BYTE>(32, 0x41)), VT_BSTR); }

ql::Variant FractionsClaimingTexts() { return Relabelled(MakeArray<double>(VT_R8, {1.5, 2.5}), VT_BSTR); }

ql::Variant DecimalsClaimingVariants() {
    std::vector<DECIMAL> decimals(3);
    for (size_t i = 0; i < decimals.size(); ++i) {
        ql::Variant number = MakeI4(static_cast<LONG>(i + 1));
        EXPECT_EQ(S_OK, number.ChangeType(VT_DECIMAL));
        decimals[i] = number->decVal;
    }
    return Relabelled(MakeArray<DECIMAL>(VT_DECIMAL, decimals), VT_VARIANT);
}

}  // namespace

std::vector<NamedValue> MisclaimedValues() {
    std::vector<NamedValue> values;
    values.push_back({"a VARIANT claiming a VARIANT", ClaimingAVariant()});
    values.push_back({"bytes claiming texts", BytesClaimingTexts()});
    values.push_back({"fractions claiming texts", FractionsClaimingTexts()});
    values.push_back({"DECIMALs claiming VARIANTs", DecimalsClaimingVariants()});
    values.push_back(
        {"in an array: a VARIANT claiming a VARIANT", MakeVariantArray(ClaimingAVariant(), MakeI4(3))});
    values.push_back({"in an array: bytes claiming texts", MakeVariantArray(BytesClaimingTexts())});
    values.push_back(
        {"in an array: DECIMALs claiming VARIANTs", MakeVariantArray(DecimalsClaimingVariants())});
    return values;
}

ql::SafeArray MakeArrayOwnedBy(ElementOwner owner, VARTYPE type, ULONG count) {
    ql::SafeArray array;
    if (owner == ElementOwner::kPlatform) {
        EXPECT_EQ(S_OK, array.Create(type, count));
        return array;
    }
    EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptorEx(type, 1, array.Put()));
    if (!array.Get()) return array;
    array.Get()->rgsabound[0] = {count, 0};
    EXPECT_EQ(S_OK, ::SafeArrayAllocData(array.Get()));
    return array;
}

namespace {

// The element that holds `text` as `owner` says: the text itself for the caller, a copy for the platform.
BSTR OwnedText(BSTR text, ElementOwner owner) {
    return owner == ElementOwner::kCaller ? text : ::SysAllocStringLen(text, ::SysStringLen(text));
}

template <class Element>
ql::Variant MakeTextArray(VARTYPE type, const std::vector<BSTR>& texts, ElementOwner owner,
                          void (*put)(Element&, BSTR)) {
    ql::SafeArray array = MakeArrayOwnedBy(owner, type, static_cast<ULONG>(texts.size()));
    {
        ql::SafeArrayData<Element> elements(array.Get());
        EXPECT_EQ(S_OK, elements.Status());
        if (SUCCEEDED(elements.Status())) {
            for (size_t i = 0; i < texts.size(); ++i) put(elements[i], OwnedText(texts[i], owner));
        }
    }
    ql::Variant value;
    value.AttachArray(type, array.Detach());
    return value;
}

}  // namespace

std::vector<NamedValue> TextArrays(const std::vector<BSTR>& texts, ElementOwner owner) {
    const auto arrayOfTexts = [&] {
        return MakeTextArray<BSTR>(VT_BSTR, texts, owner, [](BSTR& element, BSTR text) { element = text; });
    };
    const auto arrayOfVariants = [&] {
        return MakeTextArray<VARIANT>(VT_VARIANT, texts, owner, [](VARIANT& element, BSTR text) {
            V_VT(&element) = VT_BSTR;
            V_BSTR(&element) = text;
        });
    };
    std::vector<NamedValue> values;
    values.push_back({"texts", arrayOfTexts()});
    values.push_back({"VARIANTs holding texts", arrayOfVariants()});
    values.push_back({"in an array: texts", MakeVariantArray(arrayOfTexts())});
    values.push_back({"in an array: VARIANTs holding texts", MakeVariantArray(arrayOfVariants())});
    return values;
}

LONG LowerBound(const VARIANT& v, UINT dimension) {
    LONG lower = -99;
    EXPECT_EQ(S_OK, ::SafeArrayGetLBound(v.parray, dimension, &lower));
    return lower;
}

std::string Describe(const VARIANT& v) {
    char text[64];
    auto format = [&](const char* pattern, auto value) {
        std::snprintf(text, sizeof text, pattern, value);
        return std::string(text);
    };
    switch (V_VT(&v)) {
        case VT_EMPTY:
            return "empty";
        case VT_NULL:
            return "null";
        case VT_UI1:
            return format("ui1:%u", v.bVal);
        case VT_UI2:
            return format("ui2:%u", v.uiVal);
        case VT_UI4:
            return format("ui4:%lu", v.ulVal);
        case VT_I2:
            return format("i2:%d", v.iVal);
        case VT_I4:
            return format("i4:%ld", v.lVal);
        case VT_R4:
            return format("r4:%.9g", static_cast<double>(v.fltVal));
        case VT_R8:
            return format("r8:%.17g", v.dblVal);
        case VT_BOOL:
            return format("bool:%d", v.boolVal);
        case VT_BSTR:
            return "bstr:'" + ql::Utf8FromWide(StringOf(v.bstrVal)) + "'";
        case VT_ARRAY | VT_UI1: {
            std::string out = "bytes:";
            for (BYTE b : Elements<BYTE>(v)) out += format("%02X", b);
            return out;
        }
        case VT_ARRAY | VT_BSTR: {
            std::string out = "texts[";
            for (BSTR element : Elements<BSTR>(v))
                out += (out.size() > 6 ? ", '" : "'") + ql::Utf8FromWide(StringOf(element)) + "'";
            return out + "]";
        }
        case VT_ARRAY | VT_VARIANT: {
            std::string out = "[";
            for (const VARIANT& element : Elements<VARIANT>(v))
                out += (out.size() > 1 ? ", " : "") + Describe(element);
            return out + "]";
        }
        default:
            return format("vt%u", V_VT(&v));
    }
}

std::wstring TextOf(const VARIANT& v) {
    ql::Variant text;
    if (FAILED(::VariantChangeTypeEx(text.Get(), const_cast<VARIANT*>(&v), 0x0409, VARIANT_ALPHABOOL,
                                     VT_BSTR))) {
        return L"<no text>";
    }
    return StringOf(text->bstrVal);
}

std::wstring StringOf(BSTR text) { return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring(); }

}  // namespace vtest
