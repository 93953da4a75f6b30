#pragma once
// The frame tests' fixture: one apartment, a frame host, and a temporary folder removed afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include "classlib/ComPtr.h"
#include "frame/FrameHost.h"
#include "tests/support/ComTest.h"
#include "tests/support/TempFolder.h"

namespace frametest {

using namespace vtest;

class FrameTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        ASSERT_HR(S_OK, ql::MakeObject(frame_));
    }
    void TearDown() override {
        frame_->ClearProjectDtms();
        frame_->AddRef();
        EXPECT_EQ(1u, frame_->Release()) << "someone kept a reference to the frame";
        frame_.Reset();
    }

    ql::ComPtr<CFrameHost> frame_;
    TempFolder temp_;
};

}  // namespace frametest
