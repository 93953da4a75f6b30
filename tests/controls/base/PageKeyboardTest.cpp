// A page's keyboard handling inside a frame: Tab stops at the page's edges so that the frame moves the
// focus on, a Tab from outside enters the page, and Escape restores an edit's text.
#include "ControlTestSupport.h"

#include "controls/base/QuelkPageKeyboard.h"

namespace controltest {
namespace {

class PageKeyboardTest : public ComTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ComTest::SetUp());
        frame_.Attach(::CreateWindowW(L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                      nullptr, nullptr, nullptr, nullptr));
        area_ = ::CreateWindowW(L"BUTTON", L"area", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 380, 280,
                                frame_.Get(), nullptr, nullptr, nullptr);
        ASSERT_HR(S_OK, ql::MakeObject(page_));
        page_dialog_ = CreateTestDialog(*page_.Get(), area_);
        ASSERT_TRUE(page_dialog_);
        outside_ = ::CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10,
                                   frame_.Get(), nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        page_dialog_.Reset();
        frame_.Reset();
        page_.Reset();
    }
    HWND Item(UINT id) const { return ::GetDlgItem(page_dialog_.Get(), static_cast<int>(id)); }
    BOOL Key(UINT message, WPARAM key) {
        MSG msg{::GetFocus(), message, key, 0, 0, {}};
        return keyboard_.TranslateDialogKey(page_dialog_.Get(), &msg, nullptr);
    }
    void FocusGained(UINT id, UINT code) {
        LRESULT result = 0;
        keyboard_.ProcessWindowMessage(page_dialog_.Get(), WM_COMMAND, MAKEWPARAM(id, code),
                                       reinterpret_cast<LPARAM>(Item(id)), result);
    }

    ql::WindowOwner frame_;
    HWND area_ = nullptr;
    HWND outside_ = nullptr;
    ql::ComPtr<CTestPage> page_;
    ql::WindowOwner page_dialog_;
    CQuelkPageKeyboard keyboard_;
};

TEST_F(PageKeyboardTest, TabStopsAtTheLastTabStopAndEntersFromOutside) {
    ::SetFocus(Item(kLockCheck));  // the last tab stop
    EXPECT_FALSE(Key(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(Item(kLockCheck), ::GetFocus());

    ::SetFocus(Item(kTagEdit));
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(Item(kAddressEdit), ::GetFocus());

    ::SetFocus(outside_);
    EXPECT_FALSE(Key(WM_KEYDOWN, VK_RETURN));
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_TAB));
    EXPECT_EQ(Item(kTagEdit), ::GetFocus());
    EXPECT_TRUE(keyboard_.FocusRestored());
}

TEST_F(PageKeyboardTest, EscapeRestoresTheTextAnEditHadWhenItGotTheFocus) {
    ::SetWindowTextW(Item(kTagEdit), L"before");
    ::SetFocus(Item(kTagEdit));
    FocusGained(kTagEdit, EN_SETFOCUS);
    ::SetWindowTextW(Item(kTagEdit), L"typed");
    EXPECT_TRUE(Key(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(L"before", WindowText(Item(kTagEdit)));
    EXPECT_FALSE(Key(WM_KEYDOWN, VK_ESCAPE));
}

}  // namespace
}  // namespace controltest
