// The upload and download of the dataset: its order, its progress in the frame, the question after the
// first failure, the stop request, the error text of each failure, and progress reports of others.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "CommTestSupport.h"
#include "comm/CommunicationStates.h"
#include "dataset/VariableFields.h"
#include "dtm/services/ToolkitMessages.h"
#include "frame/simulator/SimulatorCodec.h"
#include "values/XmlText.h"

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
    LONG RecordCount() {
        ULONG count = 0;
        EXPECT_HR(S_OK, Variables()->GetCount(&count));
        return static_cast<LONG>(count);
    }
    ULONG Field(ULONG id, ULONG mask) {
        ql::Variant value;
        EXPECT_HR(S_OK, Query<IQuelkVariableFields>()->GetVariableField(*vtest::MakeUI4(id),
                                                                        *vtest::MakeUI4(mask), value.Get()));
        EXPECT_HR(S_OK, value.ChangeType(VT_UI4));
        return V_UI4(value.Get());
    }
    size_t BulkReadableCount() {
        size_t count = 0;
        for (LONG i = 0; i < RecordCount(); ++i) {
            ULONG id = 0;
            EXPECT_HR(S_OK, Variables()->GetVariableAt(i, &id));
            if (Field(id, kFieldIsDeviceParameter) == 1 && (Field(id, kFieldAccess) & 0x50) == 0x50) ++count;
        }
        return count;
    }
    // The text of the toolkit's message `id` as the DTM's question document carries it.
    std::wstring QuestionText(LONG id) {
        ql::Bstr text, escaped;
        EXPECT_HR(S_OK, GetToolkitMessageText(dtm_->GetControllingUnknown(), id, text.Put()));
        EXPECT_HR(S_OK, EscapeXmlText(text.Get(), escaped.Put()));
        return StringOf(escaped.Get());
    }
};

TEST_F(DatasetTransferTest, AnUploadReadsEveryBulkParameterWithProgress) {
    GoOnline();
    frame_->ClearCalls();
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, Variables()->UploadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(121, RecordCount());
    ExpectFullRunProgress(ProgressOf(*frame_.Get()), RecordCount());
    EXPECT_EQ(99, ProgressOf(*frame_.Get())[120].first);
    EXPECT_EQ(BulkReadableCount(), channel_->CountRequests(kSimTransaction));
    EXPECT_FALSE(dtmint::Store(dtm_.Get()).TransferRunning());
    EXPECT_TRUE(Questions().empty());

    // The device's own values are in the dataset now.
    EXPECT_EQ(1.02f, V_R4(Value(kCalibrationFactorId).Get()));
    EXPECT_EQ(L"VTM-126-0042", StringOf(V_BSTR(Value(27).Get())));
    ql::Bstr tag;
    ASSERT_HR(S_OK, Client()->ValueToText(*Value(kPhysicalTagId), tag.Put()));
    EXPECT_EQ(HexFromBytes(channel_->Device().FindRecord(0, 18)->bytes), StringOf(tag.Get()));
}

TEST_F(DatasetTransferTest, TheFirstFailureAsksOnceAndEveryFailureNamesItsCause) {
    GoOnline();
    channel_->Device().SetBusyFor(2);
    VARIANT_BOOL ok = VARIANT_TRUE;
    ASSERT_HR(S_OK, Variables()->UploadParameters(nullptr, &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    const std::vector<std::wstring> questions = Questions();
    ASSERT_EQ(1u, questions.size());
    // The upload's question, by its toolkit message id.
    EXPECT_NE(std::wstring::npos, questions[0].find(QuestionText(1001))) << questions[0];
    const std::vector<std::wstring> reports = Reports();
    ASSERT_EQ(2u, reports.size());
    EXPECT_EQ(
        L"Physical Block - BlockObject:ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter 0.16",
        reports[0]);
    EXPECT_EQ(
        L"Physical Block - StaticRevision:ErrorCode 80C200 recieved! Resource busy, ReadRequest Parameter "
        L"0.17",
        reports[1]);
    ExpectFullRunProgress(ProgressOf(*frame_.Get()), RecordCount());
}

TEST_F(DatasetTransferTest, AStopEndsTheRunAndDoesNotMuteTheNextOne) {
    GoOnline();
    frame_->SetListener([this](const FrameCall& call) {
        if (call.Method == L"NotifyProgress" && call.Arguments[2] == L"10") {
            VARIANT_BOOL stopped = VARIANT_FALSE;
            EXPECT_HR(S_OK, Variables()->RequestStop(&stopped));
            EXPECT_EQ(VARIANT_TRUE, stopped);
        }
    });
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(E_ABORT, Variables()->UploadParameters(nullptr, &ok));
    frame_->SetListener(nullptr);
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_FALSE(dtmint::Store(dtm_.Get()).TransferRunning());
    EXPECT_FALSE(dtmint::Store(dtm_.Get()).StopRequested());
    EXPECT_EQ(std::make_pair(0L, false), ProgressOf(*frame_.Get()).back());

    // A stop requested while nothing runs changes nothing.
    VARIANT_BOOL stopped = VARIANT_TRUE;
    EXPECT_HR(S_OK, Variables()->RequestStop(&stopped));
    EXPECT_EQ(VARIANT_FALSE, stopped);

    frame_->ClearCalls();
    ASSERT_HR(S_OK, Variables()->UploadParameters(nullptr, &ok));
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
        dtmint::Store(dtm_.Get()).SetStopRequested(c.stopRequested);
        dtmint::ReportTransferProgress(dtm_.Get(), c.index, c.count, ql::Bstr(L"Import").Get());
        const Progress progress = ProgressOf(*frame_.Get());
        ASSERT_EQ(c.sent ? 1u : 0u, progress.size());
        if (c.sent) {
            EXPECT_EQ(std::make_pair(c.percent, c.show), progress[0]);
        }
    }
    dtmint::Store(dtm_.Get()).SetStopRequested(false);
}

// A value given as a text, through SetValue or straight into the record's value field: the download writes
// it in the record's type either way.
enum class Setter { SetValue, ValueField };

struct DownloadedTextCase {
    const char* name;
    Setter setter;
    ULONG id;
    BYTE slot, index;
    SimBytes written;
};

// 7 as the records keep it: Strategy a UI2, the calibration factor a big-endian float.
const SimBytes kStrategySeven{0x00, 0x07}, kFactorSeven{0x40, 0xE0, 0x00, 0x00};

const DownloadedTextCase kDownloadedTexts[] = {
    {"StrategyThroughSetValue", Setter::SetValue, 18, 0, 19, kStrategySeven},
    {"StrategyThroughTheValueField", Setter::ValueField, 18, 0, 19, kStrategySeven},
    {"CalibrationFactorThroughSetValue", Setter::SetValue, kCalibrationFactorId, 1, 70, kFactorSeven},
    {"CalibrationFactorThroughTheValueField", Setter::ValueField, kCalibrationFactorId, 1, 70, kFactorSeven},
};

class DownloadedText : public CommTest, public ::testing::WithParamInterface<DownloadedTextCase> {};

TEST_P(DownloadedText, IsWrittenInTheRecordsType) {
    const DownloadedTextCase& c = GetParam();
    GoOnline();
    const ql::Variant text = vtest::MakeBstr(L"7");
    if (c.setter == Setter::SetValue) {
        ASSERT_HR(S_OK, Variables()->SetValue(c.id, *text));
    } else {
        ASSERT_HR(S_OK, Query<IQuelkVariableFields>()->SetVariableField(*vtest::MakeUI4(c.id),
                                                                        *vtest::MakeUI4(kFieldValue), *text));
    }
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, Variables()->DownloadParameters(nullptr, &ok));
    EXPECT_EQ(HexFromBytes(c.written), HexFromBytes(WrittenBytes(*channel_.Get(), c.slot, c.index)));
    EXPECT_EQ(c.written, channel_->Device().FindRecord(c.slot, c.index)->bytes);
}

INSTANTIATE_TEST_SUITE_P(Download, DownloadedText, ::testing::ValuesIn(kDownloadedTexts),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace commtest
