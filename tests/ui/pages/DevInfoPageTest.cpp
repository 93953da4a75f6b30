// The device information page as the parameterization window hosts it: created through COM from the
// registered module, sited and activated in a frame window, initialised with the registered DTM (offline,
// or online with the simulated flowmeter), and edited through its dialog: typed text and the Enter key.
#include <windows.h>

#include <string>

#include "VarnokP3.h"
#include "classlib/PropertyPageSite.h"
#include "classlib/SafeArray.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "ui/pages/PageResources.h"

namespace {

using controltest::WindowText;

constexpr ULONG kBlockObject = 15, kTag = 17, kAlarm = 22, kManufacturer = 25;

class PageSite final : public ql::ComObjectBase<PageSite>, public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(PageSite, QL_ENTRY_CHAIN(ql::PropertyPageSite))
};

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

class DevInfoPageTest : public controltest::DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        frameWindow_.Attach(::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                              900, 700, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(frameWindow_);
        ASSERT_HR(S_OK, ql::MakeObject(site_));
    }
    void TearDown() override {
        page_.Reset();
        frameWindow_.Reset();
        site_.Reset();
        DtmFixture::TearDown();
    }

    // Creates, sites, shows and initialises the page as the tree frame does.
    void OpenPage() {
        IUnknown* dtm = session_.Object();
        ASSERT_HR(S_OK, page_.Create(CLSID_P2_PBDevInfo, site_.Get(), 1, &dtm));
        ASSERT_HR(S_OK, page_.Activate(frameWindow_.Get(), RECT{0, 0, 800, 620}));
        ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
        dialog_ = ::GetWindow(frameWindow_.Get(), GW_CHILD);
        ASSERT_TRUE(dialog_);
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), control_));
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, control_->Init(dtm, &ok));
        ASSERT_EQ(VARIANT_TRUE, ok);
    }
    void SetOnline() {
        ql::ComPtr<IQuelkPageMode> mode;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), mode));
        ASSERT_HR(S_OK, mode->SetOnline(1));
    }
    void StoreBytes(ULONG id, const SimBytes& bytes) {
        ql::Variant value = BytesVariant(bytes);
        ASSERT_HR(S_OK, Store()->SetValue(id, *value));
    }
    SimBytes StoredBytes(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        return VariantBytes(*value);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    bool Checked(int id) const { return ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    // A person types `text` into the field and presses Enter in it.
    void TypeAndEnter(int id, const wchar_t* text) {
        ::SetFocus(Item(id));
        ::SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        MSG key{Item(id), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        frame_->ClearCalls();
        (void)page_.Page()->TranslateAccelerator(&key);
    }
    std::wstring LastUserMessage() const {
        const auto* call = frame_->LastCall(L"UserDialog");
        return call && call->Arguments.size() > 1 ? call->Arguments[1] : std::wstring();
    }

    ql::WindowOwner frameWindow_;
    ql::ComPtr<PageSite> site_;
    ql::HostedPropertyPage page_;
    ql::ComPtr<IQuelkControl> control_;
    HWND dialog_ = nullptr;
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

}  // namespace
