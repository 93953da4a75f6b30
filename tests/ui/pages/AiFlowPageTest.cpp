// The AI flow block page hosted as the parameterization window hosts it, against the registered DTM offline
// and online with the simulated flowmeter: the records split into their member fields and joined back from
// them on Enter, the decimal point's formatting, and the record's row state reaching its members.
#include <windows.h>

#include <string>
#include <vector>

#include "VarnokP3.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/AiBlockResources.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr ULONG kOut = 69, kPvScale = 70, kOutScale = 71, kSimulation = 82, kHiHiLimit = 78;
constexpr ULONG kOutAt100 = 107, kOutAt0 = 108, kOutUnit = 109, kDecimalPoint = 110;
constexpr ULONG kSimValue = 111, kSimStatus = 112, kSimEnable = 113;

const Bytes kDefaultOutScale{0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0x05};

class AiFlowPageTest : public pagetest::BlockPageFixture {
protected:
    void OpenPage() { BlockPageFixture::OpenPage(CLSID_Q1_AIFBFlow); }
    void StoreBytes(ULONG id, const Bytes& bytes) { StoreValue(id, vtest::MakeBytes(bytes)); }
    std::string Stored(ULONG id) { return vtest::Describe(*StoredValue(id)); }
    // The DTM tells the page that the record changed, as after any store of it.
    void NotifyChanged(ULONG id) {
        ql::Variant value = StoredValue(id);
        ql::Variant payload = vtest::MakeArray<VARIANT>(VT_VARIANT, {*vtest::MakeUI4(id), *value});
        ASSERT_HR(S_OK, control_->OnNotify(0x2702, *payload));
    }
    bool ReadOnly(int id) { return (::GetWindowLongW(Item(id), GWL_STYLE) & ES_READONLY) != 0; }
};

TEST_F(AiFlowPageTest, ShowsTheOutScaleSplitIntoItsMembers) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kOutScale, kDefaultOutScale));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ("r4:100", Stored(kOutAt100));
    EXPECT_EQ("r4:0", Stored(kOutAt0));
    EXPECT_EQ("ui2:1342", Stored(kOutUnit));
    EXPECT_EQ("ui1:5", Stored(kDecimalPoint));
    // The limits follow the record's five decimals; every unit label names the unit the combo box shows.
    EXPECT_EQ(L"100.00000", Text(IDC_AF_OUT_AT_100));
    EXPECT_EQ(L"0.00000", Text(IDC_AF_OUT_AT_0));
    const std::wstring unit = Text(IDC_AF_OUT_UNIT);
    ASSERT_FALSE(unit.empty());
    for (int label : {6471, 6474, 6476, 6480, 6483, 6490, 6492, 6494, 6496, 6501}) {
        EXPECT_EQ(unit.substr(0, 9), Text(label)) << label;
    }
}

// A decimal point beyond what a float carries is kept to fifteen places.
TEST_F(AiFlowPageTest, DecimalPointIsKeptToFifteenPlaces) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kOutScale, {0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0xC8}));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ("ui1:200", Stored(kDecimalPoint));
    EXPECT_EQ(L"100.000000000000000", Text(IDC_AF_OUT_AT_100));
}

// The page's own reformatting is no edit: it marks nothing modified, and Apply afterwards writes none of the
// rounded numbers back, also for a limit that waits for a download (its row carries the modified bit).
TEST_F(AiFlowPageTest, DecimalPointFormatsTheNumbersAndMarksNothingModified) {
    for (ULONG access : {0x71u, 0x73u}) {
        SCOPED_TRACE(access);
        ASSERT_NO_FATAL_FAILURE(StoreBytes(kOutScale, {0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0x02}));
        ASSERT_NO_FATAL_FAILURE(StoreBytes(kOut, {0x41, 0x45, 0x87, 0xDD, 0x80}));  // 12.34567, good
        ql::Variant limit;
        limit.SetR4(12.3456f);
        ASSERT_NO_FATAL_FAILURE(StoreValue(kHiHiLimit, limit));
        (void)Access(kHiHiLimit, &access);
        ASSERT_NO_FATAL_FAILURE(OpenPage());
        ASSERT_NO_FATAL_FAILURE(NotifyChanged(kOutScale));

        EXPECT_EQ(L"100.00", Text(IDC_AF_OUT_AT_100));
        EXPECT_EQ(L"0.00", Text(IDC_AF_OUT_AT_0));
        EXPECT_EQ(L"12.35", Text(IDC_AF_OUT_VALUE));
        EXPECT_EQ(L"12.35", Text(IDC_AF_HIHI_LIMIT));
        ASSERT_HR(S_OK, page_.Page()->Apply());
        EXPECT_FLOAT_EQ(12.3456f, V_R4(StoredValue(kHiHiLimit).Get()));
        EXPECT_EQ(access & 0x02u, Access(kHiHiLimit) & 0x02u);
        ClosePage();
    }
}

TEST_F(AiFlowPageTest, EnterInAMemberWritesItsRecord) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kOutScale, kDefaultOutScale));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AF_OUT_AT_100, L"250"));
    EXPECT_TRUE(LastMessageHas(L"Offline Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(Bytes({0x43, 0x7A, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0x05}), StoredBytes(kOutScale));
    EXPECT_EQ("r4:250", Stored(kOutAt100));
    // Shown again on its own, the limit takes its row's format.
    EXPECT_EQ(L"250", Text(IDC_AF_OUT_AT_100));
}

// Apply writes the record of an edited member as Enter does.
TEST_F(AiFlowPageTest, ApplyWritesTheRecordOfAnEditedMember) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kOutScale, kDefaultOutScale));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ::SendMessageW(Item(IDC_AF_DECIMAL_POINT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2"));
    ASSERT_HR(S_OK, page_.Page()->Apply());
    EXPECT_EQ(Bytes({0x42, 0xC8, 0, 0, 0, 0, 0, 0, 0x05, 0x3E, 0x02}), StoredBytes(kOutScale));
}

// A sibling field that holds no number refuses the whole record: nothing is written as 0.
TEST_F(AiFlowPageTest, AnInvalidSiblingBlocksTheRecord) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kOutScale, kDefaultOutScale));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ::SendMessageW(Item(IDC_AF_OUT_AT_0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"abc"));
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AF_OUT_AT_100, L"250"));
    EXPECT_TRUE(LastMessageHas(L"Offline Parameter Update Failure")) << LastUserMessage();
    EXPECT_EQ(kDefaultOutScale, StoredBytes(kOutScale));

    // A sibling that is a number again lets the record go.
    ::SendMessageW(Item(IDC_AF_OUT_AT_0), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"10"));
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AF_OUT_AT_100, L"250"));
    EXPECT_TRUE(LastMessageHas(L"Offline Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(Bytes({0x43, 0x7A, 0, 0, 0x41, 0x20, 0, 0, 0x05, 0x3E, 0x05}), StoredBytes(kOutScale));
}

TEST_F(AiFlowPageTest, SimulationSplitsAndJoinsBack) {
    const Bytes simulation{0x80, 0x41, 0x20, 0, 0, 0x01};
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kSimulation, simulation));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ("ui1:128", Stored(kSimStatus));
    EXPECT_EQ("r4:10", Stored(kSimValue));
    EXPECT_EQ("ui1:1", Stored(kSimEnable));

    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AF_SIM_VALUE, L"12.5"));
    EXPECT_TRUE(LastMessageHas(L"Offline Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ(Bytes({0x80, 0x41, 0x48, 0, 0, 0x01}), StoredBytes(kSimulation));
}

// What Enter in a text or number field writes: the record or octet string in its own length.
TEST_F(AiFlowPageTest, EnterWritesTheFieldInItsRecordsLength) {
    struct Case {
        int control;
        const wchar_t* typed;
        ULONG id;
        Bytes expected;
    };
    Bytes tag(32, 0x20), unitText(16, 0x20);
    for (size_t i = 0; i < 5; ++i) tag[i] = static_cast<BYTE>('A' + i);
    for (size_t i = 0; i < 4; ++i) unitText[i] = static_cast<BYTE>("kg/h"[i]);
    const Case cases[] = {
        {IDC_AF_TAG, L"ABCDE", 62, tag},
        {IDC_AF_OUT_UNIT_TEXT, L"kg/h", 83, unitText},
        {IDC_AF_PV_AT_100, L"100", kPvScale, {0x42, 0xC8, 0, 0, 0, 0, 0, 0}},
    };
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kPvScale, {0x41, 0x20, 0, 0, 0, 0, 0, 0}));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_NO_FATAL_FAILURE(TypeAndEnter(c.control, c.typed));
        EXPECT_TRUE(LastMessageHas(L"Offline Parameter Update Success")) << LastUserMessage();
        EXPECT_EQ(c.expected, StoredBytes(c.id));
    }
}

// A record the user may not write makes its members read-only and gives them its access word.
TEST_F(AiFlowPageTest, AReadOnlyRecordMakesItsMembersReadOnly) {
    const ULONG readOnly = 0x70;
    (void)Access(kOutScale, &readOnly);
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    for (int id : {IDC_AF_OUT_AT_100, IDC_AF_OUT_AT_0, IDC_AF_DECIMAL_POINT}) EXPECT_TRUE(ReadOnly(id)) << id;
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_AF_OUT_UNIT)));
    EXPECT_EQ(readOnly, Access(kOutAt100) & 0xFF);
    EXPECT_FALSE(ReadOnly(IDC_AF_PV_AT_100));
}

// A reload while a transfer marks a record gives its members the record's state but not the transfer's
// mark: their access words stay clean, and their values still go into the dataset.
TEST_F(AiFlowPageTest, ARecordsTransferMarkStaysWithTheRecord) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const ULONG before = Access(kOutScale);
    for (ULONG mark : {0x1000u, 0x2000u}) {
        SCOPED_TRACE(mark);
        const ULONG marked = before | mark;
        (void)Access(kOutScale, &marked);
        ASSERT_NO_FATAL_FAILURE(NotifyChanged(kOutScale));
        (void)Access(kOutScale, &before);
        for (ULONG member : {kOutAt100, kOutAt0, kOutUnit, kDecimalPoint}) {
            EXPECT_EQ(before & 0xFF, Access(member) & 0xFF) << member;
            EXPECT_EQ(0u, Access(member) & 0x3000) << member;
        }
    }
    ql::Variant five;
    five.SetR4(5.0f);
    StoreValue(kOutAt0, five);
    EXPECT_EQ("r4:5", Stored(kOutAt0));
}

TEST_F(AiFlowPageTest, EnterOnlineWritesTheRecordToTheDevice) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(SetOnline());
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AF_OUT_AT_100, L"250"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    const SimulatedRecord* scale = channel_->Device().FindRecord(1, 28);
    ASSERT_TRUE(scale);
    EXPECT_EQ(Bytes({0x43, 0x7A, 0, 0}), Bytes(scale->bytes.begin(), scale->bytes.begin() + 4));
    // The device's record read back reaches the members: the fields show it in its decimals.
    EXPECT_EQ("r4:250", Stored(kOutAt100));
    EXPECT_EQ(L"250.00000", Text(IDC_AF_OUT_AT_100));

    // The device refuses the next write: the failure is told and the device keeps its record.
    channel_->AddFault(ChannelFaultRule{ChannelFault::Fail, kSimTransaction, 0, 1});
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AF_OUT_AT_100, L"300"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Failure")) << LastUserMessage();
    EXPECT_EQ(Bytes({0x43, 0x7A, 0, 0}), Bytes(scale->bytes.begin(), scale->bytes.begin() + 4));
}

TEST_F(AiFlowPageTest, ShowsModeAndBlockObject) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(66, {0x08, 0x98, 0x08}));
    Bytes blockObject(20, 0);
    blockObject[12] = 3;
    ASSERT_NO_FATAL_FAILURE(StoreBytes(60, blockObject));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ(L"Auto", Text(IDC_AF_ACTUAL_MODE));
    EXPECT_EQ(L"Auto", Text(IDC_AF_NORMAL_MODE));
    EXPECT_TRUE(Checked(IDC_AF_PERMITTED_AUTO) && Checked(IDC_AF_PERMITTED_OS) &&
                Checked(IDC_AF_PERMITTED_MAN));
    EXPECT_EQ(L"Ver 3.00", Text(IDC_AF_PROFILE_REVISION));
}

}  // namespace
