// The AI totalizer block page hosted as the parameterization window hosts it, against the registered DTM
// offline and online with the simulated flowmeter: the totalizer with its status, the mode block, the unit
// labels after a value and after Enter, and the byte widths of what Enter writes.
#include <windows.h>

#include <string>
#include <vector>

#include "VarnokP3.h"
#include "frame/MessagePump.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/AiBlockResources.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr ULONG kModeBlock = 90, kTotalizer = 93, kUnit = 94, kSetTotalizer = 96;
constexpr int kUnitLabels[] = {6471, 6483, 6484, 6486, 6487};

class AiTotalPageTest : public pagetest::BlockPageFixture {
protected:
    void OpenPage() { BlockPageFixture::OpenPage(CLSID_Q3_AIFBTotal); }
    void StoreBytes(ULONG id, const Bytes& bytes) { StoreValue(id, vtest::MakeBytes(bytes)); }
    void ExpectUnitLabels(const wchar_t* unit) {
        for (int label : kUnitLabels) EXPECT_EQ(unit, Text(label)) << label;
    }
};

TEST_F(AiTotalPageTest, ShowsTotalizerModeAndUnit) {
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kTotalizer, {0x42, 0xC8, 0x00, 0x00, 0x80}));
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kModeBlock, {0x80, 0x98, 0x08}));
    ql::Variant unit;
    unit.SetUI4(1088);
    ASSERT_HR(S_OK, unit.ChangeType(VT_UI2));
    ASSERT_NO_FATAL_FAILURE(StoreValue(kUnit, unit));
    ASSERT_NO_FATAL_FAILURE(OpenPage());

    EXPECT_EQ(L"100.00000", Text(IDC_AT_VALUE));
    EXPECT_FALSE(Text(IDC_AT_QUALITY).empty());
    EXPECT_FALSE(Text(IDC_AT_SUBSTATUS).empty());
    EXPECT_FALSE(Text(IDC_AT_LIMITS).empty());
    EXPECT_EQ(L"Out Of Service", Text(IDC_AT_ACTUAL_MODE));
    EXPECT_EQ(L"Auto", Text(IDC_AT_NORMAL_MODE));
    EXPECT_TRUE(Checked(IDC_AT_PERMITTED_AUTO) && Checked(IDC_AT_PERMITTED_OS) &&
                Checked(IDC_AT_PERMITTED_MAN));
    EXPECT_EQ(L"kg", Text(IDC_AT_UNIT));
    ExpectUnitLabels(L"kg");
}

TEST_F(AiTotalPageTest, EnterWritesEachFieldInItsType) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_AT_UNIT, L"lb"));
    EXPECT_TRUE(LastMessageHas(L"Offline Parameter Update Success")) << LastUserMessage();
    EXPECT_EQ("ui2:1094", vtest::Describe(*StoredValue(kUnit)));
    ExpectUnitLabels(L"lb");

    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_AT_SET_TOTALIZER, L"RESET"));
    EXPECT_EQ("ui1:1", vtest::Describe(*StoredValue(kSetTotalizer)));

    Bytes tag(32, 0x20);
    for (size_t i = 0; i < 6; ++i) tag[i] = static_cast<BYTE>("FT-101"[i]);
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_AT_TAG, L"FT-101"));
    EXPECT_EQ(tag, StoredBytes(86));
}

TEST_F(AiTotalPageTest, EnterOnlineWritesTheDevice) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(SetOnline());
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(IDC_AT_UNIT, L"lb"));
    EXPECT_TRUE(LastMessageHas(L"Online Parameter Update Success")) << LastUserMessage();
    const SimulatedRecord* unit = channel_->Device().FindRecord(2, 27);
    ASSERT_TRUE(unit);
    EXPECT_EQ(Bytes({0x04, 0x46}), unit->bytes);
    ExpectUnitLabels(L"lb");
}

// The page reads only while a person sees it: hidden after the window went offline, it reads no more though
// the DTM stays online.
TEST_F(AiTotalPageTest, ReadsCyclicallyOnlyWhileShown) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(SetOnline());
    ASSERT_HR(S_OK, page_.Page()->Show(SW_HIDE));
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    const auto readsWithin = [this](DWORD milliseconds) {
        const size_t before = channel_->CountRequests(kSimTransaction);
        (void)PumpMessagesUntil([] { return false; }, milliseconds);
        return channel_->CountRequests(kSimTransaction) - before;
    };
    EXPECT_NE(0u, readsWithin(2300)) << "no cyclic read while shown online";
    ql::ComPtr<IQuelkPageMode> mode;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), mode));
    ASSERT_HR(S_OK, mode->SetOnline(0));
    ASSERT_HR(S_OK, page_.Page()->Show(SW_HIDE));
    EXPECT_EQ(0u, readsWithin(2300));
}

}  // namespace
