// CQuelkVariant owns its value and cannot be copied by accident.
#include <gtest/gtest.h>

#include <type_traits>

#include "tests/support/TestObjects.h"
#include "values/QuelkVariant.h"

namespace {

static_assert(!std::is_copy_constructible_v<CQuelkVariant>, "a copy would free the owned value twice");
static_assert(!std::is_copy_assignable_v<CQuelkVariant>, "an assignment would free the owned value twice");
static_assert(std::is_convertible_v<CQuelkVariant*, VARIANT*>, "goes wherever a VARIANT* is expected");

TEST(QuelkVariantTest, ReleasesWhatItHoldsWhenItGoes) {
    vtest::CountedObject<IUnknown> object;
    {
        CQuelkVariant holder;
        V_VT(&holder) = VT_UNKNOWN;
        holder.punkVal = &object;
        object.AddRef();
        // A platform call takes the wrapper as its VARIANT and converts it in place.
        EXPECT_EQ(DISP_E_TYPEMISMATCH, ::VariantChangeType(&holder, &holder, 0, VT_I4));
    }
    EXPECT_EQ(1u, object.refs);
}

}  // namespace
