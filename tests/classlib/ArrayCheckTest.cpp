// The one check of a caller's array (ql::HoldsElementsOf and the checks built on it) and the copy that asks
// it first (ql::Variant::CopyFrom). Every array the platform makes, of every type a VARIANT carries, holds
// what it claims and copies as before; a descriptor that does not agree with itself is refused before
// anything of it is read or copied, in every form a caller may pass it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "tests/support/HResultText.h"
#include "tests/support/HostileArrays.h"
#include "tests/support/TestVariants.h"

namespace {

using vtest::ArrayForm;
using vtest::FormedArray;

// Every type whose values a VARIANT carries in an array, with the width the platform gives its elements.
const struct {
    VARTYPE type;
    size_t width;
} kArrayTypes[] = {
    {VT_I1, 1},
    {VT_UI1, 1},
    {VT_I2, 2},
    {VT_UI2, 2},
    {VT_BOOL, 2},
    {VT_I4, 4},
    {VT_UI4, 4},
    {VT_INT, 4},
    {VT_UINT, 4},
    {VT_R4, 4},
    {VT_ERROR, 4},
    {VT_I8, 8},
    {VT_UI8, 8},
    {VT_R8, 8},
    {VT_CY, 8},
    {VT_DATE, 8},
    {VT_DECIMAL, 16},
    {VT_BSTR, sizeof(BSTR)},
    {VT_UNKNOWN, sizeof(IUnknown*)},
    {VT_DISPATCH, sizeof(IDispatch*)},
    {VT_VARIANT, sizeof(VARIANT)},
};

// The ways a caller makes a sound array: each gives an array of `type` with its elements filled.
struct Maker {
    const char* name;
    std::function<SAFEARRAY*(VARTYPE type)> make;
};

// Fills every element of `array` with a value of its own: texts "t<i>", VARIANTs holding i, plain values
// bytes counting up; objects stay null.
void FillElements(SAFEARRAY* array, VARTYPE type) {
    const ql::SafeArrayData<BYTE> data(array);
    ASSERT_EQ(S_OK, data.Status());
    const ULONGLONG count = ql::ElementCount(*array);
    for (ULONGLONG i = 0; i < count; ++i) {
        BYTE* element = data.Data() + i * array->cbElements;
        if (type == VT_BSTR) {
            *reinterpret_cast<BSTR*>(element) = ::SysAllocString((L"t" + std::to_wstring(i)).c_str());
        } else if (type == VT_VARIANT) {
            auto* variant = reinterpret_cast<VARIANT*>(element);
            V_VT(variant) = VT_I4;
            V_I4(variant) = static_cast<LONG>(i);
        } else if (type != VT_UNKNOWN && type != VT_DISPATCH) {
            for (ULONG b = 0; b < array->cbElements; ++b) element[b] = static_cast<BYTE>(i * 7 + b);
        }
    }
}

std::vector<Maker> Makers() {
    const auto filled = [](SAFEARRAY* array, VARTYPE type) {
        if (array) FillElements(array, type);
        return array;
    };
    return {
        {"SafeArrayCreate from -3",
         [=](VARTYPE type) {
             SAFEARRAYBOUND bound = {3, -3};
             return filled(::SafeArrayCreate(type, 1, &bound), type);
         }},
        {"SafeArrayCreate, three dimensions from 5",
         [=](VARTYPE type) {
             SAFEARRAYBOUND bounds[3] = {{2, 5}, {3, 5}, {2, 5}};
             return filled(::SafeArrayCreate(type, 3, bounds), type);
         }},
        {"SafeArrayCreateEx",
         [=](VARTYPE type) {
             SAFEARRAYBOUND bound = {4, 0};
             return filled(::SafeArrayCreateEx(type, 1, &bound, nullptr), type);
         }},
        {"SafeArrayCreateVector from 5",
         [=](VARTYPE type) { return filled(::SafeArrayCreateVector(type, 5, 3), type); }},
        {"empty vector", [](VARTYPE type) { return ::SafeArrayCreateVector(type, 0, 0); }},
        {"SafeArrayCopy",
         [=](VARTYPE type) {
             ql::SafeArray source(filled(::SafeArrayCreateVector(type, 1, 3), type));
             SAFEARRAY* copy = nullptr;
             EXPECT_EQ(S_OK, ::SafeArrayCopy(source.Get(), &copy));
             return copy;
         }},
    };
}

// Whether `copy` holds what `original` holds: the same shape, and elements equal by their type.
void ExpectSameArray(const SAFEARRAY& original, const SAFEARRAY& copy, VARTYPE type) {
    ASSERT_EQ(original.cDims, copy.cDims);
    ASSERT_EQ(original.cbElements, copy.cbElements);
    for (USHORT d = 0; d < original.cDims; ++d) {
        EXPECT_EQ(original.rgsabound[d].cElements, copy.rgsabound[d].cElements);
        EXPECT_EQ(original.rgsabound[d].lLbound, copy.rgsabound[d].lLbound);
    }
    const ULONGLONG count = ql::ElementCount(original);
    const auto* a = static_cast<const BYTE*>(original.pvData);
    const auto* b = static_cast<const BYTE*>(copy.pvData);
    for (ULONGLONG i = 0; i < count; ++i) {
        const BYTE* x = a + i * original.cbElements;
        const BYTE* y = b + i * original.cbElements;
        if (type == VT_BSTR) {
            EXPECT_STREQ(*reinterpret_cast<const BSTR*>(x), *reinterpret_cast<const BSTR*>(y));
            EXPECT_NE(*reinterpret_cast<const BSTR*>(x), *reinterpret_cast<const BSTR*>(y))
                << "not a deep copy";
        } else if (type == VT_VARIANT) {
            EXPECT_EQ(vtest::Describe(*reinterpret_cast<const VARIANT*>(x)),
                      vtest::Describe(*reinterpret_cast<const VARIANT*>(y)));
        } else {
            EXPECT_EQ(0, std::memcmp(x, y, original.cbElements));
        }
    }
}

// The array that `copy` holds where `form` put the original: the copy of a reference is the value referred
// to; the copy of a vector holds the array as its (nested) first element.
const VARIANT& CopiedArray(const VARIANT& copy, ArrayForm form) {
    const VARIANT* value = &copy;
    const int depth = form == ArrayForm::kVectorElement ? 1 : form == ArrayForm::kNestedVectorElement ? 2 : 0;
    for (int level = 0; level < depth; ++level) value = static_cast<const VARIANT*>(V_ARRAY(value)->pvData);
    return *value;
}

TEST(ArrayCheckTest, EveryArrayThePlatformMakesHoldsItsTypeAndCopiesInEveryForm) {
    for (const auto& arrayType : kArrayTypes) {
        EXPECT_EQ(arrayType.width, ql::ElementWidth(arrayType.type)) << arrayType.type;
        for (const Maker& maker : Makers()) {
            for (const ArrayForm form : vtest::kArrayForms) {
                SCOPED_TRACE(testing::Message() << "type " << arrayType.type << ", " << maker.name << ", "
                                                << vtest::FormName(form));
                ql::Variant value;
                value.AttachArray(arrayType.type, maker.make(arrayType.type));
                ASSERT_NE(nullptr, V_ARRAY(value.Get()));
                const SAFEARRAY& original = *V_ARRAY(value.Get());
                EXPECT_TRUE(ql::HoldsElementsOf(original, arrayType.type));
                const FormedArray formed(std::move(value), form);
                ql::Variant copy;
                ASSERT_HR(S_OK, copy.CopyFrom(*formed));
                const VARIANT& copied = CopiedArray(*copy, form);
                ASSERT_EQ(VT_ARRAY | arrayType.type, V_VT(&copied));
                ExpectSameArray(original, *V_ARRAY(&copied), arrayType.type);
            }
        }
    }
}

// Descriptors that do not agree with themselves, each with the claim that its own fields would suggest.
TEST(ArrayCheckTest, ADescriptorThatDoesNotAgreeWithItselfHoldsNothing) {
    const auto descriptor = [](VARTYPE type, ULONG count, void (*change)(SAFEARRAY&)) {
        ql::SafeArray array;
        EXPECT_EQ(S_OK, ::SafeArrayAllocDescriptorEx(type, 1, array.Put()));
        array.Get()->rgsabound[0] = {count, 0};
        EXPECT_EQ(S_OK, ::SafeArrayAllocData(array.Get()));
        change(*array.Get());
        return array;
    };
    static BYTE spare[64];
    const struct {
        const char* name;
        VARTYPE claimed;
        ql::SafeArray array;
        bool holds;
    } cases[] = {
        {"whole", VT_I4, descriptor(VT_I4, 2, [](SAFEARRAY&) {}), true},
        {"no dimension", VT_I4, descriptor(VT_I4, 2, [](SAFEARRAY& a) { a.cDims = 0; }), false},
        {"counted without data", VT_I4,
         descriptor(VT_I4, 2, [](SAFEARRAY& a) { ::SafeArrayDestroyData(&a); }), false},
        {"no data for no elements", VT_I4,
         descriptor(VT_I4, 0, [](SAFEARRAY& a) { ::SafeArrayDestroyData(&a); }), true},
        {"narrower than the type", VT_I4, descriptor(VT_I4, 2, [](SAFEARRAY& a) { a.cbElements = 2; }),
         false},
        {"wider than the type", VT_I2, descriptor(VT_I2, 2, [](SAFEARRAY& a) { a.cbElements = 4; }), false},
        {"owned texts one byte wide", VT_BSTR,
         descriptor(VT_UI1, 2,
                    [](SAFEARRAY& a) {
                        ::SafeArrayDestroyData(&a);
                        a.fFeatures = FADF_BSTR | FADF_STATIC;
                        a.pvData = spare;
                    }),
         false},
        {"owned VARIANTs one byte wide", VT_VARIANT,
         descriptor(VT_UI1, 2,
                    [](SAFEARRAY& a) {
                        ::SafeArrayDestroyData(&a);
                        a.fFeatures = FADF_VARIANT | FADF_STATIC;
                        a.pvData = spare;
                    }),
         false},
        {"a type of no fixed width", VT_RECORD, descriptor(VT_UI1, 2, [](SAFEARRAY&) {}), false},
        {"no type", VT_EMPTY, descriptor(VT_UI1, 2, [](SAFEARRAY&) {}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.holds, ql::HoldsElementsOf(*c.array.Get(), c.claimed));
    }
}

// The copy asks the check of every array the platform would copy, before it copies: the value that
// misclaims is refused, the copy keeps what it held, and the heap stays whole.
TEST(ArrayCheckTest, ACopyRefusesAHostileArrayInEveryFormBeforeThePlatformCopiesIt) {
    const ql::Bstr text(L"lent");
    for (const VARTYPE claimed : {VT_UI1, VT_VARIANT}) {
        const size_t shapes = vtest::HostileArrays(claimed, {text.Get()}, 1).size();
        for (size_t shape = 0; shape < shapes; ++shape) {
            for (const ArrayForm form : vtest::kArrayForms) {
                vtest::NamedValue hostile = std::move(vtest::HostileArrays(claimed, {text.Get()}, 20)[shape]);
                SCOPED_TRACE(testing::Message() << "claimed " << claimed << ", " << hostile.name << ", "
                                                << vtest::FormName(form));
                const FormedArray formed(std::move(hostile.value), form);
                ql::Variant copy = vtest::MakeBstr(L"kept");
                EXPECT_HR(E_INVALIDARG, copy.CopyFrom(*formed));
                EXPECT_EQ("bstr:'kept'", vtest::Describe(*copy));
                EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
            }
        }
    }
    EXPECT_STREQ(L"lent", text.Get());
}

// Four elements that end where a guard page begins: a read or write past them touches the page, which the
// handler notes and lets through (the system lifts the guard on the first touch); Arm sets it again.
class GuardedElements {
public:
    static constexpr size_t kPage = 4096;

    GuardedElements()
        : pages_(static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT, PAGE_READWRITE))) {
        handler_ = ::AddVectoredExceptionHandler(1, &GuardedElements::OnException);
    }
    GuardedElements(const GuardedElements&) = delete;
    GuardedElements& operator=(const GuardedElements&) = delete;
    ~GuardedElements() {
        ::RemoveVectoredExceptionHandler(handler_);
        ::VirtualFree(pages_, 0, MEM_RELEASE);
    }

    // Zeros of `bytes` that end at the guard page, the guard set and no touch counted.
    void* Arm(size_t bytes) {
        DWORD old = 0;
        EXPECT_TRUE(::VirtualProtect(pages_ + kPage, kPage, PAGE_READWRITE, &old));
        std::memset(pages_, 0, 2 * kPage);
        EXPECT_TRUE(::VirtualProtect(pages_ + kPage, kPage, PAGE_READWRITE | PAGE_GUARD, &old));
        guard_ = pages_ + kPage;
        touched_ = false;
        return pages_ + kPage - bytes;
    }
    bool Touched() const { return touched_; }

private:
    static LONG CALLBACK OnException(EXCEPTION_POINTERS* exception) {
        const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
        if (record.ExceptionCode != STATUS_GUARD_PAGE_VIOLATION || record.NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        const auto* address = reinterpret_cast<const BYTE*>(record.ExceptionInformation[1]);
        if (address < guard_ || address >= guard_ + kPage) return EXCEPTION_CONTINUE_SEARCH;
        touched_ = true;
        return EXCEPTION_CONTINUE_EXECUTION;
    }

    BYTE* pages_;
    void* handler_ = nullptr;
    static inline const BYTE* guard_ = nullptr;
    static inline volatile bool touched_ = false;
};

// An owning feature and the element type the platform takes it for.
struct OwningFeature {
    USHORT feature;
    VARTYPE type;
};
// The platform's own orders of the owning features: SafeArrayCopy copies the elements as the first it finds
// of the one, SafeArrayDestroyData frees them as the first of the other.
constexpr OwningFeature kCopyOrder[] = {{FADF_VARIANT, VT_VARIANT},
                                        {FADF_BSTR, VT_BSTR},
                                        {FADF_RECORD, VT_RECORD},
                                        {FADF_UNKNOWN, VT_UNKNOWN},
                                        {FADF_DISPATCH, VT_DISPATCH}};
constexpr OwningFeature kFreeOrder[] = {{FADF_UNKNOWN, VT_UNKNOWN},
                                        {FADF_DISPATCH, VT_DISPATCH},
                                        {FADF_RECORD, VT_RECORD},
                                        {FADF_BSTR, VT_BSTR},
                                        {FADF_VARIANT, VT_VARIANT}};

// The element type the platform takes an array with `features` for, by `order`; VT_EMPTY for plain bits.
VARTYPE TakenAs(USHORT features, const OwningFeature (&order)[5]) {
    for (const OwningFeature& owning : order) {
        if (features & owning.feature) return owning.type;
    }
    return VT_EMPTY;
}
// `type` where the platform owns elements of it, VT_EMPTY for plain values.
VARTYPE OwnedAs(VARTYPE type) {
    for (const OwningFeature& owning : kCopyOrder) {
        if (owning.type == type) return type;
    }
    return VT_EMPTY;
}

// Every combination of the features a descriptor may carry, over four zeros of every type a VARIANT carries,
// recorded as that type where a feature says a record precedes the descriptor. Where the platform would take
// the elements as another type than the claim, the check refuses them; where the check passes them, the
// platform's copy and its clearing stay inside the four elements and the heap stays whole.
TEST(ArrayCheckTest, EveryPassedCombinationOfFeaturesIsCopiedAndFreedAsItsClaim) {
    constexpr USHORT kFeatures[] = {FADF_AUTO,    FADF_STATIC,   FADF_EMBEDDED,    FADF_FIXEDSIZE,
                                    FADF_RECORD,  FADF_HAVEIID,  FADF_HAVEVARTYPE, FADF_BSTR,
                                    FADF_UNKNOWN, FADF_DISPATCH, FADF_VARIANT};
    constexpr ULONG kCount = 4;
    GuardedElements guarded;
    int passed = 0;
    for (const auto& arrayType : kArrayTypes) {
        for (unsigned combination = 0; combination < (1u << std::size(kFeatures)); ++combination) {
            USHORT features = 0;
            for (size_t bit = 0; bit < std::size(kFeatures); ++bit)
                if (combination & (1u << bit)) features |= kFeatures[bit];
            SCOPED_TRACE(testing::Message()
                         << "type " << arrayType.type << ", features 0x" << std::hex << features);
            // The descriptor behind the 16 bytes that a record of its type, interface or record type takes.
            struct {
                alignas(16) GUID interfaceId;
                SAFEARRAY array;
            } described{};
            described.interfaceId = (features & FADF_DISPATCH) ? IID_IDispatch : IID_IUnknown;
            if (features & FADF_HAVEVARTYPE) reinterpret_cast<DWORD*>(&described.array)[-1] = arrayType.type;
            SAFEARRAY& array = described.array;
            array.cDims = 1;
            array.fFeatures = features;
            array.cbElements = static_cast<ULONG>(arrayType.width);
            array.pvData = guarded.Arm(kCount * arrayType.width);
            array.rgsabound[0] = {kCount, 0};
            const SAFEARRAY before = array;

            const bool holds = ql::HoldsElementsOf(array, arrayType.type);
            const VARTYPE owned = OwnedAs(arrayType.type);
            if (TakenAs(features, kCopyOrder) != owned || TakenAs(features, kFreeOrder) != owned) {
                EXPECT_FALSE(holds) << "the platform takes these elements as another type";
                continue;
            }
            if (!holds) continue;
            ++passed;
            VARIANT value;
            V_VT(&value) = static_cast<VARTYPE>(VT_ARRAY | arrayType.type);
            V_ARRAY(&value) = &array;
            ql::Variant copy;
            EXPECT_HR(S_OK, ::VariantCopy(copy.Put(), &value));
            copy.Reset();
            EXPECT_FALSE(guarded.Touched()) << "the platform went past the elements";
            EXPECT_EQ(0, std::memcmp(&before, &array, sizeof array));
            EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
        }
    }
    EXPECT_GT(passed, 0);
}

}  // namespace
