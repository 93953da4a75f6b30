// The resource owners must never leak, double-free or hand out a stale value.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/RegKey.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "tests/support/TestObjects.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/TestVariants.h"

namespace {

using CountingUnknown = vtest::CountedObject<IUnknown>;

static_assert(!std::is_copy_constructible_v<ql::Bstr>, "a BSTR owner must not copy by accident");
static_assert(!std::is_copy_constructible_v<ql::Variant>, "a VARIANT owner must not copy by accident");

TEST(ComPtrTest, CopyMoveResetAndPutBalanceReferences) {
    CountingUnknown object, other;
    {
        ql::ComPtr<IUnknown> a(&object);
        ql::ComPtr<IUnknown> b = a;
        EXPECT_EQ(3u, object.refs);
        ql::ComPtr<IUnknown> c = std::move(b);
        EXPECT_EQ(3u, object.refs);
        EXPECT_FALSE(b);
        a = c;  // same object assigned again: count unchanged
        EXPECT_EQ(3u, object.refs);
        c.Reset();
        EXPECT_EQ(2u, object.refs);
        IUnknown** slot = a.Put();  // releases the old reference first
        EXPECT_EQ(1u, object.refs);
        *slot = &other;  // an out-parameter hands over a reference it already counted
        other.AddRef();
        EXPECT_TRUE(ql::IsSameObject(a.Get(), &other));
        EXPECT_FALSE(ql::IsSameObject(a.Get(), &object));
        EXPECT_FALSE(ql::IsSameObject(a.Get(), nullptr));
    }
    EXPECT_EQ(1u, object.refs);
    EXPECT_EQ(1u, other.refs);

    IUnknown* out = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(S_OK, ql::ComPtr<IUnknown>().CopyTo(&out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, ql::ComPtr<IUnknown>().CopyTo(nullptr));
}

TEST(BstrTest, KeepsEmbeddedNulsCopiesDeeplyAndMovesLeaveTheSourceNull) {
    const wchar_t raw[] = {L'a', 0, L'b'};
    ql::Bstr s;
    ASSERT_EQ(S_OK, s.Assign(std::wstring_view(raw, 3)));
    EXPECT_EQ(3u, s.Length());
    ql::Bstr copy;
    ASSERT_EQ(S_OK, copy.AssignCopy(s.Get()));
    EXPECT_NE(s.Get(), copy.Get());
    EXPECT_EQ(s.View(), copy.View());
    BSTR out = nullptr;
    ASSERT_EQ(S_OK, s.CopyTo(&out));
    ql::Bstr owned;
    owned.Attach(out);
    EXPECT_EQ(3u, owned.Length());
    EXPECT_EQ(E_POINTER, s.CopyTo(nullptr));

    ql::Bstr none;
    EXPECT_STREQ(L"", none.CStr());
    ql::Bstr text(L"hello");
    ql::Bstr moved(std::move(text));
    EXPECT_TRUE(text.IsNull());
    ASSERT_EQ(S_OK, moved.Append(L" world"));
    EXPECT_EQ(L"hello world", moved.View());
}

TEST(VariantTest, SettersClearTheOldValueAndCopiesAreDeep) {
    ql::Variant v;
    ASSERT_EQ(S_OK, v.SetBstr(L"text"));
    v.SetI4(-5);  // frees the BSTR
    EXPECT_EQ(VT_I4, v.Type());
    ASSERT_EQ(S_OK, v.SetBstr(L"deep"));
    ql::Variant copy;
    ASSERT_EQ(S_OK, copy.CopyFrom(*v));
    EXPECT_NE(v->bstrVal, copy->bstrVal);
    VARIANT raw;
    ASSERT_EQ(S_OK, copy.Detach(&raw));
    EXPECT_EQ(VT_EMPTY, copy.Type());
    ql::Variant back;
    back.Attach(raw);
    EXPECT_EQ(VT_EMPTY, raw.vt);
    EXPECT_STREQ(L"deep", back->bstrVal);

    CountingUnknown object;
    v.SetUnknown(&object);
    EXPECT_EQ(2u, object.refs) << "an interface value holds its own reference";
    v.Reset();
    EXPECT_EQ(1u, object.refs);
}

// The types whose values hold nothing to release (VT_DECIMAL aside, which fills the whole VARIANT).
constexpr VARTYPE kPlainTypes[] = {VT_EMPTY, VT_NULL, VT_I1,  VT_UI1,  VT_I2,   VT_UI2,
                                   VT_I4,    VT_UI4,  VT_INT, VT_UINT, VT_I8,   VT_UI8,
                                   VT_R4,    VT_R8,   VT_CY,  VT_DATE, VT_BOOL, VT_ERROR};

// Copying a plain value skips the platform too: the copy is what VariantCopy makes, bit for bit, over any
// value the target held, and a value copied onto itself stays.
TEST(VariantTest, APlainCopyIsThePlatformsCopy) {
    for (VARTYPE type : kPlainTypes) {
        SCOPED_TRACE(type);
        VARIANT source;
        std::memset(&source, 0x5A, sizeof source);
        V_VT(&source) = type;
        VARIANT expected;
        ::VariantInit(&expected);
        ASSERT_EQ(S_OK, ::VariantCopy(&expected, &source));
        ql::Variant target;
        ASSERT_EQ(S_OK, target.SetBstr(L"held before"));
        ASSERT_EQ(S_OK, target.CopyFrom(source));
        EXPECT_EQ(0, std::memcmp(&expected, target.Get(), sizeof expected));
        ASSERT_EQ(S_OK, target.CopyFrom(*target));
        EXPECT_EQ(0, std::memcmp(&expected, target.Get(), sizeof expected));
    }
    DECIMAL decimal = {};
    decimal.Lo64 = 12345;
    decimal.scale = 2;
    ql::Variant decimalValue;
    V_DECIMAL(decimalValue.Put()) = decimal;
    V_VT(decimalValue.Get()) = VT_DECIMAL;
    ql::Variant copy;
    ASSERT_EQ(S_OK, copy.CopyFrom(*decimalValue));
    EXPECT_EQ(VT_DECIMAL, copy.Type());
    EXPECT_EQ(12345u, V_DECIMAL(copy.Get()).Lo64);
    EXPECT_EQ(2, V_DECIMAL(copy.Get()).scale);
}

// A copy keeps nothing of the caller's memory: what a reference points at is copied, at any level of a
// value, so that changing (or freeing) the caller's variables afterwards leaves the copy as it was.
TEST(VariantTest, ACopyHoldsWhatReferencesReferTo) {
    using vtest::MakeReference;
    using vtest::MakeVariantArray;
    LONG number = 7;
    ql::Bstr text(L"abc");
    BSTR textHandle = text.Get();
    ql::Variant held = vtest::MakeBstr(L"seven");
    ql::Variant heldReference = MakeReference(VT_I4, &number);
    ql::Variant numbers = MakeVariantArray(MakeReference(VT_I4, &number));
    vtest::SelfReference selfReference;
    const struct {
        const char* name;
        ql::Variant source;
        HRESULT hr;
        const char* copy;
    } cases[] = {
        {"number", MakeReference(VT_I4, &number), S_OK, "i4:7"},
        {"text", MakeReference(VT_BSTR, &textHandle), S_OK, "bstr:'abc'"},
        {"VARIANT", MakeReference(VT_VARIANT, held.Get()), S_OK, "bstr:'seven'"},
        {"VARIANT holding a reference", MakeReference(VT_VARIANT, heldReference.Get()), S_OK, "i4:7"},
        {"in an array",
         MakeVariantArray(MakeReference(VT_I4, &number), MakeReference(VT_VARIANT, held.Get())), S_OK,
         "[i4:7, bstr:'seven']"},
        {"in a nested array", MakeVariantArray(MakeVariantArray(MakeReference(VT_I4, &number))), S_OK,
         "[[i4:7]]"},
        {"to an array", MakeReference(VT_ARRAY | VT_VARIANT, &V_ARRAY(numbers.Get())), S_OK, "[i4:7]"},
        {"null", MakeReference(VT_I4, nullptr), E_INVALIDARG, "bstr:'kept'"},
        {"to itself", MakeReference(VT_VARIANT, &selfReference.value), E_INVALIDARG, "bstr:'kept'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        number = 7;
        ql::Variant copy = vtest::MakeBstr(L"kept");
        EXPECT_HR(c.hr, copy.CopyFrom(*c.source));
        number = 99;
        EXPECT_EQ(c.copy, vtest::Describe(*copy));
    }
}

// A value whose type claims what its data is not is refused, not copied for a later reader to misread.
TEST(VariantTest, ACopyRefusesAValueWhoseTypeMisclaimsItsData) {
    for (const vtest::NamedValue& misclaimed : vtest::MisclaimedValues()) {
        SCOPED_TRACE(misclaimed.name);
        ql::Variant copy = vtest::MakeBstr(L"kept");
        EXPECT_HR(E_INVALIDARG, copy.CopyFrom(*misclaimed.value));
        EXPECT_EQ("bstr:'kept'", vtest::Describe(*copy));
    }
}

// Clearing a plain value skips the platform; everything that holds something must still be released.
TEST(VariantTest, ResetReleasesWhatAValueHoldsAndEmptiesEveryType) {
    for (VARTYPE type : kPlainTypes) {
        SCOPED_TRACE(type);
        EXPECT_FALSE(ql::Variant::OwnsResources(type));
        ql::Variant v;
        V_VT(v.Put()) = type;
        v.Get()->llVal = -1;
        v.Reset();
        EXPECT_EQ(VT_EMPTY, v.Type());
    }
    const VARTYPE holding[] = {VT_BSTR,
                               VT_DISPATCH,
                               VT_UNKNOWN,
                               VT_VARIANT,
                               VT_RECORD,
                               static_cast<VARTYPE>(VT_ARRAY | VT_I4),
                               static_cast<VARTYPE>(VT_BYREF | VT_I4)};
    for (VARTYPE type : holding) {
        SCOPED_TRACE(type);
        EXPECT_TRUE(ql::Variant::OwnsResources(type));
    }
    CountingUnknown object;
    for (int moved = 0; moved < 2; ++moved) {
        ql::Variant v;
        v.SetUnknown(&object);
        ql::Variant target(std::move(v));
        ql::Variant assigned;
        assigned = std::move(target);
        EXPECT_EQ(2u, object.refs);
    }
    EXPECT_EQ(1u, object.refs) << "the value that was moved along is released at its last owner";
}

TEST(SafeArrayTest, DataLockAndBounds) {
    ql::SafeArray array;
    ASSERT_EQ(S_OK, array.Create(VT_UI1, 3, 5));
    LONG lower = 0, upper = 0;
    ASSERT_EQ(S_OK, array.Bounds(&lower, &upper));
    EXPECT_EQ(5, lower);
    EXPECT_EQ(7, upper);
    EXPECT_EQ(3u, array.Count());
    {
        ql::SafeArrayData<BYTE> data(array.Get());
        ASSERT_EQ(S_OK, data.Status());
        data[2] = 0xFF;
        // While locked the array cannot be destroyed: the lock must end with its scope.
        EXPECT_EQ(DISP_E_ARRAYISLOCKED, ::SafeArrayDestroy(array.Get()));
    }
    ql::SafeArray copy;
    ASSERT_EQ(S_OK, copy.CopyFrom(array.Get()));
    ql::SafeArrayData<BYTE> copied(copy.Get());
    ASSERT_EQ(S_OK, copied.Status());
    EXPECT_EQ(0xFF, copied[2]);
    EXPECT_EQ(E_POINTER, ql::SafeArrayData<BYTE>(nullptr).Status());
    EXPECT_EQ(0u, ql::SafeArray().Count());
}

// An array holds texts, VARIANTs or objects only where the platform owns them, as every way the platform
// creates arrays makes it; an array that only records the type leaves its elements to the caller, and plain
// values need no owner at all.
TEST(SafeArrayTest, HoldsElementsOfTakesOwnedElementsOnly) {
    enum class Made { kCreate, kCreateVector, kCreateEx, kDescriptorEx, kDescriptorWithoutRecord };
    const auto make = [](Made made, VARTYPE type) {
        SAFEARRAYBOUND bound = {2, 0};
        ql::SafeArray array;
        switch (made) {
            case Made::kCreate:
                array.Attach(::SafeArrayCreate(type, 1, &bound));
                break;
            case Made::kCreateVector:
                array.Attach(::SafeArrayCreateVector(type, 0, 2));
                break;
            case Made::kCreateEx:
                array.Attach(::SafeArrayCreateEx(type, 1, &bound, nullptr));
                break;
            case Made::kDescriptorEx:
                EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptorEx(type, 1, array.Put()));
                break;
            case Made::kDescriptorWithoutRecord:
                EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptor(1, array.Put()));
                if (array.Get()) array.Get()->cbElements = 8;
                break;
        }
        if (array.Get() && !array.Get()->pvData) {
            array.Get()->rgsabound[0] = bound;
            EXPECT_EQ(S_OK, ::SafeArrayAllocData(array.Get()));
        }
        return array;
    };
    const VARTYPE owned[] = {VT_BSTR, VT_VARIANT, VT_UNKNOWN, VT_DISPATCH};
    const VARTYPE plain[] = {VT_UI1, VT_I4, VT_R8};
    std::vector<VARTYPE> types(std::begin(owned), std::end(owned));
    types.insert(types.end(), std::begin(plain), std::end(plain));
    const auto isOwned = [&](VARTYPE type) {
        return std::count(std::begin(owned), std::end(owned), type) != 0;
    };
    for (const Made made : {Made::kCreate, Made::kCreateVector, Made::kCreateEx, Made::kDescriptorEx,
                            Made::kDescriptorWithoutRecord}) {
        for (const VARTYPE type : types) {
            const ql::SafeArray array = make(made, type);
            ASSERT_NE(nullptr, array.Get());
            for (const VARTYPE claimed : types) {
                SCOPED_TRACE(testing::Message() << "made " << static_cast<int>(made) << " of " << type
                                                << ", claimed " << claimed);
                bool holds = claimed == type && (made < Made::kDescriptorEx || !isOwned(type));
                // Eight bytes wide, without a record: plain values of that width only.
                if (made == Made::kDescriptorWithoutRecord)
                    holds = !isOwned(claimed) && ql::ElementWidth(claimed) == 8;
                EXPECT_EQ(holds, ql::HoldsElementsOf(*array.Get(), claimed));
            }
        }
    }
}

// A reader of bytes needs elements one byte wide that nobody owns; a reader of VARIANTs by one index needs
// one dimension of VARIANTs the platform owns. The shapes around them, and what the platform makes.
TEST(SafeArrayTest, HoldsBytesAndIsVariantVectorAskWidthAndShape) {
    const auto untyped = [](ULONG width) {
        ql::SafeArray array;
        EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptor(1, array.Put()));
        array.Get()->cbElements = width;
        return array;
    };
    const auto recorded = [](VARTYPE type) {
        ql::SafeArray array;
        EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptorEx(type, 1, array.Put()));
        return array;
    };
    const auto vector = [](VARTYPE type) {
        ql::SafeArray array;
        EXPECT_EQ(S_OK, array.Create(type, 2));
        return array;
    };
    SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
    const struct {
        const char* name;
        ql::SafeArray array;
        bool holdsBytes;
        bool isVariantVector;
    } cases[] = {
        {"vector of bytes", vector(VT_UI1), true, false},
        {"bytes recorded only", recorded(VT_UI1), true, false},
        {"untyped, one byte wide", untyped(1), true, false},
        {"untyped, empty elements", untyped(0), false, false},
        {"untyped, two bytes wide", untyped(2), false, false},
        {"vector of texts", vector(VT_BSTR), false, false},
        {"vector of DECIMALs", vector(VT_DECIMAL), false, false},
        {"vector of VARIANTs", vector(VT_VARIANT), false, true},
        {"VARIANTs recorded only", recorded(VT_VARIANT), false, false},
        {"two dimensions of VARIANTs", ql::SafeArray(::SafeArrayCreate(VT_VARIANT, 2, square)), false, false},
        {"untyped, as wide as a VARIANT", untyped(sizeof(VARIANT)), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, c.array.Get());
        EXPECT_EQ(c.holdsBytes, ql::HoldsBytes(*c.array.Get()));
        EXPECT_EQ(c.isVariantVector, ql::IsVariantVector(*c.array.Get()));
    }
}

// A string value is read in one go when it fits a path, in two when it does not: the lengths around the
// short buffer's end, a stored text without its terminator, and values that are no string.
TEST(RegKeyTest, QueryStringReadsEveryLengthAndRefusesOtherTypes) {
    vtest::ScopedRegistryKey scoped(HKEY_CURRENT_USER, L"Software\\VarnokP3 Tests\\RegKey", 1);
    const ql::RegKey key = scoped.Create();
    const struct {
        const char* name;
        DWORD type;
        std::wstring stored;  // written as it stands, with a terminator when `terminated`
        bool terminated;
        HRESULT hr;
        std::wstring read;
    } cases[] = {
        {"empty", REG_SZ, L"", true, S_OK, L""},
        {"a path's length less one", REG_SZ, std::wstring(MAX_PATH - 1, L'a'), true, S_OK,
         std::wstring(MAX_PATH - 1, L'a')},
        {"a path's length", REG_SZ, std::wstring(MAX_PATH, L'b'), true, S_OK, std::wstring(MAX_PATH, L'b')},
        {"one more", REG_SZ, std::wstring(MAX_PATH + 1, L'c'), true, S_OK, std::wstring(MAX_PATH + 1, L'c')},
        {"long", REG_EXPAND_SZ, std::wstring(1000, L'd'), true, S_OK, std::wstring(1000, L'd')},
        {"long, no terminator", REG_SZ, std::wstring(700, L'e'), false, S_OK, std::wstring(700, L'e')},
        {"short, no terminator", REG_SZ, L"C:\\Folder", false, S_OK, L"C:\\Folder"},
        {"number", REG_DWORD, L"xx", false, HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE), L""},
        {"long binary", REG_BINARY, std::wstring(400, L'f'), false,
         HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE), L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DWORD bytes = static_cast<DWORD>((c.stored.size() + (c.terminated ? 1 : 0)) * sizeof(wchar_t));
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key.Get(), L"value", 0, c.type,
                                                  reinterpret_cast<const BYTE*>(c.stored.c_str()), bytes));
        std::wstring read = L"old";
        EXPECT_EQ(c.hr, key.QueryString(L"value", read));
        EXPECT_EQ(c.read, read);
    }
    std::wstring read = L"old";
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), key.QueryString(L"absent", read));
    EXPECT_EQ(L"", read);
}

}  // namespace
