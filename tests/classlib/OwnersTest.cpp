// The resource owners must never leak, double-free or hand out a stale value.
#include <gtest/gtest.h>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "tests/support/TestObjects.h"

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

}  // namespace
