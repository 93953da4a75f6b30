// The module's classes as a container sees them: each class of the module's type library, created by its
// class id through COM, answers IDispatch with the [default] interface of its coclass (IProvideClassInfo
// names the same coclass where a class offers it), so a script sees the class's own interface and none of the
// DTM's private control interface. The classes are read from the library, so a class added to it is checked
// too.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/ModuleTypeLibrary.h"
#include "tests/module/ServerClasses.h"
#include "tests/module/ServerModule.h"
#include "tests/support/ClassInformation.h"
#include "tests/support/ComTest.h"

namespace {

using moduletest::kServerClasses;
using moduletest::ServerClass;

class ClassInfoTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_TRUE(server_.Loaded()) << "cannot load the server DLL";
        ASSERT_HR(S_OK, ql::LoadModuleTypeLibrary(server_.Path(), library_));
    }

    std::vector<ql::ComPtr<ITypeInfo>> Coclasses() const {
        std::vector<ql::ComPtr<ITypeInfo>> coclasses;
        for (UINT i = 0; i < library_->GetTypeInfoCount(); ++i) {
            TYPEKIND kind = TKIND_MAX;
            ql::ComPtr<ITypeInfo> info;
            if (SUCCEEDED(library_->GetTypeInfoType(i, &kind)) && kind == TKIND_COCLASS &&
                SUCCEEDED(library_->GetTypeInfo(i, info.Put())))
                coclasses.push_back(info);
        }
        return coclasses;
    }

    moduletest::ServerModule server_;
    ql::ComPtr<ITypeLib> library_;
};

TEST_F(ClassInfoTest, EveryServerClassIsACoclassOfTheLibrary) {
    for (const ServerClass& c : kServerClasses) {
        ql::ComPtr<ITypeInfo> coclass;
        EXPECT_HR(S_OK, library_->GetTypeInfoOfGuid(c.clsid, coclass.Put()))
            << testing::PrintToString(c.name);
    }
    EXPECT_EQ(std::size(kServerClasses), Coclasses().size());
}

TEST_F(ClassInfoTest, EveryClassDispatchesItsCoclassDefaultInterfaceAndNoControlMember) {
    for (const ql::ComPtr<ITypeInfo>& listed : Coclasses()) {
        vtest::TypeIdentity cls;
        ASSERT_HR(S_OK, vtest::DescribeType(listed.Get(), cls));
        SCOPED_TRACE(testing::PrintToString(cls.name));
        ql::ComPtr<IUnknown> object;
        ASSERT_HR(S_OK, ::CoCreateInstance(cls.guid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                           object.PutVoid()));

        // A control names its coclass itself; a page is known from the library alone.
        ql::ComPtr<ITypeInfo> coclass = listed;
        ql::ComPtr<IProvideClassInfo> provider;
        if (SUCCEEDED(ql::QueryInterfaceTo(object.Get(), provider))) {
            ASSERT_HR(S_OK, provider->GetClassInfo(coclass.Put()));
            vtest::TypeIdentity provided;
            ASSERT_HR(S_OK, vtest::DescribeType(coclass.Get(), provided));
            EXPECT_EQ(vtest::GuidText(cls.guid), vtest::GuidText(provided.guid));
        }
        EXPECT_TRUE(vtest::DispatchIsDefaultInterface(object.Get(), coclass.Get()));

        // What a script sees: TypeName is the interface named after the class, and it has no member.
        ql::ComPtr<IDispatch> dispatch;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(object.Get(), dispatch));
        ql::ComPtr<ITypeInfo> described;
        ASSERT_HR(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, described.Put()));
        vtest::TypeIdentity shown;
        ASSERT_HR(S_OK, vtest::DescribeType(described.Get(), shown));
        EXPECT_EQ(L"I" + cls.name, shown.name);
        LPOLESTR name = const_cast<LPOLESTR>(L"SetDtmState");
        DISPID id = DISPID_UNKNOWN;
        EXPECT_HR(DISP_E_UNKNOWNNAME, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));

        ql::ComPtr<IUnknown> own;
        EXPECT_HR(S_OK, object->QueryInterface(shown.guid, own.PutVoid())) << "the class's own interface";
    }
}

}  // namespace
