// The upload and download of the dataset: its order, its progress in the frame, the question after the
// first failure, the stop request, the error text of each failure, and progress reports of others.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "CommTestSupport.h"
#include "comm/CommunicationStates.h"
#include "frame/simulator/SimulatorCodec.h"

namespace commtest {
namespace {

using Progress = std::vector<std::pair<LONG, bool>>;

Progress ProgressOf(const CFrameHost& frame) {
    Progress progress;
    for (const FrameCall& call : frame.Calls()) {
        if (call.Method == L"NotifyProgress")
            progress.emplace_back(std::stol(call.Arguments[2]), call.Arguments[3] == L"TRUE");
    }
    return progress;
}

// Hide, then the percentages of every position after the first (rising, the last (count-1)*100/count),
// then hide.
void ExpectFullRunProgress(const Progress& progress, LONG count) {
    ASSERT_EQ(static_cast<size_t>(count) + 1, progress.size());
    EXPECT_EQ(std::make_pair(0L, false), progress.front());
    for (LONG position = 1; position < count; ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(std::make_pair(position * 100 / count, true), progress[position]);
    }
    EXPECT_EQ(std::make_pair(0L, false), progress.back());
}


class DatasetTransferTest : public CommTest {
protected:
    LONG RecordCount() { return static_cast<LONG>(dtm_->Store().Variables().Count()); }
    size_t BulkReadableCount() {
        size_t count = 0;
        for (LONG i = 0; i < RecordCount(); ++i) {
            CQuelkVariable record;
            EXPECT_HR(S_OK, dtm_->Store().Variables().GetVariableAt(i, &record));
            if (record.IsDeviceParameter == 1 && (record.Access & 0x50) == 0x50) ++count;
        }
        return count;
    }
};

TEST_F(DatasetTransferTest, AnUploadReadsEveryBulkParameterWithProgress) {
    GoOnline();
    frame_->ClearCalls();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, dtm_->UploadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(121, RecordCount());
    ExpectFullRunProgress(ProgressOf(*frame_.Get()), RecordCount());
    EXPECT_EQ(99, ProgressOf(*frame_.Get())[120].first);
    EXPECT_EQ(BulkReadableCount(), channel_->CountRequests(kSimTransaction));
    EXPECT_FALSE(dtm_->Store().TransferRunning());
    EXPECT_TRUE(dtm_->questions.empty());

    // The device's own values are in the dataset now.
    EXPECT_EQ(1.02f, V_R4(dtm_->Value(kCalibrationFactorId).Get()));
    EXPECT_EQ(L"VTM-126-0042", StringOf(V_BSTR(dtm_->Value(27).Get())));
    ql::Bstr tag;
    ASSERT_HR(S_OK, dtm_->ValueToText(*dtm_->Value(kPhysicalTagId), tag.Put()));
    EXPECT_EQ(HexFromBytes(channel_->Device().FindRecord(0, 18)->bytes), StringOf(tag.Get()));
}

TEST_F(DatasetTransferTest, TheFirstFailureAsksOnceAndEveryFailureNamesItsCause) {
    GoOnline();
    channel_->Device().SetBusyFor(2);
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_HR(S_OK, dtm_->UploadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    ASSERT_EQ(1u, dtm_->questions.size());
    EXPECT_EQ(L"message 1001", dtm_->questions[0]);  // the upload's question, by its toolkit message id
    ASSERT_EQ(2u, dtm_->reports.messages.size());
    EXPECT_EQ(
        L"Physical Block - BlockObject:ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter 0.16",
        dtm_->reports.messages[0]);
    EXPECT_EQ(
        L"Physical Block - StaticRevision:ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter "
        L"0.17",
        dtm_->reports.messages[1]);
    ExpectFullRunProgress(ProgressOf(*frame_.Get()), RecordCount());
}

TEST_F(DatasetTransferTest, AStopEndsTheRunAndDoesNotMuteTheNextOne) {
    GoOnline();
    frame_->SetListener([this](const FrameCall& call) {
        if (call.Method == L"NotifyProgress" && call.Arguments[2] == L"10") {
            VARIANT_BOOL stopped = VARIANT_FALSE;
            EXPECT_HR(S_OK, dtm_->RequestStop(&stopped));
            EXPECT_EQ(VARIANT_TRUE, stopped);
        }
    });
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(E_ABORT, dtm_->UploadParameters(nullptr, &ok));
    frame_->SetListener(nullptr);
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_FALSE(dtm_->Store().TransferRunning());
    EXPECT_FALSE(dtm_->Store().StopRequested());
    EXPECT_EQ(std::make_pair(0L, false), ProgressOf(*frame_.Get()).back());

    // A stop requested while nothing runs changes nothing.
    VARIANT_BOOL stopped = VARIANT_TRUE;
    EXPECT_HR(S_OK, dtm_->RequestStop(&stopped));
    EXPECT_EQ(VARIANT_FALSE, stopped);

    frame_->ClearCalls();
    ASSERT_HR(S_OK, dtm_->UploadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    ExpectFullRunProgress(ProgressOf(*frame_.Get()), RecordCount());
}

TEST_F(DatasetTransferTest, ProgressOfOthersNeverDividesByZero) {
    struct Case {
        const char* name;
        LONG index, count;
        bool stopRequested;
        bool sent;
        LONG percent;
        bool show;
    };
    const Case cases[] = {
        {"3 of 7", 3, 7, false, true, 42, true},
        {"index 0 hides", 0, 0, false, true, 0, false},
        {"index 0 hides also when stopping", 0, 7, true, true, 0, false},
        {"count 0", 5, 0, false, false, 0, false},
        {"negative count", 5, -3, false, false, 0, false},
        {"stop requested", 3, 7, true, false, 0, false},
        {"large index", 2000000000, 2000000001, false, true, 99, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame_->ClearCalls();
        dtm_->Store().SetStopRequested(c.stopRequested);
        dtm_->Transfer().ReportProgress(c.index, c.count, ql::Bstr(L"Import").Get());
        const Progress progress = ProgressOf(*frame_.Get());
        ASSERT_EQ(c.sent ? 1u : 0u, progress.size());
        if (c.sent) {
            EXPECT_EQ(std::make_pair(c.percent, c.show), progress[0]);
        }
    }
    dtm_->Store().SetStopRequested(false);
}

}  // namespace
}  // namespace commtest
