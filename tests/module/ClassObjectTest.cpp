// The loaded DLL hands out class objects and tells when it may be unloaded.
#include <gtest/gtest.h>

#include "classlib/ComPtr.h"
#include "tests/module/ServerClasses.h"
#include "tests/module/ServerModule.h"
#include "tests/support/ComTest.h"

namespace {

using moduletest::kServerClasses;

// {774F73EA-A755-40CD-911E-36B21705A67A}: a class id no module serves.
constexpr CLSID kClsidNowhere = {
    0x774f73ea, 0xa755, 0x40cd, {0x91, 0x1e, 0x36, 0xb2, 0x17, 0x05, 0xa6, 0x7a}};

// An outer object that counts its references and hands every other query to the object it aggregates.
class AggregatingOuter final : public IUnknown {
public:
    ULONG refs = 1;
    ql::ComPtr<IUnknown> inner;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown)) return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
        AddRef();
        *out = static_cast<IUnknown*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

class ClassObjectTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_TRUE(server_.Loaded()) << "cannot load the server DLL";
    }
    ql::ComPtr<IClassFactory> Factory(REFCLSID clsid) {
        ql::ComPtr<IClassFactory> factory;
        EXPECT_HR(S_OK, server_.getClassObject(clsid, IID_IClassFactory, factory.PutVoid()));
        return factory;
    }

    moduletest::ServerModule server_;
};

TEST_F(ClassObjectTest, OneClassObjectPerClassAndNoneForAnUnknownClass) {
    ql::ComPtr<IClassFactory> first = Factory(CLSID_DtmObject);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), Factory(CLSID_DtmObject).Get());
    EXPECT_NE(first.Get(), Factory(CLSID_Trend).Get());
    void* out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, server_.getClassObject(kClsidNowhere, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_HR(E_POINTER, server_.getClassObject(CLSID_DtmObject, IID_IClassFactory, nullptr));
}

TEST_F(ClassObjectTest, EveryClassHasAClassObjectThatKeepsTheAggregationRule) {
    AggregatingOuter outer;
    for (const auto& c : kServerClasses) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        ql::ComPtr<IClassFactory> factory = Factory(c.clsid);
        ASSERT_TRUE(factory);
        void* out = reinterpret_cast<void*>(static_cast<UINT_PTR>(1));
        EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &out));
        EXPECT_EQ(nullptr, out);
    }
    EXPECT_EQ(1u, outer.refs);
}

TEST_F(ClassObjectTest, ALockAHeldFactoryOrALivingObjectKeepsTheModule) {
    EXPECT_HR(S_OK, server_.canUnloadNow());
    ql::ComPtr<IClassFactory> factory = Factory(CLSID_DtmObject);
    EXPECT_HR(S_FALSE, server_.canUnloadNow()) << "a caller holds the factory";
    EXPECT_HR(S_OK, factory->LockServer(TRUE));
    ql::ComPtr<IUnknown> dtm;
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, dtm.PutVoid()));
    factory.Reset();
    EXPECT_HR(S_FALSE, server_.canUnloadNow()) << "server lock and object";
    EXPECT_HR(S_OK, Factory(CLSID_DtmObject)->LockServer(FALSE));
    EXPECT_HR(S_FALSE, server_.canUnloadNow()) << "object";
    dtm.Reset();
    EXPECT_HR(S_OK, server_.canUnloadNow());
}

}  // namespace
