// SetValue, the device result and update rules: what is stored, what is announced, what is marked modified.
#include <gmock/gmock.h>

#include "DatasetTestSupport.h"
#include "classlib/ComPtr.h"
#include "dataset/QuelkValuesImage.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ValueSettingTest = StoreTest;

// A text of one byte: half a UTF-16 character, as a caller's SysAllocStringByteLen or the platform's
// conversion of a byte string of odd length makes it.
ql::Variant HalfCharacterText() {
    ql::Variant text;
    text.AttachBstr(::SysAllocStringByteLen("A", 1));
    return text;
}

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

    EXPECT_HR(S_OK, object->Part().SetValue(7ul, *MakeUI4(7)));
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
        {"half a character on text", 23, HalfCharacterText(), E_INVALIDARG, "bstr:'0A1B'", {}},
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

// The quiet setters take no text that a save could not carry either: the record keeps its value and the
// dataset still saves.
TEST_F(ValueSettingTest, QuietSettersRefuseATextOfAnOddByteCount) {
    const struct {
        const char* name;
        std::function<HRESULT()> set;
    } cases[] = {
        {"ChangeValue, text", [&] { return store().ChangeValue(23, HalfCharacterText().Get(), nullptr); }},
        {"ChangeValue, odd byte string",
         [&] { return store().ChangeValue(23, MakeBytes({0x41}).Get(), nullptr); }},
        {"SetVariableField, value",
         [&] { return store().SetVariableField(23, kFieldValue, *HalfCharacterText()); }},
    };
    const std::string before = ValueOf(23);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_HR(E_INVALIDARG, c.set());
        EXPECT_EQ(before, ValueOf(23));
    }
    ql::ComPtr<IStream> stream;
    ASSERT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    EXPECT_HR(S_OK, CQuelkValuesImage::SaveToStream(store(), stream.Get()));
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
