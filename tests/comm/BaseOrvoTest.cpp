// The DP-V1 test control as a person uses it: opened by the frame by its ProgID with the registered DTM,
// online with the simulated flowmeter, driven through its dialog (typed fields, clicked buttons), and
// closed through its Cancel button, after which the module has nothing left alive.
#include <windows.h>

#include <cstdio>
#include <string>

#include "classlib/AxControlSite.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "comm/BaseOrvoResources.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "tests/controls/base/ControlTestSupport.h"

namespace {

using controltest::WindowText;

constexpr DWORD kWaitMs = 10000;

// A byte array as the data field shows it: each byte as two hex digits and a blank.
std::wstring DisplayedBytes(const SimBytes& bytes) {
    std::wstring text;
    for (BYTE b : bytes) {
        wchar_t pair[4];
        std::swprintf(pair, 4, L"%02X ", b);
        text += pair;
    }
    return text;
}

class BaseOrvoTest : public controltest::HostedUiFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
        ASSERT_HR(S_OK, ui_.OpenControl(L"VarnokP3.BaseOrvo", session_.Object()));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
    }

    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    void Type(int id, const wchar_t* text) { ASSERT_TRUE(::SetWindowTextW(Item(id), text)); }
    // A person's click: only on an enabled button.
    void Click(int id) {
        ASSERT_TRUE(::IsWindowEnabled(Item(id))) << "button " << id << " is disabled";
        ::SendMessageW(Item(id), BM_CLICK, 0, 0);
        PumpContainerMessages(ui_.Container());
    }
    void ClickAndWaitForState(int id, ULONG state) {
        ASSERT_NO_FATAL_FAILURE(Click(id));
        ASSERT_TRUE(PumpMessagesUntil([&] { return session_.State() == state; }, kWaitMs));
        PumpContainerMessages(ui_.Container());
    }
    void SelectRecord(BYTE slot, BYTE index) {
        ASSERT_NO_FATAL_FAILURE(Type(IDC_ORVO_SLOT, std::to_wstring(slot).c_str()));
        ASSERT_NO_FATAL_FAILURE(Type(IDC_ORVO_INDEX, std::to_wstring(index).c_str()));
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
};

TEST_F(BaseOrvoTest, ConnectsReadsWritesAndDisconnectsThroughItsDialog) {
    // Online already (the DTM connects by itself): Read, Write and Disconnect.
    EXPECT_FALSE(Enabled(IDC_ORVO_CONNECT));
    EXPECT_TRUE(Enabled(IDC_ORVO_READ) && Enabled(IDC_ORVO_WRITE) && Enabled(IDC_ORVO_DISCONNECT));

    ASSERT_NO_FATAL_FAILURE(ClickAndWaitForState(IDC_ORVO_DISCONNECT, 9));
    EXPECT_TRUE(Enabled(IDC_ORVO_CONNECT));
    EXPECT_FALSE(Enabled(IDC_ORVO_READ) || Enabled(IDC_ORVO_SLOT));

    const BYTE station = channel_->Device().StationAddress();
    ASSERT_NO_FATAL_FAILURE(Type(IDC_ORVO_STATION, std::to_wstring(station).c_str()));
    ASSERT_NO_FATAL_FAILURE(Type(IDC_ORVO_API, L"0"));
    ASSERT_NO_FATAL_FAILURE(ClickAndWaitForState(IDC_ORVO_CONNECT, 12));
    EXPECT_TRUE(Enabled(IDC_ORVO_READ) && Enabled(IDC_ORVO_SLOT) && Enabled(IDC_ORVO_DATA));
    EXPECT_EQ(L"", Text(IDC_ORVO_MESSAGES));  // a successful connection empties the messages

    // A record the device holds: its bytes in the data field, as read from the device.
    channel_->Device().SetFrozen(true);
    auto readable = channel_->Device().Records().begin();
    while (!readable->second.readable) ++readable;
    const auto& [readAddress, readRecord] = *readable;
    const int readsBefore = channel_->Device().ReadCount();
    ASSERT_NO_FATAL_FAILURE(SelectRecord(readAddress.first, readAddress.second));
    ASSERT_NO_FATAL_FAILURE(Click(IDC_ORVO_READ));
    EXPECT_EQ(readsBefore + 1, channel_->Device().ReadCount());
    EXPECT_EQ(DisplayedBytes(readRecord.bytes), Text(IDC_ORVO_DATA));
    EXPECT_EQ(L"", Text(IDC_ORVO_MESSAGES));

    // "2A" written to a one-byte writable record reaches the device.
    const BYTE slot = 1, index = 75;  // a one-byte record the device lets anyone write
    ASSERT_NO_FATAL_FAILURE(SelectRecord(slot, index));
    ASSERT_NO_FATAL_FAILURE(Type(IDC_ORVO_DATA, L"2A"));
    ASSERT_NO_FATAL_FAILURE(Click(IDC_ORVO_WRITE));
    EXPECT_EQ(SimBytes{0x2A}, channel_->Device().FindRecord(slot, index)->bytes);
    EXPECT_EQ(L"", Text(IDC_ORVO_MESSAGES));

    // A slot the device does not have: the DP-V1 error's text, and the buttons back.
    ASSERT_NO_FATAL_FAILURE(SelectRecord(250, 1));
    ASSERT_NO_FATAL_FAILURE(Click(IDC_ORVO_READ));
    const std::wstring error = Text(IDC_ORVO_MESSAGES);
    EXPECT_NE(std::wstring::npos, error.find(L"slot")) << error;
    EXPECT_TRUE(Enabled(IDC_ORVO_READ));

    ASSERT_NO_FATAL_FAILURE(ClickAndWaitForState(IDC_ORVO_DISCONNECT, 9));
    EXPECT_TRUE(Enabled(IDC_ORVO_CONNECT));
    EXPECT_FALSE(Enabled(IDC_ORVO_DISCONNECT) || Enabled(IDC_ORVO_DATA));
}

// Printing or previewing the open control: IViewObject::Draw paints what its window shows, the dialog's
// face and its fields, labels and buttons, into a bitmap as into a metafile.
TEST_F(BaseOrvoTest, DrawPaintsTheActiveControlsWindow) {
    ql::ComPtr<IViewObject> view;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(ui_.Container().Control(), view));
    RECT client{};
    ASSERT_TRUE(::GetClientRect(dialog_, &client));
    const RECTL bounds{0, 0, client.right, client.bottom};
    // Whether some pixel of the item's place in the picture has `color`.
    auto shows = [this](HDC picture, int id, COLORREF color) {
        RECT place{};
        ::GetWindowRect(Item(id), &place);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&place), 2);
        for (int y = place.top; y < place.bottom; ++y)
            for (int x = place.left; x < place.right; ++x)
                if (::GetPixel(picture, x, y) == color) return true;
        return false;
    };

    ql::WindowDc screen(nullptr);
    for (const bool metafile : {false, true}) {
        SCOPED_TRACE(metafile ? "metafile" : "bitmap");
        ql::Bitmap bitmap(::CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
        ql::MemoryDc picture(screen.Get(), bitmap.Get());
        ::FillRect(picture.Get(), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        if (metafile) {
            HDC recording = ::CreateEnhMetaFileW(screen.Get(), nullptr, nullptr, nullptr);
            ASSERT_TRUE(recording);
            const HRESULT drawn = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, recording,
                                             &bounds, nullptr, nullptr, 0);
            HENHMETAFILE recorded = ::CloseEnhMetaFile(recording);
            ASSERT_TRUE(recorded);
            EXPECT_HR(S_OK, drawn);
            EXPECT_TRUE(::PlayEnhMetaFile(picture.Get(), recorded, &client));
            ::DeleteEnhMetaFile(recorded);
        } else {
            EXPECT_HR(S_OK, view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.Get(),
                                       &bounds, nullptr, nullptr, 0));
        }
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), ::GetPixel(picture.Get(), 1, 1)) << "the dialog's face";
        EXPECT_TRUE(shows(picture.Get(), IDC_ORVO_STATION, ::GetSysColor(COLOR_WINDOW))) << "an edit field";
        EXPECT_TRUE(shows(picture.Get(), IDC_ORVO_STATION_LABEL, ::GetSysColor(COLOR_WINDOWTEXT)))
            << "a label";
        EXPECT_TRUE(shows(picture.Get(), IDOK, ::GetSysColor(COLOR_BTNTEXT))) << "a button's caption";
    }
}

// Cancel posts the close request: the frame prepares the release and lets the control go; once the frame
// has let the DTM go too, the module has no object left.
TEST_F(BaseOrvoTest, CancelClosesThroughTheFrameAndTheModuleCanUnload) {
    ASSERT_NO_FATAL_FAILURE(Click(IDCANCEL));
    ASSERT_TRUE(PumpMessagesUntil([this] { return !ui_.IsOpen(); }, kWaitMs));
    EXPECT_HR(S_OK, ui_.LastReleaseResult());

    ReleaseAll();
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    const HMODULE module = ::GetModuleHandleW(L"VarnokP3.dll");
    ASSERT_TRUE(module);
    const auto canUnload =
        reinterpret_cast<CanUnload>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    ASSERT_TRUE(canUnload);
    EXPECT_HR(S_OK, canUnload());
}

}  // namespace
