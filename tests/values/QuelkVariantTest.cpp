// CQuelkVariant owns its value and cannot be copied by accident.
#include <gtest/gtest.h>

#include <type_traits>

#include "tests/support/TestObjects.h"
#include "values/QuelkVariant.h"

namespace {

static_assert(!std::is_copy_constructible_v<CQuelkVariant>, "a copy would free the owned value twice");
static_assert(!std::is_copy_assignable_v<CQuelkVariant>, "an assignment would free the owned value twice");
static_assert(std::is_convertible_v<const CQuelkVariant&, const VARIANT&>,
              "goes wherever a VARIANT is expected");

TEST(QuelkVariantTest, ReleasesWhatItHoldsWhenItGoes) {
    vtest::CountedObject<IUnknown> object;
    {
        CQuelkVariant holder;
        V_VT(holder.Get()) = VT_UNKNOWN;
        holder.Get()->punkVal = &object;
        object.AddRef();
        // A platform call takes the wrapper's VARIANT and converts it in place.
        EXPECT_EQ(DISP_E_TYPEMISMATCH, ::VariantChangeType(holder.Get(), holder.Get(), 0, VT_I4));
    }
    EXPECT_EQ(1u, object.refs);
}

// The two numbers keep their own type: an unsigned id above LONG's range stays VT_UI4, -1 stays VT_I4.
TEST(QuelkVariantTest, KeepsTheTypeOfTheNumberItIsBuiltFrom) {
    const CQuelkVariant empty, large(0xFFFFFFF0ul), negative(-1L);
    const VARIANT& passed = large;
    EXPECT_EQ(VT_EMPTY, empty.Type());
    EXPECT_EQ(VT_UI4, V_VT(&passed));
    EXPECT_EQ(0xFFFFFFF0ul, V_UI4(&passed));
    EXPECT_EQ(VT_I4, negative.Type());
    EXPECT_EQ(-1, V_I4(negative.Get()));
}

}  // namespace
