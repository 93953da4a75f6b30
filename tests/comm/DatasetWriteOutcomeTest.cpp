// The dataset's synchronous write of one parameter, which a page's commit runs: a write that the device or
// the channel answers with an error fails, with the answer's message as the thread's error object; one that
// gets no answer fails with an error object that says so. The bulk download still counts a refused write as
// one failed parameter.
#include <gtest/gtest.h>

#include <string>

#include "CommTestSupport.h"
#include "dataset/DatasetDeviceAccess.h"

namespace commtest {
namespace {

enum class Answer { Taken, AccessDenied, ChannelError, Silence };

struct WriteCase {
    const char* name;
    Answer answer;
    HRESULT result;
    const wchar_t* described;  // part of the error object's description; null: no error object
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

const WriteCase kWrites[] = {
    {"Taken", Answer::Taken, S_OK, nullptr},
    {"AccessDenied", Answer::AccessDenied, kDeviceRefusedResult, L"ErrorCode 80B600 recieved! Access denied"},
    {"ChannelError", Answer::ChannelError, kDeviceRefusedResult, L"ERROR:"},
    {"Silence", Answer::Silence, E_ABORT, L"No answer from the device"},
};

class DatasetWrite : public CommTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(DatasetWrite, FailsWithTheAnswersMessage) {
    const WriteCase& c = GetParam();
    GoOnline();
    switch (c.answer) {
        case Answer::Taken:
            break;
        case Answer::AccessDenied:
            channel_->Device().FindRecord(1, 70)->writable = false;
            break;
        case Answer::ChannelError:
            channel_->AddFault({ChannelFault::CommunicationError, kSimWriteTransaction, 0, 1});
            break;
        case Answer::Silence:
            channel_->AddFault({ChannelFault::Silence, kSimTransaction, 0, 1});
            break;
    }
    (void)::SetErrorInfo(0, nullptr);
    ql::Variant value;
    value.SetR4(2.5f);
    VARIANT_BOOL done = VARIANT_FALSE;
    IQuelkVariablesEx* store = dtm_.Get();
    EXPECT_HR(c.result, store->WriteToDevice(kCalibrationFactorId, *value, &done));

    ql::ComPtr<IErrorInfo> info;
    const HRESULT found = ::GetErrorInfo(0, info.Put());
    if (!c.described) {
        EXPECT_HR(S_FALSE, found);
        return;
    }
    ASSERT_HR(S_OK, found);
    ql::Bstr description;
    ASSERT_HR(S_OK, info->GetDescription(description.Put()));
    EXPECT_NE(std::wstring::npos, StringOf(description.Get()).find(c.described))
        << StringOf(description.Get());
    GUID source = GUID_NULL;
    ASSERT_HR(S_OK, info->GetGUID(&source));
    EXPECT_EQ(c.answer == Answer::Silence, IsEqualGUID(source, kNoAnswerErrorGuid) != FALSE);
    if (c.result == kDeviceRefusedResult) {
        EXPECT_EQ(StringOf(dtm_->Store().LastResultText().Get()), StringOf(description.Get()));
    }
}

INSTANTIATE_TEST_SUITE_P(OneParameter, DatasetWrite, ::testing::ValuesIn(kWrites),
                         [](const auto& info) { return std::string(info.param.name); });

// Stopped at the question after a refused write, the download ends as after any failure: S_OK, not done.
TEST_F(CommTest, ARefusedWriteIsOneFailedParameterOfTheDownload) {
    GoOnline();
    channel_->Device().FindRecord(1, 70)->writable = false;
    dtm_->questionAnswer = 6;  // Yes: stop
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(S_OK, dtm_->DownloadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_EQ(1u, dtm_->questions.size());
    ql::ComPtr<IErrorInfo> left;
    EXPECT_HR(S_FALSE, ::GetErrorInfo(0, left.Put())) << "the refusal's error object stayed behind";
}

}  // namespace
}  // namespace commtest
