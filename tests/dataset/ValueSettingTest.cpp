// SetValue, the device result and update rules: what is stored, what is announced, what is marked modified.
#include <gmock/gmock.h>

#include "DatasetTestSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ValueSettingTest = StoreTest;

TEST(ValueSettingStandaloneTest, EqualValueIsAnnouncedButNotStored) {
    ql::ComPtr<CTestStoreObject> object;
    ASSERT_HR(S_OK, ql::MakeObject(object));
    RecordingHost host;
    object->Store().AttachHost(&host);
    ParameterDefinition d;
    d.Kind = ParameterKind::Numeric;
    d.Id = 7;
    d.DataType = VT_UI2;
    d.MaxNumber = 65535;
    d.DefaultNumber = d.ValueNumber = 7;
    d.Persistent = 1;
    d.Access = 0x71;
    CQuelkVariableStore::AddNumericParameter(&object->Store().Variables(), d, nullptr);

    EXPECT_HR(S_OK, object->SetValue(7ul, *MakeUI4(7)));
    EXPECT_THAT(host.notifications, ElementsAre("2702 [ui4:7, ui2:7]"));
    EXPECT_THAT(host.modifiedMarks, IsEmpty());
}

TEST_F(ValueSettingTest, ConvertsToTheParameterType) {
    const struct {
        const char* name;
        ULONG id;
        ql::Variant value;
        HRESULT hr;
        const char* stored;
        std::vector<std::string> notifications;
    } cases[] = {
        {"empty text on UI1", 19, MakeBstr(L""), S_OK, "ui1:0", {"2702 [ui4:19, ui1:0]"}},
        {"hex text on bytes", 21, MakeBstr(L"0A1B"), S_OK, "bytes:0A1B", {"2702 [ui4:21, bytes:0A1B]"}},
        {"odd hex text", 21, MakeBstr(L"0A1"), E_INVALIDARG, "bytes:0A1B", {}},  // unchanged
        {"bytes on text", 23, MakeBytes({0x0A, 0x1B}), S_OK, "bstr:'0A1B'", {"2702 [ui4:23, bstr:'0A1B']"}},
        {"letters on R4", 39, MakeBstr(L"abc"), DISP_E_TYPEMISMATCH, "r4:1", {}},
        {"text on R4", 39, MakeBstr(L"2.5"), S_OK, "r4:2.5", {"2702 [ui4:39, r4:2.5]"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host_.notifications.clear();
        host_.modifiedMarks.clear();
        if (c.id == 19) {
            ASSERT_HR(S_OK, store().ChangeValue(19, MakeUI4(5).Get(), nullptr));
        }
        EXPECT_HR(c.hr, variables()->SetValue(c.id, *c.value));
        EXPECT_EQ(c.stored, ValueOf(c.id));
        EXPECT_EQ(c.notifications, host_.notifications);
        EXPECT_EQ(c.hr == S_OK ? std::vector<bool>{true} : std::vector<bool>{}, host_.modifiedMarks);
    }
}

TEST_F(ValueSettingTest, TransientChangesAndChangesUnderTheTransferMarkAreNotMarkedModified) {
    EXPECT_HR(S_OK, variables()->SetValue(6, *MakeUI4(5)));
    EXPECT_EQ("ui1:5", ValueOf(6));
    EXPECT_THAT(host_.notifications, ElementsAre("2702 [ui4:6, ui1:5]"));
    EXPECT_THAT(host_.modifiedMarks, IsEmpty());
    host_.notifications.clear();

    SetAccess(39, 0x71 | kAccessOnlineTransferMark);
    EXPECT_HR(S_OK, variables()->SetValue(39, *MakeBstr(L"2.5")));
    EXPECT_HR(S_OK, variables()->SetValue(39, *MakeBstr(L"1")));
    EXPECT_EQ("r4:1", ValueOf(39));
    EXPECT_THAT(host_.notifications, ElementsAre("2800 [ui4:39, bstr:'2.5']", "2702 [ui4:39, r4:1]"));
    EXPECT_THAT(host_.modifiedMarks, IsEmpty());
}

// A persistent change that was stored stays marked modified when announcing it fails, so the next save
// keeps it; the failure still reaches the caller and the update rule does not run.
TEST_F(ValueSettingTest, StoredChangeIsMarkedModifiedWhenTheBroadcastFails) {
    ASSERT_HR(S_OK,
              fields()->SetVariableField(*MakeUI4(39), *MakeUI4(kFieldUpdateRule), *MakeBstr(L"update(16)")));
    host_.notificationResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, variables()->SetValue(39, *MakeBstr(L"2.5")));
    EXPECT_EQ("r4:2.5", ValueOf(39));
    EXPECT_THAT(host_.modifiedMarks, ElementsAre(true));
    EXPECT_THAT(device_.calls, IsEmpty());
}

HRESULT g_afterSetResult = S_OK;
IQuelkVariablesEx* g_hookStore = nullptr;
int g_beforeSetCalls = 0;
HRESULT AfterSetHook(IQuelkVariablesEx* store, ULONG) {
    g_hookStore = store;
    return g_afterSetResult;
}
HRESULT RefusingBeforeSetHook(IQuelkVariablesEx*, ULONG) {
    ++g_beforeSetCalls;
    return E_ACCESSDENIED;
}

TEST_F(ValueSettingTest, HooksAroundTheStore) {
    ParameterDefinition d;
    d.Kind = ParameterKind::Numeric;
    d.Id = 900;
    d.DataType = VT_UI2;
    d.Persistent = 1;
    d.Access = 0x71;
    d.Hooks.OnAfterSetValue = AfterSetHook;
    CQuelkVariableStore::AddNumericParameter(&store().Variables(), d, nullptr);
    d.Id = 901;
    d.Hooks.OnBeforeSetValue = RefusingBeforeSetHook;
    CQuelkVariableStore::AddNumericParameter(&store().Variables(), d, nullptr);

    g_afterSetResult = S_OK;
    EXPECT_HR(S_OK, variables()->SetValue(900, *MakeUI4(3)));
    EXPECT_EQ(variables(), g_hookStore);

    // A failing after-hook leaves the value stored and marked, skips the announcement, returns its code.
    host_.notifications.clear();
    host_.modifiedMarks.clear();
    g_afterSetResult = E_ACCESSDENIED;
    EXPECT_HR(E_ACCESSDENIED, variables()->SetValue(900, *MakeUI4(4)));
    EXPECT_EQ("ui2:4", ValueOf(900));
    EXPECT_THAT(host_.modifiedMarks, ElementsAre(true));
    EXPECT_THAT(host_.notifications, IsEmpty());

    // A failing before-hook changes nothing.
    host_.modifiedMarks.clear();
    EXPECT_HR(E_ACCESSDENIED, variables()->SetValue(901, *MakeUI4(4)));
    EXPECT_EQ(1, g_beforeSetCalls);
    EXPECT_EQ("ui2:0", ValueOf(901));
    EXPECT_THAT(host_.modifiedMarks, IsEmpty());
}

TEST_F(ValueSettingTest, DeviceResultStoresAndClearsTheDifferenceButNotUnderTheMarks) {
    SetAccess(16, 0x50 | kAccessDiffers);
    EXPECT_HR(S_OK, variables()->OnDeviceResult(VARIANT_TRUE, 16, *MakeUI4(9), nullptr));
    EXPECT_TRUE(store().LastResultOk());
    EXPECT_EQ("ui2:9", ValueOf(16));
    EXPECT_EQ(0x50u, AccessOf(16));
    EXPECT_THAT(host_.notifications, ElementsAre("2702 [ui4:16, ui2:9]", "2702 [ui4:16, ui4:16]"));
    EXPECT_THAT(host_.modifiedMarks, ElementsAre(true));

    ASSERT_HR(S_OK, store().ChangeValue(16, MakeUI4(0).Get(), nullptr));
    host_.notifications.clear();
    host_.modifiedMarks.clear();
    SetAccess(16, 0x50 | kAccessCompareMark);
    EXPECT_HR(S_OK, variables()->OnDeviceResult(VARIANT_TRUE, 16, *MakeUI4(9), nullptr));
    EXPECT_EQ("ui4:9", Describe(*store().CompareValue()));
    EXPECT_EQ("ui2:0", ValueOf(16));
    EXPECT_THAT(host_.notifications, IsEmpty());

    SetAccess(16, 0x50 | kAccessOnlineTransferMark);
    EXPECT_HR(S_OK, variables()->OnDeviceResult(VARIANT_TRUE, 16, *MakeUI4(9), nullptr));
    EXPECT_EQ("ui2:0", ValueOf(16));
    EXPECT_EQ(0x1050u, AccessOf(16));
    EXPECT_THAT(host_.notifications, ElementsAre("2800 [ui4:16, ui4:9]", "2801 ui4:16"));
    EXPECT_THAT(host_.modifiedMarks, IsEmpty());
}

TEST_F(ValueSettingTest, FailedDeviceResultShowsTheDatasetValueAgain) {
    ql::Bstr error(L"Access denied, ReadRequest Parameter 0.17");
    EXPECT_HR(S_OK, variables()->OnDeviceResult(VARIANT_FALSE, 16, *MakeUI4(9), error.Get()));
    EXPECT_FALSE(store().LastResultOk());
    EXPECT_EQ(L"Access denied, ReadRequest Parameter 0.17", store().LastResultText().View());
    EXPECT_NE(error.Get(), store().LastResultText().Get());
    EXPECT_THAT(host_.messages, ElementsAre("16 'Access denied, ReadRequest Parameter 0.17' ui4:9"));
    EXPECT_THAT(host_.notifications, ElementsAre("2702 [ui4:16, ui2:0]"));
    EXPECT_EQ("ui2:0", ValueOf(16));
    EXPECT_EQ(0x50u, AccessOf(16));
}

TEST_F(ValueSettingTest, NotifyParameterWrittenUnderTheTransferMark) {
    EXPECT_HR(S_OK, store().NotifyParameterWritten(16, 0x50 | kAccessOnlineTransferMark | kAccessDiffers));
    EXPECT_EQ(0x50u, AccessOf(16));
    EXPECT_THAT(host_.notifications, ElementsAre("2801 ui4:16"));
    EXPECT_HR(E_INVALIDARG, store().NotifyParameterWritten(kInvalidParameterId, 0x50));
}

TEST_F(ValueSettingTest, ParseUpdateRuleReadsEveryListedParameter) {
    const struct {
        const wchar_t* rule;
        HRESULT hr;
        std::vector<std::string> reads;
    } cases[] = {
        {L"update(16)", S_OK, {"read 16"}},
        {L"update(16,32)", S_OK, {"read 16", "read 32"}},
        {L"update( 16 , 32)", S_OK, {"read 16", "read 32"}},
        // The letter reads as 0, which names no parameter: that failure is the answer.
        {L"update(16,x)", E_INVALIDARG, {"read 16"}},
        {L"update(3)", S_OK, {}},  // an internal item is not read from the device
        {L"update(", E_INVALIDARG, {}},
        {L"refresh(16)", E_INVALIDARG, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.rule));
        device_.calls.clear();
        ql::Bstr rule(c.rule);
        EXPECT_HR(c.hr, variables()->ParseUpdateRule(1, rule.Get()));
        EXPECT_EQ(c.reads, device_.calls);
    }
}

TEST_F(ValueSettingTest, RunUpdateRuleFlags) {
    ASSERT_HR(S_OK,
              fields()->SetVariableField(*MakeUI4(39), *MakeUI4(kFieldUpdateRule), *MakeBstr(L"update(16)")));
    EXPECT_HR(S_FALSE, variables()->RunUpdateRule(39, 0));
    EXPECT_HR(S_OK, variables()->RunUpdateRule(39, 2));
    EXPECT_THAT(device_.calls, IsEmpty());
    EXPECT_HR(S_OK, variables()->RunUpdateRule(40, 1));  // empty rule
    EXPECT_HR(E_INVALIDARG, variables()->RunUpdateRule(8, 1));
    EXPECT_HR(S_OK, variables()->RunUpdateRule(39, 1));
    EXPECT_THAT(device_.calls, ElementsAre("read 16"));
}

// The device answers every read with a new value, as a changing measurement would. A rule that reads its
// own parameter, or two rules that read each other's, would call each other without end.
TEST_F(ValueSettingTest, UpdateRulesDoNotReenterThemselves) {
    USHORT next = 100;
    device_.onRead = [&](ULONG id) {
        ql::Variant value;
        value.SetI4(next++);
        EXPECT_HR(S_OK, store().OnDeviceResult(VARIANT_TRUE, id, *value, nullptr));
    };
    ASSERT_HR(S_OK,
              fields()->SetVariableField(*MakeUI4(16), *MakeUI4(kFieldUpdateRule), *MakeBstr(L"update(16)")));
    EXPECT_HR(S_OK, variables()->SetValue(16, *MakeUI4(1)));
    EXPECT_THAT(device_.calls, ElementsAre("read 16"));
    EXPECT_EQ("ui2:100", ValueOf(16));

    device_.calls.clear();
    ASSERT_HR(S_OK,
              fields()->SetVariableField(*MakeUI4(16), *MakeUI4(kFieldUpdateRule), *MakeBstr(L"update(18)")));
    ASSERT_HR(S_OK,
              fields()->SetVariableField(*MakeUI4(18), *MakeUI4(kFieldUpdateRule), *MakeBstr(L"update(16)")));
    EXPECT_HR(S_OK, variables()->SetValue(16, *MakeUI4(2)));
    EXPECT_THAT(device_.calls, ElementsAre("read 18", "read 16"));
}

}  // namespace
