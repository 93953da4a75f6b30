// The device information page as the parameterization window hosts it: created through COM from the
// registered module, sited and activated in a frame window, initialised with the registered DTM (offline,
// or online with the simulated flowmeter), and edited through its dialog: typed text and the Enter key.
#include <windows.h>

#include <string>

#include "VarnokP3.h"
#include "classlib/PropertyPageSite.h"
#include "classlib/SafeArray.h"
#include "dataset/VariableFields.h"
#include "tests/ui/pages/BlockPageFixture.h"
#include "ui/pages/PageResources.h"

namespace {

using controltest::WindowText;

constexpr ULONG kBlockObject = 15, kTag = 17, kAlarm = 22, kManufacturer = 25;

SimBytes VariantBytes(const VARIANT& value) {
    SimBytes bytes;
    if (V_VT(&value) != (VT_ARRAY | VT_UI1)) return bytes;
    ql::SafeArrayData<BYTE> data(V_ARRAY(&value));
    const ULONG count = V_ARRAY(&value)->rgsabound[0].cElements;
    if (SUCCEEDED(data.Status())) bytes.assign(data.Data(), data.Data() + count);
    return bytes;
}

ql::Variant BytesVariant(const SimBytes& bytes) {
    ql::SafeArray array;
    ql::Variant value;
    if (FAILED(array.Create(VT_UI1, static_cast<ULONG>(bytes.size())))) return value;
    {
        ql::SafeArrayData<BYTE> data(array.Get());
        for (size_t i = 0; i < bytes.size(); ++i) data[i] = bytes[i];
    }
    value.AttachArray(VT_UI1, array.Detach());
    return value;
}

SimBytes PaddedTag(const std::string& text) {
    SimBytes bytes(32, 0x20);
    for (size_t i = 0; i < text.size() && i < 32; ++i) bytes[i] = static_cast<BYTE>(text[i]);
    return bytes;
}

class DevInfoPageTest : public pagetest::BlockPageFixture {
protected:
    void OpenPage() { BlockPageFixture::OpenPage(CLSID_P2_PBDevInfo); }
    void StoreBytes(ULONG id, const SimBytes& bytes) {
        ql::Variant value = BytesVariant(bytes);
        ASSERT_HR(S_OK, Store()->SetValue(id, *value));
    }
    SimBytes StoredBytes(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        return VariantBytes(*value);
    }
};

TEST_F(DevInfoPageTest, ShowsTheBlockFromTheDataset) {
    SimBytes tag = PaddedTag("TAG-ZERO-AT-TEN");
    tag[10] = 0;
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kTag, tag));
    SimBytes blockObject(20, 0);
    blockObject[12] = 3;
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kBlockObject, blockObject));
    ASSERT_NO_FATAL_FAILURE(StoreBytes(kAlarm, SimBytes{0x82, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    ql::Variant manufacturer;
    manufacturer.Put()->vt = VT_UI2;
    V_UI2(manufacturer.Get()) = 0x1A2B;
    ASSERT_HR(S_OK, Store()->SetValue(kManufacturer, *manufacturer));

    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ(L"TAG-ZERO-A", Text(IDC_PB_TAG));
    EXPECT_EQ(L"Ver 3.00", Text(IDC_PB_PROFILE_REVISION));
    EXPECT_TRUE(Checked(IDC_PB_ALARM_MODIFICATION) && Checked(IDC_PB_ALARM_HIGH));
    EXPECT_FALSE(Checked(IDC_PB_WARNING_HIGH) || Checked(IDC_PB_ALARM_LOW) || Checked(IDC_PB_WARNING_LOW));
    EXPECT_EQ(L"Unknown (0x1A2B)", Text(IDC_PB_MANUFACTURER));
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_PB_STATIC_REVISION_VALUE)));
}

TEST_F(DevInfoPageTest, EnterOfflineStoresTheTagInTheDataset) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_PB_TAG, L"ABCDE"));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"Offline Parameter Update Success"))
        << LastUserMessage();
    EXPECT_EQ(PaddedTag("ABCDE"), StoredBytes(kTag));

    // A character above 0x7F is one byte of its own code, the rest still blanks.
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_PB_TAG, L"A\u00e9B"));
    EXPECT_EQ(PaddedTag("A\xE9"
                        "B"),
              StoredBytes(kTag));
}

TEST_F(DevInfoPageTest, EnterInAnInvalidFieldRollsBackAndWritesNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    const std::wstring alertKey = Text(IDC_PB_ALERT_KEY);
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_PB_ALERT_KEY, L"999"));  // beyond the 8-bit alert key
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"Parameter Update Failure")) << LastUserMessage();
    EXPECT_EQ(alertKey, Text(IDC_PB_ALERT_KEY));

    // A window that carries no row commits nothing and tells nothing.
    ::SetFocus(Item(IDC_PB_ACTUAL_MODE));
    MSG key{Item(IDC_PB_ACTUAL_MODE), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    frame_->ClearCalls();
    (void)page_.Page()->TranslateAccelerator(&key);
    EXPECT_EQ(0u, frame_->CountCalls(L"UserDialog"));
}

TEST_F(DevInfoPageTest, EnterOnlineWritesTheDeviceAndReportsARefusal) {
    ASSERT_NO_FATAL_FAILURE(GoOnline());
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    ASSERT_NO_FATAL_FAILURE(SetOnline());

    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_PB_TAG, L"FT-101"));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"Online Parameter Update Success"))
        << LastUserMessage();
    EXPECT_EQ(PaddedTag("FT-101"), channel_->Device().FindRecord(0, 18)->bytes);

    // The channel refuses the write's transaction.
    channel_->AddFault(ChannelFaultRule{ChannelFault::Fail, kSimTransaction, 0, 1});
    ASSERT_NO_FATAL_FAILURE(TypeAndEnter(IDC_PB_TAG, L"REFUSED"));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"Online Parameter Update Failure"))
        << LastUserMessage();
    EXPECT_EQ(PaddedTag("FT-101"), channel_->Device().FindRecord(0, 18)->bytes);
}

// A value given straight into a record's value field, in another type than the record's: the page shows it
// as the record's own type would show.
struct FieldValueCase {
    const char* name;
    ULONG id;
    const wchar_t* text;  // the value as a text; null: `number` as VT_I4
    LONG number;
    int item;
};

const FieldValueCase kFieldValues[] = {
    {"StrategyGivenAText", 18, L"7", 0, IDC_PB_STRATEGY},
    {"AlertKeyGivenAText", 19, L"7", 0, IDC_PB_ALERT_KEY},
    {"SoftwareRevisionGivenANumber", 23, nullptr, 7, IDC_PB_SOFTWARE_REVISION},
};

class DevInfoFieldValue : public DevInfoPageTest, public ::testing::WithParamInterface<FieldValueCase> {};

TEST_P(DevInfoFieldValue, ShowsItInTheRecordsType) {
    const FieldValueCase& c = GetParam();
    const ql::Variant value = c.text ? vtest::MakeBstr(c.text) : vtest::MakeI4(c.number);
    ql::ComPtr<IQuelkVariableFields> fields;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(Store(), fields));
    ASSERT_HR(S_OK, fields->SetVariableField(*vtest::MakeUI4(c.id), *vtest::MakeUI4(kFieldValue), *value));
    ASSERT_NO_FATAL_FAILURE(OpenPage());
    EXPECT_EQ(L"7", Text(c.item));
}

INSTANTIATE_TEST_SUITE_P(ValueField, DevInfoFieldValue, ::testing::ValuesIn(kFieldValues),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
