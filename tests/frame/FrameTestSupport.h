#pragma once
// The frame tests' fixture: one apartment, a frame host, and temporary files removed afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/ComApartment.h"
#include "frame/FrameHost.h"

namespace frametest {

#define EXPECT_HR(expected, actual) EXPECT_EQ(::frametest::HrText(expected), ::frametest::HrText(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(::frametest::HrText(expected), ::frametest::HrText(actual))
std::string HrText(HRESULT hr);

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A path in the temporary folder that the fixture deletes afterwards.
    std::wstring TempPath(const wchar_t* name);

    ql::ComApartment apartment_;
    ql::ComPtr<CFrameHost> frame_;

private:
    std::vector<std::wstring> temporaryFiles_;
};

}  // namespace frametest
