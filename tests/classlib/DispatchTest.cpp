// IDispatch of a dual interface, answered through the module's own type library (TYPELIB 1 of the program).
#include <gtest/gtest.h>

#include "ClasslibTestTypes.h"
#include "classlib/Bstr.h"
#include "classlib/ComApartment.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/Variant.h"

namespace {

class CCalculator : public ql::ComObjectBase<CCalculator>, public ql::DispatchImpl<ITestCalculator> {
    QL_INTERFACE_TABLE(CCalculator, QL_ENTRY(ITestCalculator), QL_ENTRY_IID(IID_IDispatch, ITestCalculator))
public:
    HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) noexcept override {
        QL_RETURN_IF_NULL_OUT(sum);
        *sum = a + b;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) noexcept override {
        QL_RETURN_IF_NULL_OUT(name);
        *name = nullptr;
        return ql::Bstr(L"calculator").CopyTo(name);
    }
};

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.Status()));
        ASSERT_EQ(S_OK, ql::CreateInstance<CCalculator>(nullptr, IID_IDispatch, dispatch_.PutVoid()));
    }
    DISPID IdOf(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    }

    ql::ComApartment apartment_;
    ql::ComPtr<IDispatch> dispatch_;
};

TEST_F(DispatchTest, NamesAndCallsGoThroughTheTypeLibrary) {
    EXPECT_EQ(1, IdOf(L"Add"));
    EXPECT_EQ(2, IdOf(L"Name"));

    // Arguments travel in reverse order; the VT_I2 is converted to the declared LONG.
    ql::Variant args[2];
    args[0].SetI4(40);
    args[1].SetI2(2);
    VARIANTARG raw[2] = {*args[0].Get(), *args[1].Get()};
    DISPPARAMS params = {raw, nullptr, 2, 0};
    ql::Variant result;
    ASSERT_EQ(S_OK, dispatch_->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                      result.Put(), nullptr, nullptr));
    EXPECT_EQ(VT_I4, result.Type());
    EXPECT_EQ(42, result->lVal);

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ASSERT_EQ(S_OK, dispatch_->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                      result.Put(), nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, result.Type());
    EXPECT_STREQ(L"calculator", result->bstrVal);
}

TEST_F(DispatchTest, RefusesWhatTheInterfaceDoesNotDescribe) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Multiply")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(DISPID_UNKNOWN, id);

    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    ql::Variant result;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, dispatch_->Invoke(99, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                       &none, result.Put(), nullptr, nullptr));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              dispatch_->Invoke(1, IID_IUnknown, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, result.Put(),
                                nullptr, nullptr));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, dispatch_->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                      &none, result.Put(), nullptr, nullptr));
}

TEST_F(DispatchTest, DescribesItselfWithOneTypeInfo) {
    UINT count = 0;
    EXPECT_EQ(S_OK, dispatch_->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ql::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(IID_ITestCalculator, attr->guid));
    info->ReleaseTypeAttr(attr);
    ITypeInfo* none = reinterpret_cast<ITypeInfo*>(static_cast<UINT_PTR>(1));
    EXPECT_EQ(DISP_E_BADINDEX, dispatch_->GetTypeInfo(1, LOCALE_USER_DEFAULT, &none));
    EXPECT_EQ(nullptr, none);
}

}  // namespace
