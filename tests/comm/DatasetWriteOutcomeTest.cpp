// The dataset's synchronous write of one parameter, which a page's commit runs: an error answer fails with
// the answer's message as the thread's error object, no answer with an error object that says so; the bulk
// download still counts a refused write as one failed parameter.
#include <gtest/gtest.h>

#include <string>

#include "CommTestSupport.h"
#include "dataset/DatasetDeviceAccess.h"

namespace commtest {
namespace {

struct WriteCase {
    const char* name;
    ChannelFault fault;  // Fail stands for a record that refuses writes; Refuse for none at all
    HRESULT result;
    const wchar_t* described;  // part of the error object's description; null: none
};

const WriteCase kWrites[] = {
    {"Taken", ChannelFault::Refuse, S_OK, nullptr},
    {"AccessDenied", ChannelFault::Fail, kDeviceRefusedResult, L"ErrorCode 80B600 recieved! Access denied"},
    {"ChannelError", ChannelFault::CommunicationError, kDeviceRefusedResult, L"ERROR:"},
    {"Silence", ChannelFault::Silence, E_ABORT, L"No answer from the device"},
};

class DatasetWrite : public CommTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(DatasetWrite, FailsWithTheAnswersMessage) {
    const WriteCase& c = GetParam();
    GoOnline();
    if (c.fault == ChannelFault::Fail) channel_->Device().FindRecord(1, 70)->writable = false;
    if (c.fault != ChannelFault::Fail && c.fault != ChannelFault::Refuse)
        channel_->AddFault({c.fault, kSimWriteTransaction, 0, 1});
    (void)::SetErrorInfo(0, nullptr);
    ql::Variant value;
    value.SetR4(2.5f);
    VARIANT_BOOL done = VARIANT_FALSE;
    const ql::ComPtr<IQuelkVariablesEx> store = Variables();
    EXPECT_HR(c.result, store->WriteToDevice(kCalibrationFactorId, *value, &done));

    ql::ComPtr<IErrorInfo> info;
    ASSERT_HR(c.described ? S_OK : S_FALSE, ::GetErrorInfo(0, info.Put()));
    if (!c.described) return;
    ql::Bstr description;
    GUID source = GUID_NULL;
    ASSERT_HR(S_OK, info->GetDescription(description.Put()));
    ASSERT_HR(S_OK, info->GetGUID(&source));
    EXPECT_NE(std::wstring::npos, StringOf(description.Get()).find(c.described))
        << StringOf(description.Get());
    EXPECT_EQ(c.result == E_ABORT, IsEqualGUID(source, kNoAnswerErrorGuid) != FALSE);
}

INSTANTIATE_TEST_SUITE_P(OneParameter, DatasetWrite, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

// Stopped at the question after a refused write, the download ends as after any failure: S_OK, not done.
TEST_F(CommTest, ARefusedWriteIsOneFailedParameterOfTheDownload) {
    GoOnline();
    channel_->Device().FindRecord(1, 70)->writable = false;
    AnswerQuestions(L"buttonYes");  // stop
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(S_OK, Variables()->DownloadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_EQ(1u, Questions().size());
    ql::ComPtr<IErrorInfo> left;
    EXPECT_HR(S_FALSE, ::GetErrorInfo(0, left.Put())) << "the refusal's error object stayed behind";
}

}  // namespace
}  // namespace commtest
