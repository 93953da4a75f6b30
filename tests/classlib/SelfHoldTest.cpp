// An object held across a call out: given back at once while others hold it; kept when the call out made
// the hold its last reference, until the thread is out of every call out and its loop runs or the module is
// asked whether it may unload.
#include <gtest/gtest.h>

#include <functional>

#include "ComTestObjects.h"
#include "classlib/ComModule.h"
#include "classlib/SelfHold.h"
#include "tests/support/ComTest.h"

namespace comtest {
namespace {

ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// The thread's own message loop for a while (long enough for a timer of the shortest interval).
void RunMessageLoop(DWORD milliseconds) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
}

class SelfHoldTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        CWidget::live = 0;
        ASSERT_HR(S_OK, ql::MakeObject(widget_));
    }
    // The frame's handler inside the call out lets its reference go.
    void CallOutThatDropsTheObject() {
        const ql::SelfHold hold(static_cast<ITestAlpha*>(widget_.Get()));
        widget_.Reset();
    }

    ql::ComPtr<CWidget> widget_;
};

TEST_F(SelfHoldTest, AHoldThatIsNotTheLastReferenceIsGivenBackAtOnce) {
    IUnknown* object = static_cast<ITestAlpha*>(widget_.Get());
    {
        const ql::SelfHold hold(object);
        EXPECT_EQ(2u, References(object));
        EXPECT_TRUE(ql::IsInsideCallOut());
    }
    EXPECT_EQ(1u, References(object));
    EXPECT_FALSE(ql::IsInsideCallOut());
}

TEST_F(SelfHoldTest, ALastReferenceOutlivesTheCallOutUntilTheThreadIsOutOfIt) {
    const struct {
        const char* name;
        std::function<void()> letGo;
    } ways[] = {
        {"the thread's message loop", [] { RunMessageLoop(100); }},
        {"DllCanUnloadNow", [] { (void)ql::ComModule::Instance().CanUnloadNow(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        if (!widget_) {
            ASSERT_HR(S_OK, ql::MakeObject(widget_));
        }
        {
            // A wait further up the stack: the method that waits still runs on the object.
            const ql::CallOutScope wait;
            CallOutThatDropsTheObject();
            EXPECT_EQ(1, CWidget::live) << "freed while its caller still ran";
            way.letGo();
            EXPECT_EQ(1, CWidget::live) << "freed inside the wait";
        }
        EXPECT_EQ(1, CWidget::live);
        way.letGo();
        EXPECT_EQ(0, CWidget::live);
    }
}

}  // namespace
}  // namespace comtest
