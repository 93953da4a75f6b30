// What a given value holds, through references and into arrays: a half character and a caller's object
// are found wherever they stand, and a value that cannot be read through counts as neither whole nor free
// of objects.
#include <utility>
#include <vector>

#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"
#include "values/VariantParts.h"

namespace {

using namespace vtest;

ql::Variant HalfText() {
    ql::Variant text;
    text.AttachBstr(::SysAllocStringByteLen("7", 1));
    return text;
}

TEST(VariantPartsTest, FindsHalfCharactersAndObjectsWhereverTheyStand) {
    ql::Variant half = HalfText();
    ql::Variant whole = MakeBstr(L"7");
    BSTR halfHandle = half->bstrVal;
    DefaultValueObject object(7);
    ql::Variant objectValue;
    objectValue.SetDispatch(&object);
    SelfReference selfReference;
    const struct {
        const char* name;
        ql::Variant value;
        bool whole;
        bool holdsObject;
    } cases[] = {
        {"number", MakeI4(7), true, false},
        {"text", MakeBstr(L"7"), true, false},
        {"half a character", HalfText(), false, false},
        {"reference to a half character", MakeReference(VT_BSTR, &halfHandle), false, false},
        {"reference to a VARIANT holding one", MakeReference(VT_VARIANT, half.Get()), false, false},
        {"reference to a whole text", MakeReference(VT_VARIANT, whole.Get()), true, false},
        {"VARIANTs with a reference to one", MakeVariantArray(MakeReference(VT_VARIANT, half.Get())), false,
         false},
        {"nested VARIANTs with one", MakeVariantArray(MakeVariantArray(HalfText())), false, false},
        {"object", MakeReference(VT_VARIANT, objectValue.Get()), true, true},
        {"VARIANTs with an object",
         MakeVariantArray(MakeReference(VT_DISPATCH, &objectValue.Get()->pdispVal)), true, true},
        {"null reference", MakeReference(VT_I4, nullptr), false, true},
        {"reference to itself", MakeReference(VT_VARIANT, &selfReference.value), false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.whole, IsWholeValue(*c.value));
        EXPECT_EQ(c.holdsObject, HoldsObject(*c.value));
    }
}

TEST(VariantPartsTest, AValueWhoseTypeMisclaimsItsDataIsNotReadThrough) {
    for (const NamedValue& misclaimed : MisclaimedValues()) {
        SCOPED_TRACE(misclaimed.name);
        EXPECT_FALSE(IsWholeValue(*misclaimed.value));
        EXPECT_TRUE(HoldsObject(*misclaimed.value));
    }
}

// A value is read through exactly as deep as it is copied: arrays in arrays and references to references,
// each nesting one level, and any mixture of them.
TEST(VariantPartsTest, ReadsThroughAsDeepAsACopyGoes) {
    using Wrap = ql::Variant (*)(ql::Variant inner, std::vector<ql::Variant> & keep);
    const struct {
        const char* name;
        Wrap wrap;
    } nestings[] = {
        {"arrays",
         [](ql::Variant inner, std::vector<ql::Variant>&) { return MakeVariantArray(std::move(inner)); }},
        {"references",
         [](ql::Variant inner, std::vector<ql::Variant>& keep) {
             keep.push_back(std::move(inner));
             return MakeReference(VT_VARIANT, keep.back().Get());
         }},
        {"an array of a reference",
         [](ql::Variant inner, std::vector<ql::Variant>& keep) {
             keep.push_back(std::move(inner));
             return MakeVariantArray(MakeReference(VT_VARIANT, keep.back().Get()));
         }},
    };
    for (const auto& nesting : nestings) {
        for (int levels = 1; levels <= ql::Variant::kMaxNesting + 2; ++levels) {
            SCOPED_TRACE(testing::Message() << levels << " nested " << nesting.name);
            std::vector<ql::Variant> keep;
            keep.reserve(levels + 1);  // the references point into it
            ql::Variant value = MakeBstr(L"7");
            for (int level = 0; level < levels; ++level) value = nesting.wrap(std::move(value), keep);
            ql::Variant copy;
            const bool copied = SUCCEEDED(copy.CopyFrom(*value));
            EXPECT_EQ(copied, IsWholeValue(*value));
            EXPECT_EQ(!copied, HoldsObject(*value));
            if (levels <= ql::Variant::kMaxNesting / 2) {
                EXPECT_TRUE(copied) << "a value nested as deep as any caller nests it";
            }
        }
    }
}

// An array of texts is read element by element.
TEST(VariantPartsTest, ReadsEveryTextOfAnArray) {
    ql::Variant texts = MakeArray<const wchar_t*>(VT_BSTR, {L"7", L"8"});
    EXPECT_TRUE(IsWholeValue(*texts));
    ql::SafeArrayData<BSTR> elements(texts->parray);
    ASSERT_EQ(S_OK, elements.Status());
    ::SysFreeString(elements[1]);
    elements[1] = ::SysAllocStringByteLen("8", 1);
    EXPECT_FALSE(IsWholeValue(*texts));
}

}  // namespace
