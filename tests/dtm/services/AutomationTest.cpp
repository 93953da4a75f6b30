// The DTM's automation interfaces: the service login, progress, compare, user level, transfer state.
#include <string>

#include "ServicesTestSupport.h"
#include "classlib/Variant.h"

namespace svctest {
namespace {

class AutomationTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        CreateDtm(SourceDataFolder().c_str());
    }
    void SetText(ULONG id, const wchar_t* text) {
        ql::Variant value;
        ASSERT_HR(S_OK, value.SetBstr(text));
        ASSERT_HR(S_OK, Query<IQuelkVariablesEx>()->SetValue(id, *value.Get()));
    }
};

TEST_F(AutomationTest, TheServiceAccountOpensTheOnlineParameterization) {
    struct Case {
        const char* name;
        const wchar_t* user;  // null: the dataset's default
        const wchar_t* password;
        bool functionEnabled;
        bool opens;
    };
    const Case cases[] = {
        {"service account", L"kvnd", L"ozq", true, true},
        {"user name in upper case", L"KVND", L"ozq", true, false},
        {"password in upper case", L"kvnd", L"OZQ", true, false},
        {"never entered", nullptr, nullptr, true, false},
        {"password longer", L"kvnd", L"ozqq", true, false},
        {"function 2 disabled (offline)", L"kvnd", L"ozq", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CreateDtm(SourceDataFolder().c_str());
        DriveToConfigured();
        if (c.user) SetText(10, c.user);
        if (c.password) SetText(11, c.password);
        // The DTM offers the online parameterization while online only.
        if (c.functionEnabled) {
            ForceState(kStateConnected);
        } else {
            ASSERT_HR(S_OK, Query<IQuelkFunctions>()->SetFunctionEnabled(2, FALSE));
        }
        frame_->ClearCalls();

        EXPECT_HR(S_OK, Query<IDtmObject>()->ShowTreeActiveX());
        const FrameCall* open = frame_->LastCall(L"OpenActiveXControlRequest");
        EXPECT_EQ(c.opens, open != nullptr);
        if (open) {
            EXPECT_EQ(FunctionCallDocument(2), open->Arguments[1]);
        }
    }
}

}  // namespace
}  // namespace svctest
