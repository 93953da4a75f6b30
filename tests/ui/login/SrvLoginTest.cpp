// The service login as a frame opens it (by ProgID, with the DTM online to the simulated flowmeter), driven
// through its dialog and keys: the service password stores the pair, has the DTM ask the frame for the
// online parameterization and closes; anything else is "wrong input" and stores nothing; Esc closes.
#include <windows.h>

#include <string>

#include "classlib/AxControlSite.h"
#include "frame/MessagePump.h"
#include "frame/UiScript.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/support/ServerModule.h"
#include "ui/login/LoginResources.h"

namespace {

constexpr DWORD kCloseWaitMs = 10000;

class SrvLoginTest : public controltest::HostedUiFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
    }
    void Open() {
        ASSERT_HR(S_OK, ui_.OpenControl(L"VarnokP3.SrvLogin", session_.Object()));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
        frame_->ClearCalls();
    }
    std::wstring Stored(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        return value.Type() == VT_BSTR && V_BSTR(value.Get()) ? V_BSTR(value.Get()) : L"";
    }
    void TypePassword(const wchar_t* text) {
        ASSERT_TRUE(::SetDlgItemTextW(dialog_, IDC_LOGIN_PASSWORD, text));
    }
    void ClickOk() {
        ::SendDlgItemMessageW(dialog_, IDOK, BM_CLICK, 0, 0);
        PumpContainerMessages(ui_.Container());
    }
    // A key pressed in the password field, through the frame's message loop.
    void PressKeyInPassword(UINT key) {
        ::SetFocus(::GetDlgItem(dialog_, IDC_LOGIN_PASSWORD));
        PressKey(key);
        PumpContainerMessages(ui_.Container());
    }
    bool Closes() {
        return PumpMessagesUntil([this] { return !ui_.IsOpen(); }, kCloseWaitMs);
    }
    std::wstring LastUserMessage() const {
        const FrameCall* call = frame_->LastCall(L"UserDialog");
        return call && call->Arguments.size() == 2 ? call->Arguments[1] : L"";
    }
};

TEST_F(SrvLoginTest, TheServicePasswordStoresThePairOpensTheOnlineParameterizationAndCloses) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(L"", Stored(11));
    ASSERT_NO_FATAL_FAILURE(TypePassword(L"ozq"));
    ASSERT_NO_FATAL_FAILURE(ClickOk());
    EXPECT_EQ(L"kvnd", Stored(10));
    EXPECT_EQ(L"ozq", Stored(11));
    ASSERT_EQ(1u, frame_->CountCalls(L"OpenActiveXControlRequest"));
    const std::wstring call = frame_->LastCall(L"OpenActiveXControlRequest")->Arguments[1];
    EXPECT_NE(std::wstring::npos, call.find(L"functionId=\"2\"")) << call;
    EXPECT_EQ(0u, frame_->CountCalls(L"UserDialog"));
    EXPECT_TRUE(Closes());

    ReleaseAll();
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"VarnokP3.dll"));
}

TEST_F(SrvLoginTest, ReturnInThePasswordPressesOk) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(TypePassword(L"ozq"));
    ASSERT_NO_FATAL_FAILURE(PressKeyInPassword(VK_RETURN));
    EXPECT_EQ(L"ozq", Stored(11));
    EXPECT_TRUE(Closes());
}

TEST_F(SrvLoginTest, EscapeClosesWithoutStoring) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(TypePassword(L"ozq"));
    ASSERT_NO_FATAL_FAILURE(PressKeyInPassword(VK_ESCAPE));
    EXPECT_TRUE(Closes());
    EXPECT_EQ(L"", Stored(11));
    EXPECT_EQ(0u, frame_->CountCalls(L"OpenActiveXControlRequest"));
}

struct RefusedCase {
    const char* name;
    const wchar_t* storedUserName;  // null: the dataset's "kvnd"
    const wchar_t* password;
};

class SrvLoginRefusalTest : public SrvLoginTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(SrvLoginRefusalTest, AnythingElseIsWrongInputAndStoresNothing) {
    const RefusedCase& refused = GetParam();
    if (refused.storedUserName) {
        ql::Variant name;
        ASSERT_HR(S_OK, name.SetBstr(refused.storedUserName));
        ASSERT_HR(S_OK, Store()->SetValue(10, *name));
    }
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(TypePassword(refused.password));
    ASSERT_NO_FATAL_FAILURE(ClickOk());
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"wrong input")) << LastUserMessage();
    EXPECT_EQ(L"", Stored(11));
    EXPECT_EQ(0u, frame_->CountCalls(L"OpenActiveXControlRequest"));
    // The login stays for another attempt, with what was typed.
    PumpContainerMessages(ui_.Container());
    ASSERT_TRUE(ui_.IsOpen());
    wchar_t typed[256] = {};
    ::GetDlgItemTextW(dialog_, IDC_LOGIN_PASSWORD, typed, 256);
    EXPECT_EQ(std::wstring(refused.password), typed);
}

INSTANTIATE_TEST_SUITE_P(Passwords, SrvLoginRefusalTest,
                         ::testing::Values(RefusedCase{"UpperCase", nullptr, L"OZQ"},
                                           RefusedCase{"LeadingBlank", nullptr, L" ozq"},
                                           RefusedCase{"TrailingBlank", nullptr, L"ozq "},
                                           RefusedCase{"Empty", nullptr, L""},
                                           RefusedCase{"AnotherStoredUser", L"admin", L"ozq"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
