#include "FrameTestSupport.h"

#include <cstdio>

namespace frametest {

std::string HrText(HRESULT hr) {
    if (hr == S_OK) return "S_OK";
    if (hr == S_FALSE) return "S_FALSE";
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

void FrameTest::SetUp() {
    ASSERT_HR(S_OK, apartment_.Status());
    ASSERT_HR(S_OK, ql::MakeObject(frame_));
}

void FrameTest::TearDown() {
    if (frame_) {
        frame_->ClearProjectDtms();
        frame_->AddRef();
        EXPECT_EQ(1u, frame_->Release()) << "someone kept a reference to the frame";
        frame_.Reset();
    }
    for (const std::wstring& path : temporaryFiles_) {
        ::DeleteFileW(path.c_str());
        ::DeleteFileW((path + L".saving").c_str());
    }
}

std::wstring FrameTest::TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path =
        std::wstring(folder) + L"varnok-frame-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
    temporaryFiles_.push_back(path);
    return path;
}

}  // namespace frametest
