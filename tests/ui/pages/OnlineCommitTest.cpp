// The Enter commit of the block pages against a flowmeter that does not simply take the value: a record
// that refuses the write, reads answered with errors or not at all, a broken connection, and a frame that
// lets the page go while the commit waits.
#include <windows.h>

#include <string>
#include <tuple>

#include "VarnokP3.h"
#include "classlib/Variant.h"
#include "frame/MessagePump.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/AiBlockResources.h"
#include "ui/pages/PageResources.h"

namespace {

constexpr ULONG kDiameter = 44, kFlowUnit = 47, kWidth = 51, kLength = 52, kFlowUnitCopy = 131;

struct Field {
    const char* name;
    const CLSID* page;
    int control;
    ULONG id;
    BYTE slot, index;
    const wchar_t* text;  // typed, or picked when the control is a list
};

template <class Info>
std::string NameOf(const Info& info) {
    return info.param.name;
}

class OnlineCommit : public pagetest::BlockPageFixture {
protected:
    void OpenOnline(const CLSID& page, ULONG frameMode = 1) {
        ASSERT_NO_FATAL_FAILURE(GoOnline());
        ASSERT_NO_FATAL_FAILURE(OpenPage(page));
        ASSERT_NO_FATAL_FAILURE(SetOnline());
        ASSERT_NO_FATAL_FAILURE(SetFrameMode(frameMode));
    }
    void Enter(const Field& field) {
        wchar_t kind[16] = {};
        ::GetClassNameW(Item(field.control), kind, 16);
        if (std::wstring(kind) == L"ComboBox") return PickAndEnter(field.control, field.text);
        TypeAndEnter(field.control, field.text);
    }
    SimBytes DeviceBytes(BYTE slot, BYTE index) { return channel_->Device().FindRecord(slot, index)->bytes; }
    ql::Variant Stored(ULONG id, VARTYPE type) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        EXPECT_HR(S_OK, value.ChangeType(type));
        return value;
    }
    bool Told(const wchar_t* text) const { return LastUserMessage().find(text) != std::wstring::npos; }
};

// --- a write the device refuses: the failure with the device's own message, nothing marked modified ---

struct Refusal {
    const char* name;
    ChannelFault fault;  // Fail stands for a record that refuses writes
    const wchar_t* told;
};

const Field kRefusedFields[] = {
    {"Strategy", &CLSID_P2_PBDevInfo, IDC_PB_STRATEGY, 18, 0, 19, L"77"},
    {"HighLimit", &CLSID_P4_TBMassFlow, IDC_MF_HIGH_LIMIT, 48, 1, 85, L"1234.5"},
    {"LowerSensorLimit", &CLSID_TBExtra, IDC_TBX_LOWER_LIMIT, 57, 1, 116, L"12.5"},
};
const Refusal kRefusals[] = {
    {"AccessDenied", ChannelFault::Fail, L"ErrorCode 80B600 recieved! Access denied"},
    {"DeviceError", ChannelFault::DeviceError, L"ErrorCode DF80B6"},
    {"CommunicationError", ChannelFault::CommunicationError, L"ERROR:"},
};

class RefusedWrite : public OnlineCommit, public ::testing::WithParamInterface<std::tuple<Field, Refusal>> {};

TEST_P(RefusedWrite, IsToldAsAFailureWithTheDevicesMessage) {
    const auto& [field, refusal] = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*field.page));
    if (refusal.fault == ChannelFault::Fail) {
        channel_->Device().FindRecord(field.slot, field.index)->writable = false;
    } else {
        channel_->AddFault({refusal.fault, kSimWriteTransaction, 0, 1, 0, {0xDF, 0x80, 0xB6}});
    }
    const SimBytes before = DeviceBytes(field.slot, field.index);
    ASSERT_NO_FATAL_FAILURE(Enter(field));
    EXPECT_TRUE(Told(L"Online Parameter Update Failure") && Told(refusal.told)) << LastUserMessage();
    EXPECT_EQ(before, DeviceBytes(field.slot, field.index));
    EXPECT_EQ(0u, Access(field.id) & 0x02u) << "marked modified";
}

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, RefusedWrite,
                         ::testing::Combine(::testing::ValuesIn(kRefusedFields),
                                            ::testing::ValuesIn(kRefusals)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

// --- a code picked in a list (a 32-bit number in the control) goes out in the record's own length ---

const Field kPickedUnits[] = {
    {"MassFlowPage", &CLSID_P4_TBMassFlow, IDC_MF_FLOW_UNIT, kFlowUnit, 1, 84, L"lb/h"},
    {"MakerPage", &CLSID_TBExtra, IDC_TBX_FLOW_UNIT, kFlowUnit, 1, 84, L"lb/h"},
};

class PickedCode : public OnlineCommit, public ::testing::WithParamInterface<Field> {};

TEST_P(PickedCode, ReachesTheDeviceInTheRecordsLength) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*GetParam().page));
    ASSERT_NO_FATAL_FAILURE(Enter(GetParam()));
    EXPECT_TRUE(Told(L"Online Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ((SimBytes{0x05, 0x34}), DeviceBytes(1, 84));  // lb/h, 1332
}

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, PickedCode, ::testing::ValuesIn(kPickedUnits),
                         NameOf<::testing::TestParamInfo<Field>>);

// --- the mass flow page's couplings when a read gives no value: nothing stored, the person told ---

enum class Breakdown { Abort, Release, ReadErrors };

struct Coupling {
    const char* name;
    Breakdown breakdown;
    Field picked;
};

const Field kFlowUnitPick{"", &CLSID_P4_TBMassFlow, IDC_MF_FLOW_UNIT, kFlowUnit, 1, 84, L"lb/h"};
const Coupling kCouplings[] = {
    {"FlowUnitAfterAbort", Breakdown::Abort, kFlowUnitPick},
    {"FlowUnitAfterRelease", Breakdown::Release, kFlowUnitPick},
    {"FlowUnitWithReadErrors", Breakdown::ReadErrors, kFlowUnitPick},
    {"DuctWithReadErrors",
     Breakdown::ReadErrors,
     {"", &CLSID_P4_TBMassFlow, IDC_MF_TUBE_SHAPE, 50, 0, 0, L"Rectangular Duct"}},
};

class UnreadCoupling : public OnlineCommit, public ::testing::WithParamInterface<Coupling> {};

TEST_P(UnreadCoupling, StoresNoZero) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline(CLSID_P4_TBMassFlow, 2));
    VARIANT_BOOL done = VARIANT_FALSE;
    switch (GetParam().breakdown) {
        case Breakdown::Abort:
            channel_->AbortConnection();
            ASSERT_TRUE(PumpMessagesUntil([this] { return session_.State() != 12u; }, 10000));
            break;
        case Breakdown::Release:
            ASSERT_HR(S_OK, session_.Dtm()->PrepareToReleaseCommunication(&done));
            ASSERT_HR(S_OK, session_.Dtm()->ReleaseCommunication(&done));
            channel_->DropCallback();  // nothing left for the fixture to release
            channel_.Reset();
            break;
        case Breakdown::ReadErrors:
            channel_->AddFault(
                {ChannelFault::DeviceError, kSimReadTransaction, 0, -1, 0, {0x80, 0xB0, 0x00}});
            break;
    }
    const float sizes[] = {V_R4(Stored(kDiameter, VT_R4).Get()), V_R4(Stored(kWidth, VT_R4).Get()),
                           V_R4(Stored(kLength, VT_R4).Get())};
    ASSERT_NO_FATAL_FAILURE(Enter(GetParam().picked));
    EXPECT_TRUE(Told(L"could not be read")) << LastUserMessage();
    EXPECT_NE(0u, V_UI4(Stored(kFlowUnit, VT_UI4).Get()));
    EXPECT_NE(0u, V_UI4(Stored(kFlowUnitCopy, VT_UI4).Get()));
    EXPECT_EQ(sizes[0], V_R4(Stored(kDiameter, VT_R4).Get()));
    EXPECT_EQ(sizes[1], V_R4(Stored(kWidth, VT_R4).Get()));
    EXPECT_EQ(sizes[2], V_R4(Stored(kLength, VT_R4).Get()));
}

INSTANTIATE_TEST_SUITE_P(MassFlowPage, UnreadCoupling, ::testing::ValuesIn(kCouplings),
                         NameOf<::testing::TestParamInfo<Coupling>>);

// --- a diameter the device answers as no number: the couplings compute nothing from it ---

struct NonFiniteCoupling {
    const char* name;
    Field picked;
    int deviceWrites;  // the committed field's own write
};

const NonFiniteCoupling kNonFiniteCouplings[] = {
    {"FlowUnitOnMassFlowPage", kFlowUnitPick, 1},
    {"MakerUnitOnMakerPage", {"", &CLSID_TBExtra, IDC_TBX_MAKER_UNIT, 56, 1, 115, L"SCFH"}, 1},
    {"DuctOnMassFlowPage", {"", &CLSID_P4_TBMassFlow, IDC_MF_TUBE_SHAPE, 50, 0, 0, L"Rectangular Duct"}, 0},
};

void PrintTo(const NonFiniteCoupling& c, std::ostream* out) { *out << c.name; }

class NonFiniteDiameter : public OnlineCommit,
                          public ::testing::WithParamInterface<std::tuple<NonFiniteCoupling, SimBytes>> {};

TEST_P(NonFiniteDiameter, IsToldUnreadAndNeitherWrittenNorStored) {
    const auto& [coupling, answer] = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*coupling.picked.page, 2));
    channel_->Device().FindRecord(1, 77)->bytes = answer;
    const ql::Variant sizes[] = {Stored(kDiameter, VT_R4), Stored(kWidth, VT_R4), Stored(kLength, VT_R4)};
    const int writes = channel_->Device().WriteCount();
    ASSERT_NO_FATAL_FAILURE(Enter(coupling.picked));
    EXPECT_TRUE(Told(L"could not be read")) << LastUserMessage();
    EXPECT_EQ(coupling.deviceWrites, channel_->Device().WriteCount() - writes) << "the diameter written";
    EXPECT_EQ(answer, DeviceBytes(1, 77));
    EXPECT_EQ(V_R4(sizes[0].Get()), V_R4(Stored(kDiameter, VT_R4).Get()));
    EXPECT_EQ(V_R4(sizes[1].Get()), V_R4(Stored(kWidth, VT_R4).Get()));
    EXPECT_EQ(V_R4(sizes[2].Get()), V_R4(Stored(kLength, VT_R4).Get()));
}

INSTANTIATE_TEST_SUITE_P(BlockPages, NonFiniteDiameter,
                         ::testing::Combine(::testing::ValuesIn(kNonFiniteCouplings),
                                            ::testing::Values(SimBytes{0x7F, 0xC0, 0, 0},
                                                              SimBytes{0xFF, 0x80, 0, 0})),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param)[0] == 0x7F ? "NaN" : "MinusInfinity");
                         });

// --- a silent device: one unanswered request ends the commit; no cyclic read of the page meanwhile ---

struct Silent {
    const char* name;
    Field field;
    ULONG frameMode;
};

const Silent kSilentCommits[] = {
    {"TagOnDeviceInfoPage", {"", &CLSID_P2_PBDevInfo, IDC_PB_TAG, 17, 0, 18, L"SILENT"}, 1},
    {"FlowUnitOnMassFlowPage", kFlowUnitPick, 2},
    {"PvScaleMemberOnAiFlowPage", {"", &CLSID_Q1_AIFBFlow, IDC_AF_PV_AT_100, 106, 0, 0, L"123"}, 1},
    {"TagOnAiTotalPage", {"", &CLSID_Q3_AIFBTotal, IDC_AT_TAG, 86, 0, 0, L"SILENT"}, 1},
};

class SilentDevice : public OnlineCommit, public ::testing::WithParamInterface<Silent> {};

TEST_P(SilentDevice, OneUnansweredRequestEndsTheCommit) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*GetParam().field.page, GetParam().frameMode));
    // Shown again now that the DTM is online: the page's cyclic reading runs.
    ASSERT_HR(S_OK, page_.Page()->Show(SW_HIDE));
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    channel_->AddFault({ChannelFault::Silence, kSimTransaction, 0, -1});
    const size_t before = channel_->CountRequests(kSimTransaction);
    ASSERT_NO_FATAL_FAILURE(Enter(GetParam().field));
    EXPECT_EQ(before + 1, channel_->CountRequests(kSimTransaction));
    EXPECT_TRUE(Told(L"Online Parameter Update Failure")) << LastUserMessage();
}

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, SilentDevice, ::testing::ValuesIn(kSilentCommits),
                         NameOf<::testing::TestParamInfo<Silent>>);

// --- the frame lets the page go inside the commit, holding no reference across the key it routes ---

class ClosedDuringCommit : public OnlineCommit, public ::testing::WithParamInterface<Field> {
protected:
    static ClosedDuringCommit* current_;
    static void CALLBACK Close(HWND, UINT, UINT_PTR timer, DWORD) {
        ::KillTimer(nullptr, timer);
        current_->control_.Reset();
        current_->page_.Reset();
    }
};
ClosedDuringCommit* ClosedDuringCommit::current_ = nullptr;

TEST_P(ClosedDuringCommit, EndsWithoutThePage) {
    ASSERT_NO_FATAL_FAILURE(OpenOnline(*GetParam().page));
    channel_->AddFault({ChannelFault::LateAnswer, kSimTransaction, 0, -1, 300});
    ::SetFocus(Item(GetParam().control));
    ::SendMessageW(Item(GetParam().control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(GetParam().text));
    MSG key{Item(GetParam().control), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    IPropertyPage* page = page_.Page();
    current_ = this;
    ASSERT_NE(0u, ::SetTimer(nullptr, 0, 50, &ClosedDuringCommit::Close));
    (void)page->TranslateAccelerator(&key);
    EXPECT_FALSE(page_.Page()) << "closed inside the commit's wait";
}

const Field kClosedFields[] = {
    {"DeviceInfoPage", &CLSID_P2_PBDevInfo, IDC_PB_TAG, 17, 0, 18, L"CLOSED"},
    {"MassFlowPage", &CLSID_P4_TBMassFlow, IDC_MF_HIGH_LIMIT, 48, 1, 85, L"12.5"},
    {"AiFlowPage", &CLSID_Q1_AIFBFlow, IDC_AF_FILTER_TIME, 74, 0, 0, L"3"},
    {"AiTotalPage", &CLSID_Q3_AIFBTotal, IDC_AT_TAG, 86, 0, 0, L"CLOSED"},
};

INSTANTIATE_TEST_SUITE_P(EveryBlockPage, ClosedDuringCommit, ::testing::ValuesIn(kClosedFields),
                         NameOf<::testing::TestParamInfo<Field>>);

}  // namespace
