// CQuelkVariant owns its value and cannot be copied by accident.
#include <type_traits>

#include "ValueTestSupport.h"
#include "values/QuelkVariant.h"

namespace {

static_assert(!std::is_copy_constructible_v<CQuelkVariant>, "a copy would free the owned value twice");
static_assert(!std::is_copy_assignable_v<CQuelkVariant>, "an assignment would free the owned value twice");
static_assert(std::is_convertible_v<CQuelkVariant*, VARIANT*>, "goes wherever a VARIANT* is expected");

class CountingUnknown final : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        return *out = nullptr, E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(QuelkVariantTest, ConstructorsSetTypeAndValue) {
    const CQuelkVariant empty;
    EXPECT_EQ(VT_EMPTY, empty.vt);
    const CQuelkVariant unsignedValue(0x80000000ul);
    EXPECT_EQ(VT_UI4, unsignedValue.vt);
    EXPECT_EQ(0x80000000ul, unsignedValue.ulVal);
    const CQuelkVariant signedValue(-1l);
    EXPECT_EQ(VT_I4, signedValue.vt);
    EXPECT_EQ(-1, signedValue.lVal);
}

TEST(QuelkVariantTest, ReleasesWhatItHoldsWhenItGoes) {
    CountingUnknown object;
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
