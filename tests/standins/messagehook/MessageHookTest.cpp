// The keyboard-message hook object as the parameterization window uses it: created by class id, its sink
// advised, started and stopped; keys posted to a real edit on this thread, taken from the queue by an
// ordinary message loop.
#include <ocidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiComponentInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/WindowOwner.h"
#include "tests/support/ComTest.h"
#include "tests/support/ServerModule.h"
#include "tests/support/TestObjects.h"

namespace {

class RecordingSink final : public vtest::CountedDispatch<IQuelkMessageSink> {
public:
    RecordingSink() : CountedDispatch({IID_IQuelkMessageSink}) {}
    HRESULT STDMETHODCALLTYPE OnForwardedMessage(MSG* message) override {
        offered.push_back(message->message);
        return answer;
    }
    HRESULT answer = S_FALSE;
    std::vector<UINT> offered;
};

class MessageHookTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        edit_.Attach(
            ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(edit_);
        ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_QuelkMessageHook, nullptr,
                                           CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                           IID_IQuelkMessageHook, hook_.PutVoid()));
        ql::ComPtr<IConnectionPointContainer> container;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(hook_.Get(), container));
        ASSERT_HR(S_OK, container->FindConnectionPoint(IID_IQuelkMessageSink, point_.Put()));
        ASSERT_HR(S_OK, point_->Advise(&sink_, &cookie_));
    }
    void TearDown() override {
        if (point_) {
            EXPECT_HR(S_OK, point_->Unadvise(cookie_));
        }
        point_.Reset();
        hook_.Reset();
        EXPECT_EQ(1u, sink_.refs) << "the hook kept the sink";
        EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"message_hook.dll"));
    }

    // Posts `message` to the edit and runs the message loop until the queue is empty.
    void PostAndPump(UINT message, WPARAM wParam) {
        ASSERT_TRUE(::PostMessageW(edit_.Get(), message, wParam, 0));
        MSG queued{};
        while (::PeekMessageW(&queued, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&queued);
            ::DispatchMessageW(&queued);
        }
    }
    std::wstring EditText() const {
        wchar_t text[32] = {};
        ::GetWindowTextW(edit_.Get(), text, 32);
        return text;
    }

    ql::WindowOwner edit_;
    RecordingSink sink_;
    ql::ComPtr<IQuelkMessageHook> hook_;
    ql::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

TEST_F(MessageHookTest, OffersTheThreadsKeysAndTimersToItsSinkWhileStarted) {
    struct Case {
        const char* name;
        bool started;
        HRESULT sinkAnswer;
        UINT message;
        std::vector<UINT> offered;
        const wchar_t* editText;
    };
    const Case cases[] = {
        {"a key the sink leaves reaches its window", true, S_FALSE, WM_CHAR, {WM_CHAR}, L"a"},
        {"a key the sink handled is not dispatched again", true, S_OK, WM_CHAR, {WM_CHAR}, L""},
        {"a timer is offered too", true, S_FALSE, WM_TIMER, {WM_TIMER}, L""},
        {"other messages are not", true, S_OK, WM_MOUSEMOVE, {}, L""},
        {"stopped, nothing is offered", false, S_OK, WM_CHAR, {}, L"a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::SetWindowTextW(edit_.Get(), L"");
        sink_.offered.clear();
        sink_.answer = c.sinkAnswer;
        ASSERT_HR(S_OK, hook_->Start());
        if (!c.started) {
            ASSERT_HR(S_OK, hook_->Stop());
        }
        PostAndPump(c.message, L'a');
        EXPECT_EQ(c.offered, sink_.offered);
        EXPECT_EQ(c.editText, EditText());
        if (c.started) {
            ASSERT_HR(S_OK, hook_->Stop());
        }
    }
}

TEST_F(MessageHookTest, StartAndStopTellWhetherTheyChangedAnything) {
    EXPECT_HR(S_FALSE, hook_->Stop());
    EXPECT_HR(S_OK, hook_->Start());
    EXPECT_HR(S_FALSE, hook_->Start());
    PostAndPump(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(std::vector<UINT>{WM_KEYDOWN}, sink_.offered) << "started twice, offered once";
    EXPECT_HR(S_OK, hook_->Stop());
    EXPECT_HR(S_FALSE, hook_->Stop());
}

TEST_F(MessageHookTest, AHookReleasedWhileStartedStopsWatching) {
    ASSERT_HR(S_OK, hook_->Start());
    ASSERT_HR(S_OK, point_->Unadvise(cookie_));
    point_.Reset();
    hook_.Reset();
    EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"message_hook.dll"));
    PostAndPump(WM_CHAR, L'a');
    EXPECT_TRUE(sink_.offered.empty());
    EXPECT_EQ(L"a", EditText());
}

}  // namespace
