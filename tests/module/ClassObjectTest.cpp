// The loaded DLL hands out class objects and tells when it may be unloaded.
#include <gtest/gtest.h>

#include "classlib/ComApartment.h"
#include "classlib/ComPtr.h"
#include "tests/module/ServerClasses.h"
#include "tests/module/ServerModule.h"

namespace {

using moduletest::kServerClasses;
using moduletest::ServerClass;

// {774F73EA-A755-40CD-911E-36B21705A67A}: a class id no module serves.
constexpr CLSID kClsidNowhere = {
    0x774f73ea, 0xa755, 0x40cd, {0x91, 0x1e, 0x36, 0xb2, 0x17, 0x05, 0xa6, 0x7a}};

// An outer object that counts its references and hands IDispatch queries to the object it aggregates.
class AggregatingOuter final : public IUnknown {
public:
    ULONG refs = 1;
    ql::ComPtr<IUnknown> inner;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            AddRef();
            *out = static_cast<IUnknown*>(this);
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

class ClassObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.Status()));
        ASSERT_TRUE(server_.Loaded()) << "cannot load the server DLL";
    }
    ql::ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ql::ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, server_.getClassObject(clsid, IID_IClassFactory, factory.PutVoid()));
        return factory;
    }

    ql::ComApartment apartment_;
    moduletest::ServerModule server_;
};

TEST_F(ClassObjectTest, OneClassObjectPerClass) {
    ql::ComPtr<IClassFactory> first = Factory(CLSID_DtmObject);
    ql::ComPtr<IClassFactory> second = Factory(CLSID_DtmObject);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    ql::ComPtr<IClassFactory> other = Factory(CLSID_Trend);
    EXPECT_NE(first.Get(), other.Get());
}

TEST_F(ClassObjectTest, UnknownClassAndMissingOutPointerAreRefused) {
    void* out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, server_.getClassObject(kClsidNowhere, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, server_.getClassObject(CLSID_DtmObject, IID_IClassFactory, nullptr));
}

TEST_F(ClassObjectTest, EveryClassHasAClassObjectThatKeepsTheAggregationRule) {
    AggregatingOuter outer;
    for (const ServerClass& c : kServerClasses) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(c.name)));
        ql::ComPtr<IClassFactory> factory = Factory(c.clsid);
        ASSERT_TRUE(factory);
        void* out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(1u, outer.refs);
}

TEST_F(ClassObjectTest, ServerLockAndHeldFactoryKeepTheModule) {
    EXPECT_EQ(S_OK, server_.canUnloadNow());
    ql::ComPtr<IClassFactory> factory = Factory(CLSID_DtmObject);
    EXPECT_EQ(S_FALSE, server_.canUnloadNow()) << "a caller holds the factory";
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, server_.canUnloadNow()) << "server lock";
    factory = Factory(CLSID_DtmObject);
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, server_.canUnloadNow());
}

TEST_F(ClassObjectTest, LivingDtmObjectKeepsTheModule) {
    ql::ComPtr<IClassFactory> factory = Factory(CLSID_DtmObject);
    ql::ComPtr<IUnknown> dtm;
    const HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown, dtm.PutVoid());
    factory.Reset();
    if (hr == E_NOTIMPL) GTEST_SKIP() << "DtmObject is not implemented yet";
    ASSERT_EQ(S_OK, hr);
    EXPECT_EQ(S_FALSE, server_.canUnloadNow());
    dtm.Reset();
    EXPECT_EQ(S_OK, server_.canUnloadNow());
}

TEST_F(ClassObjectTest, AggregatedDtmObjectAnswersThroughItsOuterObject) {
    AggregatingOuter outer;
    ql::ComPtr<IClassFactory> factory = Factory(CLSID_DtmObject);
    const HRESULT hr = factory->CreateInstance(&outer, IID_IUnknown, outer.inner.PutVoid());
    factory.Reset();
    if (hr == E_NOTIMPL) GTEST_SKIP() << "DtmObject is not implemented yet";
    ASSERT_EQ(S_OK, hr);
    ql::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(static_cast<IUnknown*>(&outer), dispatch));
    EXPECT_EQ(2u, outer.refs) << "the inner's interface counts on the outer object";
    ql::ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, ql::QueryInterfaceTo(dispatch.Get(), identity));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
    identity.Reset();
    dispatch.Reset();
    outer.inner.Reset();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(S_OK, server_.canUnloadNow());
}

}  // namespace
