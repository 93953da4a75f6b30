#pragma once
// A block page as the parameterization window hosts it: created through COM from the registered module,
// sited and activated in a frame window, initialised with the registered DTM (offline, or online with the
// simulated flowmeter), and edited through its dialog: typed text and the Enter key.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "VarnokP3.h"
#include "classlib/PropertyPageSite.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/support/TestVariants.h"

namespace pagetest {

using controltest::WindowText;

// A simulated record's four bytes as the big-endian float the device keeps; NaN for any other record.
inline float DeviceFloat(const SimulatedRecord* record) {
    if (!record || record->bytes.size() != 4) return NAN;
    const ULONG bits = (ULONG{record->bytes[0]} << 24) | (ULONG{record->bytes[1]} << 16) |
                       (ULONG{record->bytes[2]} << 8) | record->bytes[3];
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

class PageSite final : public ql::ComObjectBase<PageSite>, public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(PageSite, QL_ENTRY_CHAIN(ql::PropertyPageSite))
};

class BlockPageFixture : public controltest::DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        frameWindow_.Attach(::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                              900, 700, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(frameWindow_);
        ASSERT_HR(S_OK, ql::MakeObject(site_));
    }
    void TearDown() override {
        ClosePage();
        frameWindow_.Reset();
        site_.Reset();
        DtmFixture::TearDown();
    }

    // Creates, sites, shows and initialises the page as the tree frame does.
    void OpenPage(REFCLSID clsid) {
        IUnknown* dtm = session_.Object();
        ASSERT_HR(S_OK, page_.Create(clsid, site_.Get(), 1, &dtm));
        ASSERT_HR(S_OK, page_.Activate(frameWindow_.Get(), RECT{0, 0, 800, 620}));
        ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
        dialog_ = ::GetWindow(frameWindow_.Get(), GW_CHILD);
        ASSERT_TRUE(dialog_);
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), control_));
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, control_->Init(dtm, &ok));
        ASSERT_EQ(VARIANT_TRUE, ok);
        // The DTM's notifications reach the page as the window relays them: the page is an open control.
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(dtm, functions_));
        ASSERT_HR(S_OK, functions_->ActiveXControlEvent(ql::Bstr(kPageInvokeId).Get(), control_.Get()));
    }
    // Lets the page go as the window does when it closes.
    void ClosePage() {
        if (functions_) (void)functions_->ActiveXControlEvent(ql::Bstr(kPageInvokeId).Get(), nullptr);
        functions_.Reset();
        control_.Reset();
        page_.Reset();
    }
    // The page works on the device, in the online parameterization's frame mode, as the window tells it.
    void SetOnline() {
        ql::ComPtr<IQuelkPageMode> mode;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), mode));
        ASSERT_HR(S_OK, mode->SetOnline(1));
        ASSERT_HR(S_OK, mode->SetFrameMode(2));
    }
    void SetFrameMode(ULONG mode) {
        ql::ComPtr<IQuelkPageMode> pageMode;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), pageMode));
        ASSERT_HR(S_OK, pageMode->SetFrameMode(mode));
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
    // A person picks `text` in the combo box and presses Enter in it.
    void PickAndEnter(int id, const wchar_t* text) {
        const HWND combo = Item(id);
        const LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text));
        ASSERT_NE(CB_ERR, index) << text;
        ::SetFocus(combo);
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        MSG key{combo, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
        frame_->ClearCalls();
        (void)page_.Page()->TranslateAccelerator(&key);
    }
    void StoreValue(ULONG id, const ql::Variant& value) { ASSERT_HR(S_OK, Store()->SetValue(id, *value)); }
    ql::Variant StoredValue(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        return value;
    }
    std::vector<BYTE> StoredBytes(ULONG id) { return vtest::Elements<BYTE>(*StoredValue(id)); }
    void StoreFloat(ULONG id, float number) {
        ql::Variant value;
        value.SetR4(number);
        StoreValue(id, value);
    }
    // A unit code in the 16 bits the dataset keeps it in.
    void StoreUnit(ULONG id, USHORT unit) {
        ql::Variant value;
        value.Put()->vt = VT_UI2;
        V_UI2(value.Get()) = unit;
        StoreValue(id, value);
    }
    ULONG StoredUnit(ULONG id) {
        ql::Variant value = StoredValue(id);
        EXPECT_HR(S_OK, value.ChangeType(VT_UI4));
        return V_UI4(value.Get());
    }
    float StoredFloat(ULONG id) {
        ql::Variant value = StoredValue(id);
        EXPECT_HR(S_OK, value.ChangeType(VT_R4));
        return V_R4(value.Get());
    }
    // Whether the frame's last user message holds `text` (its caption or its text).
    bool LastMessageHas(const wchar_t* text) const {
        return LastUserMessage().find(text) != std::wstring::npos;
    }
    std::wstring LastUserMessage() const {
        const auto* call = frame_->LastCall(L"UserDialog");
        return call && call->Arguments.size() > 1 ? call->Arguments[1] : std::wstring();
    }

    ql::WindowOwner frameWindow_;
    ql::ComPtr<PageSite> site_;
    ql::HostedPropertyPage page_;
    ql::ComPtr<IQuelkControl> control_;
    ql::ComPtr<IQuelkFunctions> functions_;
    HWND dialog_ = nullptr;
    static constexpr const wchar_t* kPageInvokeId = L"6F1B2C4D-0000-4000-8000-000000000001";
};

}  // namespace pagetest
