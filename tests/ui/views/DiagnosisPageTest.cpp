// The diagnosis page as the parameterization window hosts it: created through COM, sited and activated in a
// frame window, initialised with the registered DTM; the device's diagnosis arrives as the DTM's new-value
// notification and shows as ticked, enabled boxes.
#include <windows.h>

#include <initializer_list>
#include <set>

#include "VarnokP3.h"
#include "classlib/PropertyPageSite.h"
#include "classlib/SafeArray.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "ui/views/ViewResources.h"

namespace {

constexpr ULONG kDeviceValueNotify = 0x2800;

class PageSite final : public ql::ComObjectBase<PageSite>, public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(PageSite, QL_ENTRY_CHAIN(ql::PropertyPageSite))
};

// The notification's [id, value] payload; with `empty` the value is VT_EMPTY.
ql::Variant IdValuePayload(ULONG id, std::initializer_list<BYTE> bytes, bool empty = false) {
    ql::Variant value;
    if (!empty) {
        ql::SafeArray array;
        if (FAILED(array.Create(VT_UI1, static_cast<ULONG>(bytes.size())))) return value;
        {
            ql::SafeArrayData<BYTE> data(array.Get());
            size_t i = 0;
            for (BYTE byte : bytes) data[i++] = byte;
        }
        value.AttachArray(VT_UI1, array.Detach());
    }
    VARIANT element;
    ::VariantInit(&element);
    V_VT(&element) = VT_UI4;
    V_UI4(&element) = id;
    ql::SafeArray pair;
    ql::Variant payload;
    if (FAILED(pair.Create(VT_VARIANT, 2))) return payload;
    LONG index = 0;
    (void)::SafeArrayPutElement(pair.Get(), &index, &element);
    index = 1;
    (void)::SafeArrayPutElement(pair.Get(), &index, value.Get());
    payload.AttachArray(VT_VARIANT, pair.Detach());
    return payload;
}

class DiagnosisPageTest : public controltest::DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        frameWindow_.Attach(::CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                              900, 700, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(frameWindow_);
        ASSERT_HR(S_OK, ql::MakeObject(site_));
        IUnknown* dtm = session_.Object();
        ASSERT_HR(S_OK, page_.Create(CLSID_P3_PBDiagnosis, site_.Get(), 1, &dtm));
        ASSERT_HR(S_OK, page_.Activate(frameWindow_.Get(), RECT{0, 0, 800, 620}));
        dialog_ = ::GetWindow(frameWindow_.Get(), GW_CHILD);
        ASSERT_TRUE(dialog_);
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), control_));
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, control_->Init(dtm, &ok));
        ASSERT_EQ(VARIANT_TRUE, ok);
    }
    void TearDown() override {
        control_.Reset();
        page_.Reset();
        frameWindow_.Reset();
        site_.Reset();
        DtmFixture::TearDown();
    }
    void SetOnline() {
        ql::ComPtr<IQuelkPageMode> mode;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(page_.Page(), mode));
        ASSERT_HR(S_OK, mode->SetOnline(1));
    }
    void Notify(const ql::Variant& payload) {
        ASSERT_HR(S_OK, control_->OnNotify(kDeviceValueNotify, *payload));
    }
    // The boxes of the given range that are ticked; each ticked box must be enabled, each empty one greyed.
    std::set<int> TickedBoxes(int first, int last) const {
        std::set<int> ticked;
        for (int id = first; id <= last; ++id) {
            const HWND box = ::GetDlgItem(dialog_, id);
            const bool checked = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            EXPECT_EQ(checked, ::IsWindowEnabled(box) != FALSE) << id;
            if (checked) ticked.insert(id);
        }
        return ticked;
    }
    // Whether the page's window receives a timer tick within one reading period and a bit.
    bool TimerTicks() const {
        const DWORD end = ::GetTickCount() + 2300;
        MSG message;
        while (::GetTickCount() < end) {
            if (::PeekMessageW(&message, dialog_, WM_TIMER, WM_TIMER, PM_NOREMOVE)) return true;
            ::Sleep(20);
        }
        return false;
    }

    ql::WindowOwner frameWindow_;
    ql::ComPtr<PageSite> site_;
    ql::HostedPropertyPage page_;
    ql::ComPtr<IQuelkControl> control_;
    HWND dialog_ = nullptr;
};

TEST_F(DiagnosisPageTest, ShowsEachSetBitAsATickedEnabledBox) {
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    ASSERT_NO_FATAL_FAILURE(SetOnline());
    // Byte 2 of the diagnosis is not shown.
    Notify(IdValuePayload(29, {0x01, 0x00, 0xFF, 0x80}));
    EXPECT_EQ((std::set<int>{6019, 6042}), TickedBoxes(IDC_DIAG_STATION1_BIT0, IDC_DIAG_DEVICE_BIT0 + 7));
    // Bytes beyond the extension's two are ignored.
    Notify(IdValuePayload(30, {0x0F, 0x80, 0xFF}));
    EXPECT_EQ((std::set<int>{6043, 6044, 6045, 6046, 6058}), TickedBoxes(IDC_DIAG_PROCESS_BIT0, 6058));
    Notify(IdValuePayload(30, {}, true));
    Notify(IdValuePayload(29, {}));
    EXPECT_EQ(std::set<int>{}, TickedBoxes(IDC_DIAG_STATION1_BIT0, IDC_DIAG_DEVICE_BIT0 + 7));
}

TEST_F(DiagnosisPageTest, ReadsOnlyWhileShownOnline) {
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    EXPECT_FALSE(TimerTicks());
    ASSERT_NO_FATAL_FAILURE(SetOnline());
    ASSERT_HR(S_OK, page_.Page()->Show(SW_HIDE));
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    EXPECT_TRUE(TimerTicks());
    ASSERT_HR(S_OK, page_.Page()->Show(SW_HIDE));
    MSG drained;
    while (::PeekMessageW(&drained, dialog_, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    EXPECT_FALSE(TimerTicks());
}

TEST_F(DiagnosisPageTest, LaysEachOverlayOverItsGroup) {
    ASSERT_HR(S_OK, page_.Page()->Show(SW_SHOW));
    for (auto [overlay, group] : {std::pair{IDC_DIAG_FRAME_OVERLAY, IDC_DIAG_FRAME},
                                  std::pair{IDC_DIAG_DEVICE_OVERLAY, IDC_DIAG_DEVICE}}) {
        RECT area{}, cover{};
        ::GetWindowRect(::GetDlgItem(dialog_, group), &area);
        ::GetWindowRect(::GetDlgItem(dialog_, overlay), &cover);
        EXPECT_TRUE(::EqualRect(&area, &cover)) << overlay;
    }
}

}  // namespace
