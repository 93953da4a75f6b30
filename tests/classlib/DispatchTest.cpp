// IDispatch of a dual interface, answered through the module's own type library (TYPELIB 1 of the program).
#include <gtest/gtest.h>

#include "ClasslibTestTypes.h"
#include "classlib/Bstr.h"
#include "classlib/CoClassDispatch.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "classlib/Variant.h"
#include "tests/support/ComTest.h"
#include "tests/support/HostileArrays.h"
#include "tests/support/TestVariants.h"

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

class DispatchTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, ql::CreateInstance<CCalculator>(nullptr, IID_IDispatch, dispatch_.PutVoid()));
    }
    HRESULT Invoke(DISPID id, WORD flags, DISPPARAMS* params, const IID& iid = IID_NULL) {
        return dispatch_->Invoke(id, iid, LOCALE_USER_DEFAULT, flags, params, result_.Put(), nullptr,
                                 nullptr);
    }

    ql::ComPtr<IDispatch> dispatch_;
    ql::Variant result_;
    DISPPARAMS none_ = {nullptr, nullptr, 0, 0};
};

TEST_F(DispatchTest, NamesAndCallsGoThroughTheTypeLibrary) {
    const wchar_t* const names[] = {L"Add", L"Name", L"Multiply"};
    const DISPID ids[] = {1, 2, DISPID_UNKNOWN};
    for (int i = 0; i < 3; ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        DISPID id = 0;
        EXPECT_HR(i < 2 ? S_OK : DISP_E_UNKNOWNNAME,
                  dispatch_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_EQ(ids[i], id);
    }
    // Arguments travel in reverse order; the VT_I2 is converted to the declared LONG.
    ql::Variant args[2];
    args[0].SetI4(40);
    args[1].SetI2(2);
    VARIANTARG raw[2] = {*args[0].Get(), *args[1].Get()};
    DISPPARAMS params = {raw, nullptr, 2, 0};
    ASSERT_HR(S_OK, Invoke(1, DISPATCH_METHOD, &params));
    EXPECT_EQ("i4:42", vtest::Describe(*result_));
    ASSERT_HR(S_OK, Invoke(2, DISPATCH_PROPERTYGET, &none_));
    EXPECT_EQ("bstr:'calculator'", vtest::Describe(*result_));
}

// An object of a class with an interface of its own (as a control's private one) and its class's IDispatch.
class CClassObject : public ql::ComObjectBase<CClassObject>,
                     public ISupportErrorInfo,
                     public ql::CoClassDispatch {
    QL_INTERFACE_TABLE(CClassObject, QL_ENTRY(ISupportErrorInfo), QL_ENTRY_CHAIN(ql::CoClassDispatch))
public:
    explicit CClassObject(const CLSID& classId) noexcept : ql::CoClassDispatch(classId) {}
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) noexcept override { return S_FALSE; }
};

// The class's IDispatch stands for its default interface only where that interface's vtable is IDispatch's:
// one with methods of its own, or a class the library lacks, gets no IDispatch rather than a wrong one.
TEST_F(DispatchTest, AClassDispatchStandsOnlyForADefaultInterfaceWithoutMethods) {
    const struct {
        const char* name;
        const CLSID& classId;
        HRESULT expected;
    } cases[] = {
        {"no method", CLSID_TestPlain, S_OK},
        {"methods of its own", CLSID_TestCalculator, E_NOINTERFACE},
        {"not in the library", IID_ITestPlain, E_NOINTERFACE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<CClassObject> object;
        ASSERT_HR(S_OK, ql::MakeObject(object, c.classId));
        ql::ComPtr<IDispatch> dispatch, own;
        EXPECT_HR(c.expected, object->QueryInterface(IID_IDispatch, dispatch.PutVoid()));
        if (FAILED(c.expected)) continue;
        ASSERT_HR(S_OK, object->QueryInterface(IID_ITestPlain, own.PutVoid()));
        EXPECT_EQ(dispatch.Get(), own.Get());
        LPOLESTR name = const_cast<LPOLESTR>(L"Add");
        DISPID id = 0;
        EXPECT_HR(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_HR(DISP_E_MEMBERNOTFOUND, dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                          &none_, result_.Put(), nullptr, nullptr));
    }
}

// Both kinds of IDispatch judge a caller's arguments before the type information copies them: DISPPARAMS that
// count what they do not hold, and an array the platform may not copy, at its index in rgvarg, as it is or by
// reference. Sound arguments reach the type information as before.
TEST_F(DispatchTest, ArgumentsAreJudgedBeforeTheTypeInformationCopiesThem) {
    ql::ComPtr<CClassObject> object;
    ASSERT_HR(S_OK, ql::MakeObject(object, CLSID_TestPlain));
    ql::ComPtr<IDispatch> plain;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IDispatch, plain.PutVoid()));
    const struct {
        const char* name;
        IDispatch* target;
        HRESULT sound;
    } doors[] = {{"dual interface", dispatch_.Get(), S_OK}, {"class", plain.Get(), DISP_E_MEMBERNOTFOUND}};
    const ql::Bstr text(L"lent");
    const size_t shapes = vtest::HostileArrays(VT_UI1, {text.Get()}, 1).size();
    for (const auto& door : doors) {
        for (size_t shape = 0; shape < shapes; ++shape) {
            for (const vtest::ArrayForm form :
                 {vtest::ArrayForm::kDirect, vtest::ArrayForm::kVariantReference}) {
                vtest::NamedValue hostile = std::move(vtest::HostileArrays(VT_UI1, {text.Get()}, 20)[shape]);
                SCOPED_TRACE(testing::Message()
                             << door.name << ", " << hostile.name << ", " << vtest::FormName(form));
                const vtest::FormedArray formed(std::move(hostile.value), form);
                VARIANTARG raw[2] = {*vtest::MakeI4(40), *formed};
                DISPPARAMS params = {raw, nullptr, 2, 0};
                UINT argumentError = ~0u;
                EXPECT_HR(DISP_E_TYPEMISMATCH,
                          door.target->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                              result_.Put(), nullptr, &argumentError));
                EXPECT_EQ(1u, argumentError);
                EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
            }
        }
        SCOPED_TRACE(door.name);
        VARIANTARG sound[2] = {*vtest::MakeI4(40), *vtest::MakeI4(2)};
        DISPID named[2] = {0, 1};
        DISPPARAMS cases[] = {{nullptr, nullptr, 2, 0}, {sound, nullptr, 2, 1}, {sound, named, 1, 2}};
        for (DISPPARAMS& params : cases) {
            EXPECT_HR(E_INVALIDARG, door.target->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                        &params, result_.Put(), nullptr, nullptr));
        }
        EXPECT_HR(E_INVALIDARG, door.target->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                                    nullptr, result_.Put(), nullptr, nullptr));
        DISPPARAMS params = {sound, nullptr, 2, 0};
        EXPECT_HR(door.sound, door.target->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                  result_.Put(), nullptr, nullptr));
    }
    EXPECT_STREQ(L"lent", text.Get());
}

}  // namespace
