// The frame's online requests to the registered DTM, as a frame application makes them: the DTM created
// through COM by its ProgID, a channel to the simulated flowmeter handed over with IDtm::SetCommunication,
// and the upload and download through IDtmOnlineParameter, which the DTM runs on its worker thread.
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "frame/DeviceKeyValues.h"
#include "frame/DtmSession.h"
#include "frame/FrameDocuments.h"
#include "frame/MessagePump.h"
#include "frame/simulator/SimulatedDpv1Channel.h"

namespace frametest {
namespace {

constexpr DWORD kWaitMs = 30000;

class FrameOnlineRequestTest : public FrameTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(FrameTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(CreateConfiguredDtm(session_, frame_.Get()));

        ASSERT_NO_FATAL_FAILURE(ConnectToSimulatedDevice(session_, channel_, kWaitMs));
    }
    void TearDown() override {
        VARIANT_BOOL result = VARIANT_FALSE;
        if (session_.Dtm()) {
            EXPECT_HR(S_OK, session_.Dtm()->PrepareToReleaseCommunication(&result));
            EXPECT_HR(S_OK, session_.Dtm()->ReleaseCommunication(&result));
            EXPECT_EQ(8u, session_.State());
        }
        session_.Release();
        if (channel_) channel_->DropCallback();
        channel_.Reset();
        // The worker's marshalled references come back as calls on this thread.
        (void)PumpMessagesUntil(
            [this] {
                frame_->AddRef();
                return frame_->Release() == 1;
            },
            kWaitMs);
        FrameTest::TearDown();
    }

    CDtmSession session_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
};

// Each transfer hides the progress first, shows rising percentages below 100 and hides it at the end; the
// frame hears that it finished, successfully, under the request's invoke id.
TEST_F(FrameOnlineRequestTest, UploadAndDownloadReportProgressAndFinishTrue) {
    ql::ComPtr<IDtmOnlineParameter> requests;
    ASSERT_HR(S_OK, session_.Object()->QueryInterface(IID_IDtmOnlineParameter, requests.PutVoid()));
    for (const bool upload : {true, false}) {
        SCOPED_TRACE(upload ? "upload" : "download");
        const wchar_t* finished = upload ? L"NotifyUploadFinished" : L"NotifyDownloadFinished";
        const std::wstring invokeId = upload ? L"upload-1" : L"download-1";
        frame_->ClearCalls();
        const int deviceRequestsBefore = channel_->Device().ReadCount() + channel_->Device().WriteCount();
        ql::Bstr id(invokeId), text(L"");
        VARIANT_BOOL started = VARIANT_FALSE;
        ASSERT_HR(S_OK, upload ? requests->UploadRequest(id.Get(), text.Get(), &started)
                               : requests->DownloadRequest(id.Get(), text.Get(), &started));
        ASSERT_EQ(VARIANT_TRUE, started);
        ASSERT_TRUE(PumpMessagesUntil([&] { return frame_->CountCalls(finished) == 1; }, kWaitMs));

        EXPECT_EQ((std::vector<std::wstring>{invokeId, L"TRUE"}), frame_->LastCall(finished)->Arguments);
        EXPECT_GT(channel_->Device().ReadCount() + channel_->Device().WriteCount(), deviceRequestsBefore);
        std::vector<const FrameCall*> progress;
        for (const FrameCall& call : frame_->Calls()) {
            if (call.Method == L"NotifyProgress") progress.push_back(&call);
        }
        ASSERT_GE(progress.size(), 3u);
        EXPECT_EQ(L"FALSE", progress.front()->Arguments[3]);
        EXPECT_EQ(L"FALSE", progress.back()->Arguments[3]);
        long previous = -1;
        for (size_t i = 1; i + 1 < progress.size(); ++i) {
            const long percent = std::stol(progress[i]->Arguments[2]);
            EXPECT_EQ(L"TRUE", progress[i]->Arguments[3]) << i;
            EXPECT_GE(percent, previous) << i;
            EXPECT_LT(percent, 100) << i;
            previous = percent;
        }
        EXPECT_GE(previous, 90);
    }
}

}  // namespace
}  // namespace frametest
