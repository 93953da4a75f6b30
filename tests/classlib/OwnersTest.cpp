// The resource owners must never leak, double-free or hand out a stale value.
#include <gtest/gtest.h>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

namespace {

// Counts its references so tests can prove that owners balance AddRef and Release.
class CountingUnknown final : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown) return E_NOINTERFACE;
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

TEST(ComPtrTest, CopyMoveAndResetBalanceReferences) {
    CountingUnknown object;
    {
        ql::ComPtr<IUnknown> a(&object);
        EXPECT_EQ(2u, object.refs);
        ql::ComPtr<IUnknown> b = a;
        EXPECT_EQ(3u, object.refs);
        ql::ComPtr<IUnknown> c = std::move(b);
        EXPECT_EQ(3u, object.refs);
        EXPECT_FALSE(b);
        a = c;  // same object assigned again: count unchanged
        EXPECT_EQ(3u, object.refs);
        c.Reset();
        EXPECT_EQ(2u, object.refs);
    }
    EXPECT_EQ(1u, object.refs);
}

TEST(ComPtrTest, PutReleasesTheOldReferenceAndDetachGivesItUp) {
    CountingUnknown first, second;
    ql::ComPtr<IUnknown> p(&first);
    IUnknown** slot = p.Put();
    EXPECT_EQ(1u, first.refs);
    *slot = &second;  // an out-parameter hands over a reference it already counted
    second.AddRef();
    IUnknown* raw = p.Detach();
    EXPECT_EQ(&second, raw);
    EXPECT_EQ(2u, second.refs);
    raw->Release();

    IUnknown* out = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(S_OK, ql::ComPtr<IUnknown>().CopyTo(&out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, ql::ComPtr<IUnknown>().CopyTo(nullptr));
}

TEST(ComPtrTest, IsSameObjectComparesIdentity) {
    CountingUnknown a, b;
    EXPECT_TRUE(ql::IsSameObject(&a, &a));
    EXPECT_FALSE(ql::IsSameObject(&a, &b));
    EXPECT_FALSE(ql::IsSameObject(&a, nullptr));
    EXPECT_EQ(1u, a.refs);
    EXPECT_EQ(1u, b.refs);
}

TEST(BstrTest, KeepsEmbeddedNulsAndCopiesDeeply) {
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
}

TEST(BstrTest, NullReadsAsEmptyAndMovesLeaveTheSourceNull) {
    ql::Bstr none;
    EXPECT_TRUE(none.IsNull());
    EXPECT_STREQ(L"", none.CStr());
    EXPECT_EQ(0u, none.Length());
    ql::Bstr text(L"hello");
    ql::Bstr moved(std::move(text));
    EXPECT_TRUE(text.IsNull());
    EXPECT_EQ(L"hello", moved.View());
    ASSERT_EQ(S_OK, moved.Append(L" world"));
    EXPECT_EQ(L"hello world", moved.View());
    static_assert(!std::is_copy_constructible_v<ql::Bstr>, "a BSTR owner must not copy by accident");
}

TEST(VariantTest, SettersClearTheOldValueAndCopiesAreDeep) {
    ql::Variant v;
    EXPECT_EQ(VT_EMPTY, v.Type());
    ASSERT_EQ(S_OK, v.SetBstr(L"text"));
    v.SetI4(-5);  // frees the BSTR
    EXPECT_EQ(VT_I4, v.Type());
    EXPECT_EQ(-5, v->lVal);

    ASSERT_EQ(S_OK, v.SetBstr(L"deep"));
    ql::Variant copy;
    ASSERT_EQ(S_OK, copy.CopyFrom(*v));
    EXPECT_NE(v->bstrVal, copy->bstrVal);
    EXPECT_STREQ(L"deep", copy->bstrVal);

    VARIANT raw;
    ASSERT_EQ(S_OK, copy.Detach(&raw));
    EXPECT_EQ(VT_EMPTY, copy.Type());
    ql::Variant back;
    back.Attach(raw);
    EXPECT_EQ(VT_EMPTY, raw.vt);
    EXPECT_STREQ(L"deep", back->bstrVal);
    static_assert(!std::is_copy_constructible_v<ql::Variant>, "a VARIANT owner must not copy by accident");
}

TEST(VariantTest, UnknownValuesHoldTheirOwnReference) {
    CountingUnknown object;
    {
        ql::Variant v;
        v.SetUnknown(&object);
        EXPECT_EQ(2u, object.refs);
    }
    EXPECT_EQ(1u, object.refs);
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
        data[0] = 0x0A;
        data[2] = 0xFF;
        // While locked the array cannot be destroyed: the lock must end with its scope.
        EXPECT_EQ(DISP_E_ARRAYISLOCKED, ::SafeArrayDestroy(array.Get()));
    }
    ql::SafeArray copy;
    ASSERT_EQ(S_OK, copy.CopyFrom(array.Get()));
    ql::SafeArrayData<BYTE> copied(copy.Get());
    ASSERT_EQ(S_OK, copied.Status());
    EXPECT_EQ(0x0A, copied[0]);
    EXPECT_EQ(0xFF, copied[2]);
    EXPECT_EQ(E_POINTER, ql::SafeArrayData<BYTE>(nullptr).Status());
    EXPECT_EQ(0u, ql::SafeArray().Count());
}

}  // namespace
