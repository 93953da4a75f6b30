// The parameterization window as the frame opens it: the DTM's online or offline function against the
// simulated flowmeter, hosted in the frame's container, driven by the messages a person's actions cause.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/AxControlSite.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "ui/frame/TreeFrameResources.h"

namespace {

using controltest::WindowText;

constexpr DWORD kWaitMs = 10000;
constexpr ULONG kAccessWordField = 0x4000;

// Whether every page the window hosts is served by the module (until then the window shows no tree).
bool AllPagesServed() {
    const wchar_t* const pages[] = {L"VarnokP3.P1_Root",      L"VarnokP3.P2_PBDevInfo", L"VarnokP3.P3_PBDiagnosis",
                                    L"VarnokP3.P4_TBMassFlow", L"VarnokP3.TBExtra",      L"VarnokP3.Q1_AIFBFlow",
                                    L"VarnokP3.Q3_AIFBTotal"};
    for (const wchar_t* progId : pages) {
        CLSID clsid{};
        ql::ComPtr<IPropertyPage> page;
        if (FAILED(::CLSIDFromProgID(progId, &clsid)) ||
            FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.PutVoid()))) {
            return false;
        }
    }
    return true;
}

class TreeFrameTest : public controltest::HostedUiFixture {
protected:
    void Open(long functionId) {
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
        frame_->ClearCalls();
        // A page that cannot be created fails the window's start-up, and the frame closes it at once.
        if (!AllPagesServed()) {
            EXPECT_HR(S_FALSE, ui_.OpenFunction(session_.Object(), functionId));
            EXPECT_FALSE(ui_.IsOpen());
            GTEST_SKIP() << "the module serves not every page yet";
        }
        ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), functionId));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
    }
    // The start-up timer has fired (the window's first second) and what it started has ended.
    void PassStartUp() {
        const DWORD start = ::GetTickCount();
        PumpMessagesUntil([start] { return ::GetTickCount() - start > 1500; }, kWaitMs);
        PumpContainerMessages(ui_.Container());
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    std::wstring DisplayOf(ULONG id) {
        ql::Variant value;
        EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
        EXPECT_HR(S_OK, value.ChangeType(VT_BSTR));
        return V_BSTR(value.Get()) ? V_BSTR(value.Get()) : L"";
    }

};

TEST_F(TreeFrameTest, OnlineWindowShowsTheHeaderUploadsOnceAndClosesOnceWhenDisconnected) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    if (IsSkipped()) return;
    EXPECT_EQ(DisplayOf(13), WindowText(Item(IDC_TF_DEVICE_ID)));
    EXPECT_EQ(DisplayOf(12), WindowText(Item(IDC_TF_SERIAL)));
    EXPECT_EQ(DisplayOf(14), WindowText(Item(IDC_TF_TAG)));
    EXPECT_FALSE(::IsWindowVisible(Item(IDOK)) || ::IsWindowVisible(Item(IDCANCEL)) ||
                 ::IsWindowVisible(Item(IDC_TF_APPLY)));
    EXPECT_EQ(AllPagesServed() ? 10u : 0u, TreeView_GetCount(Item(IDC_TF_TREE)));

    const int readsBefore = channel_->Device().ReadCount();
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    EXPECT_LT(readsBefore, channel_->Device().ReadCount());
    ASSERT_LT(0u, frame_->CountCalls(L"NotifyProgress"));
    const auto first = std::find_if(frame_->Calls().begin(), frame_->Calls().end(),
                                    [](const FrameCall& call) { return call.Method == L"NotifyProgress"; });
    EXPECT_EQ(L"Parameter Upload", first->Arguments[1]);
    EXPECT_EQ(L"", frame_->LastCall(L"NotifyProgress")->Arguments[1]);
    for (ULONG id : {13u, 46u, 69u}) EXPECT_EQ(0u, Access(id) & 0x1000) << id;

    // The DTM leaves the connected state and passes two more: one message and one close request.
    frame_->ClearCalls();
    ql::ComPtr<IQuelkDpv1Communication> dpv1;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(session_.Object(), dpv1));
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, dpv1->DisconnectRequest(0, channel_->Device().StationAddress(), &sent));
    ASSERT_TRUE(PumpMessagesUntil([this] { return !ui_.IsOpen(); }, kWaitMs));
    EXPECT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    EXPECT_EQ(1u, frame_->CountCalls(L"CloseActiveXControlRequest"));
}

TEST_F(TreeFrameTest, OfflineWindowReadsNothingAndScrollsOnTrack) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    if (IsSkipped()) return;
    const int readsBefore = channel_->Device().ReadCount();
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    EXPECT_EQ(readsBefore, channel_->Device().ReadCount());
    EXPECT_EQ(0u, frame_->CountCalls(L"NotifyProgress"));

    // The page area is lower than the virtual 600 pixels: the vertical bar scrolls while the thumb is dragged.
    const HWND bar = Item(IDC_TF_VSCROLL);
    ASSERT_TRUE(::IsWindowVisible(bar));
    ::SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(40, ::GetScrollPos(bar, SB_CTL));
    ::SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 90), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(40, ::GetScrollPos(bar, SB_CTL));
    ::SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 5000), reinterpret_cast<LPARAM>(bar));
    SCROLLINFO info{sizeof info, SIF_ALL};
    ASSERT_TRUE(::GetScrollInfo(bar, SB_CTL, &info));
    EXPECT_EQ(static_cast<int>(info.nMax - info.nPage + 1), info.nPos);

    // Without pages F1 has no page help to show.
    HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_TF_TREE};
    frame_->ClearCalls();
    ::SendMessageW(dialog_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    if (!AllPagesServed()) {
        EXPECT_EQ(0u, frame_->CountCalls(L"UserDialog"));
    }
}

// Esc with Cancel hidden leaves the window open; the frame's close then releases the pages, the window and
// the DTM: the module holds nothing afterwards.
TEST_F(TreeFrameTest, EscapeKeepsTheWindowAndTheFramesCloseReleasesEverything) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    if (IsSkipped()) return;
    ::SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PumpContainerMessages(ui_.Container());
    EXPECT_TRUE(ui_.IsOpen());
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
