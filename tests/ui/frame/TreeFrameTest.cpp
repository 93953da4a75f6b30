// The parameterization window as the frame opens it: the DTM's online or offline function against the
// simulated flowmeter, hosted in the frame's container, driven by the messages a person's actions cause.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

#include "QuelkInterfaces.h"
#include "UiComponentInterfaces.h"
#include "VarnokP3.h"
#include "classlib/AxControlSite.h"
#include "controls/base/ControlArguments.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "frame/UiScript.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/support/ServerModule.h"
#include "tests/ui/frame/PageDouble.h"
#include "tests/ui/frame/TreeReading.h"
#include "ui/frame/TreeFrameConstants.h"
#include "ui/frame/TreeFrameResources.h"

namespace {

using controltest::WindowText;
using frametest::FindTreeItem;
using frametest::PageClass;
using frametest::PageDouble;
using frametest::TreeRow;
using treeframe::PageInfo;

constexpr DWORD kWaitMs = 10000;

struct PageClassTitle {
    const CLSID* classId;
    const wchar_t* title;
};
const PageClassTitle kPages[] = {
    {&CLSID_P1_Root, L"Varnok Thermal Mass Flowmeter"},
    {&CLSID_P2_PBDevInfo, L"Varnok Thermal Mass Flowmeter\\Physical Block\\Deivce Info"},
    {&CLSID_P3_PBDiagnosis, L"Varnok Thermal Mass Flowmeter\\Physical Block\\Diagnosis"},
    {&CLSID_P4_TBMassFlow, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Mass Flow"},
    {&CLSID_TBExtra, L"Varnok Thermal Mass Flowmeter\\Transducer Block\\Orvo Extension"},
    {&CLSID_Q1_AIFBFlow, L"Varnok Thermal Mass Flowmeter\\AI Function Block\\Flow"},
    {&CLSID_Q3_AIFBTotal, L"Varnok Thermal Mass Flowmeter\\AI Function Block\\Totalizer"},
};

ql::Variant I4(LONG value) {
    ql::Variant v;
    v.SetI4(value);
    return v;
}

// The frame's answer to a question: the button the user pressed.
std::wstring UserMessageAnswer(const wchar_t* button) {
    return std::wstring(
               L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" "
               L"xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><FDTUserMessage "
               L"messageType=\"messageQuestion\" messageButtons=\"buttonsYesNoCancel\" resultMessage=\"") +
           button + L"\"/></FDT>";
}

// A window's place within the parameterization window, comparable and printable.
struct Box {
    LONG left, top, right, bottom;
    bool operator==(const Box& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};
void PrintTo(const Box& box, std::ostream* out) {
    *out << "(" << box.left << ", " << box.top << ") - (" << box.right << ", " << box.bottom << ")";
}

class TreeFrameTest : public controltest::HostedUiFixture {
protected:
    // The page of `index` becomes a double of the test's (its title kept, so the tree stays the same).
    PageDouble& StandIn(size_t index) {
        auto page = std::make_unique<PageDouble>();
        page->title = kPages[index].title;
        PageDouble& added = *page;
        doubles_.push_back(std::move(page));
        classes_.push_back(std::make_unique<PageClass>(*kPages[index].classId, &added));
        return added;
    }
    void Open(long functionId, HRESULT expected = S_OK) {
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
        frame_->ClearCalls();
        ASSERT_HR(expected, ui_.OpenFunction(session_.Object(), functionId));
        if (expected != S_OK) return;
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
    }
    // The start-up timer has fired (the window's first second) and what it started has ended.
    void PassStartUp() { PumpFor(ui_.Container(), 1500); }
    void Press(UINT key) {
        PressKey(key);
        PumpContainerMessages(ui_.Container());
    }
    bool WaitUntilClosed() {
        return PumpMessagesUntil(
            [this] {
                PumpContainerMessages(ui_.Container());
                return !ui_.IsOpen();
            },
            kWaitMs);
    }
    template <class Interface>
    ql::ComPtr<Interface> Query() {
        ql::ComPtr<Interface> answer;
        EXPECT_HR(S_OK, ql::QueryInterfaceTo(ui_.Container().Control(), answer));
        return answer;
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    HWND Tree() const { return Item(IDC_TF_TREE); }
    // `window`'s rectangle within the window's own.
    Box Place(HWND window) const {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }
    // The windows of the pages in page order (each page's window is a child of the page area).
    std::vector<HWND> PageWindows() const {
        std::vector<HWND> windows;
        for (HWND w = ::GetWindow(Item(IDC_TF_PAGE_AREA), GW_CHILD); w; w = ::GetWindow(w, GW_HWNDNEXT))
            windows.push_back(w);
        return windows;
    }
    int ShownPage() const {
        const std::vector<HWND> windows = PageWindows();
        int shown = -1;
        for (size_t index = 0; index < windows.size(); ++index) {
            if (::IsWindowVisible(windows[index])) {
                EXPECT_EQ(-1, shown) << "two pages shown";
                shown = static_cast<int>(index);
            }
        }
        return shown;
    }
    void Select(const char* text) {
        const HTREEITEM item = FindTreeItem(Tree(), text);
        ASSERT_TRUE(item) << text;
        ASSERT_TRUE(TreeView_SelectItem(Tree(), item));
        PumpContainerMessages(ui_.Container());
    }
    std::wstring LastUserMessage() const {
        const FrameCall* call = frame_->LastCall(L"UserDialog");
        return call ? call->Arguments[1] : std::wstring();
    }
    HRESULT CanUnload() {
        ReleaseAll();
        return vtest::ServerCanUnloadNow(L"VarnokP3.dll");
    }

    std::vector<std::unique_ptr<PageDouble>> doubles_;
    std::vector<std::unique_ptr<PageClass>> classes_;
};

TEST_F(TreeFrameTest, TheTreeShowsEveryPageExpandedWithTheImageOfItsDepth) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const std::vector<TreeRow> expected{
        {"Varnok Thermal Mass Flowmeter", 0, 0, 0},
        {"Physical Block", 1, -1, 1},
        {"Deivce Info", 2, 1, 2},
        {"Diagnosis", 2, 2, 2},
        {"Transducer Block", 1, -1, 1},
        {"Mass Flow", 2, 3, 2},
        {"Orvo Extension", 2, 4, 2},
        {"AI Function Block", 1, -1, 1},
        {"Flow", 2, 5, 2},
        {"Totalizer", 2, 6, 2},
    };
    EXPECT_EQ(expected, frametest::TreeRows(Tree(), true));
    const auto images =
        reinterpret_cast<HIMAGELIST>(::SendMessageW(Tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_TRUE(images);
    EXPECT_EQ(3, ::ImageList_GetImageCount(images));
    EXPECT_EQ(7u, PageWindows().size());
    EXPECT_EQ(0, ShownPage()) << "the root page first";
}

// The window takes the size of its largest page: the widest is the test's, the tallest the mass flow page;
// the frame application's window grows with it, and every page is activated at that size.
TEST_F(TreeFrameTest, TheWindowGrowsToItsLargestPage) {
    PageInfo massFlow;
    {
        ql::ComPtr<IPropertyPage> page;
        ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_P4_TBMassFlow, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IPropertyPage, page.PutVoid()));
        ASSERT_HR(S_OK, page->GetPageInfo(&massFlow.info));
    }
    const SIZE largest{700, massFlow.info.size.cy};
    PageDouble& totalizer = StandIn(6);
    totalizer.size = {largest.cx, 300};
    ASSERT_NO_FATAL_FAILURE(Open(1));
    // Wide enough for the widest page: its page area needs no horizontal bar.
    const Box area = Place(Item(IDC_TF_PAGE_AREA));
    EXPECT_LE(largest.cx + 4, area.right - area.left);
    for (HWND page : PageWindows()) {
        RECT rect{};
        ::GetWindowRect(page, &rect);
        EXPECT_EQ(largest.cx, rect.right - rect.left);
        EXPECT_EQ(largest.cy, rect.bottom - rect.top);
    }
}

// Every item of the tree shows its page, a block the first page below it, and the selection follows there.
TEST_F(TreeFrameTest, EveryTreeItemShowsItsPage) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    struct Choice {
        const char* selected;
        const char* shown;
        int page;
    };
    for (const Choice& item :
         {Choice{"Physical Block", "Deivce Info", 1}, Choice{"Totalizer", "Totalizer", 6},
          Choice{"Transducer Block", "Mass Flow", 3}, Choice{"Diagnosis", "Diagnosis", 2},
          Choice{"AI Function Block", "Flow", 5}, Choice{"Orvo Extension", "Orvo Extension", 4},
          Choice{"Deivce Info", "Deivce Info", 1}, Choice{"Mass Flow", "Mass Flow", 3},
          Choice{"Varnok Thermal Mass Flowmeter", "Varnok Thermal Mass Flowmeter", 0},
          Choice{"Flow", "Flow", 5}}) {
        ASSERT_NO_FATAL_FAILURE(Select(item.selected));
        EXPECT_EQ(item.page, ShownPage()) << item.selected;
        EXPECT_EQ(item.shown, frametest::SelectedText(Tree())) << item.selected;
    }
    EXPECT_HR(S_OK, CanUnload());
}

TEST_F(TreeFrameTest, OnlineTheHeaderShowsTheDeviceAndTheFunctionStaysClosedWhileOpen) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    for (const auto& [id, control] :
         {std::pair<ULONG, int>{13, IDC_TF_DEVICE_ID}, {12, IDC_TF_SERIAL}, {14, IDC_TF_TAG}}) {
        ql::Variant value;
        ASSERT_HR(S_OK, Store()->GetValue(id, value.Put()));
        ASSERT_HR(S_OK, value.ChangeType(VT_BSTR));
        EXPECT_EQ(std::wstring(V_BSTR(value.Get())), WindowText(Item(control))) << id;
    }
    for (int hidden :
         {IDOK, IDCANCEL, IDC_TF_APPLY, IDC_TF_PASSWORD, IDC_TF_OFFLINE_MODE, IDC_TF_DISCONNECTED})
        EXPECT_FALSE(::IsWindowVisible(Item(hidden))) << hidden;
    for (int shown : {IDC_TF_HELP, IDC_TF_ONLINE_MODE, IDC_TF_CONNECTED, IDC_TF_LOGO})
        EXPECT_TRUE(::IsWindowVisible(Item(shown))) << shown;

    ql::ComPtr<IQuelkFunctions> functions;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(session_.Object(), functions));
    VARIANT_BOOL opened = VARIANT_FALSE;
    EXPECT_HR(S_FALSE, functions->OpenFunctionUi(2, &opened)) << "disabled while the window is open";
    ASSERT_HR(S_OK, ui_.Close());
    EXPECT_HR(S_OK, functions->OpenFunctionUi(2, &opened)) << "enabled again, the DTM being online";
}

// Online, the first second's timer reads every device record the device can give once, with progress, and
// leaves every access word as it was; offline it reads nothing.
TEST_F(TreeFrameTest, OnlineTheStartUpReadsEveryReadableDeviceRecordOnce) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ql::ComPtr<IQuelkVariableFields> fields;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(Store(), fields));
    ql::Variant count;
    ASSERT_HR(S_OK, fields->GetCountVariant(count.Put()));
    std::vector<ULONG> ids;
    int deviceRecords = 0, readable = 0;
    for (ULONG index = 0; index < V_UI4(count.Get()); ++index) {
        ql::Variant id, device;
        ASSERT_HR(S_OK, fields->GetVariableAtVariant(*UlongArgument(index), id.Put()));
        ASSERT_HR(S_OK, fields->GetVariableField(*id, *I4(0x1), device.Put()));
        if (V_UI4(device.Get()) != 1) continue;
        ids.push_back(V_UI4(id.Get()));
        ++deviceRecords;
        if (Access(ids.back()) & 0x10) ++readable;
    }
    ASSERT_LT(0, readable);
    const int readsBefore = channel_->Device().ReadCount();
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    EXPECT_EQ(readable, channel_->Device().ReadCount() - readsBefore);
    EXPECT_EQ(static_cast<size_t>(deviceRecords + 1), frame_->CountCalls(L"NotifyProgress"));
    const auto first = std::find_if(frame_->Calls().begin(), frame_->Calls().end(),
                                    [](const FrameCall& call) { return call.Method == L"NotifyProgress"; });
    ASSERT_NE(frame_->Calls().end(), first);
    EXPECT_EQ(L"Parameter Upload", first->Arguments[1]);
    EXPECT_EQ(L"", frame_->LastCall(L"NotifyProgress")->Arguments[1]) << "the progress ends";
    for (ULONG id : ids) EXPECT_EQ(0u, Access(id) & 0x1000) << "the mark stayed on " << id;
    // The flow block page's members take their records' states: no transfer's mark with them.
    for (ULONG member = 105; member <= 113; ++member)
        EXPECT_EQ(0u, Access(member) & 0x3000) << "a mark reached member " << member;

    const int readsAfter = channel_->Device().ReadCount();
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    EXPECT_EQ(readsAfter, channel_->Device().ReadCount()) << "once per window";
}

TEST_F(TreeFrameTest, OfflineTheStartUpMakesNoDeviceCall) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const int readsBefore = channel_->Device().ReadCount();
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    EXPECT_EQ(readsBefore, channel_->Device().ReadCount());
    EXPECT_EQ(0u, frame_->CountCalls(L"NotifyProgress"));
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_TF_OFFLINE_MODE)) && !::IsWindowVisible(Item(IDC_TF_ONLINE_MODE)));
}

// A close request that arrives while the upload waits for the device closes the window; the upload ends
// at its next step without touching what went away.
TEST_F(TreeFrameTest, ACloseRequestDuringTheStartUpUploadEndsItSafely) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    size_t progressAtClose = 0;
    frame_->SetListener([&](const FrameCall& call) {
        if (call.Method == L"NotifyProgress" && progressAtClose == 0 &&
            frame_->CountCalls(L"NotifyProgress") == 3) {
            progressAtClose = 3;
            ui_.Container().RequestClose();
        }
    });
    ASSERT_TRUE(WaitUntilClosed());
    frame_->SetListener(nullptr);
    EXPECT_EQ(progressAtClose, frame_->CountCalls(L"NotifyProgress")) << "no step after the close";
    EXPECT_HR(S_OK, CanUnload());
}

class DisconnectTest : public TreeFrameTest, public ::testing::WithParamInterface<long> {};

// The DTM leaves the connected state and passes two more: online, one message and one close request;
// offline, the window stays and shows the device disconnected.
TEST_P(DisconnectTest, LeavingTheConnectedStateClosesOnlyTheOnlineWindowOnce) {
    const long mode = GetParam();
    ASSERT_NO_FATAL_FAILURE(Open(mode));
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    frame_->ClearCalls();
    ql::ComPtr<IQuelkDpv1Communication> dpv1;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(session_.Object(), dpv1));
    VARIANT_BOOL sent = VARIANT_FALSE;
    ASSERT_HR(S_OK, dpv1->DisconnectRequest(0, channel_->Device().StationAddress(), &sent));
    ASSERT_TRUE(
        PumpMessagesUntil([this] { return session_.State() != 12u && session_.State() != 11u; }, kWaitMs));
    PumpFor(ui_.Container(), 300);
    const size_t online = mode == 2 ? 1 : 0;
    EXPECT_EQ(online, frame_->CountCalls(L"UserDialog"));
    EXPECT_EQ(online, frame_->CountCalls(L"CloseActiveXControlRequest"));
    EXPECT_EQ(mode != 2, ui_.IsOpen());
    if (mode == 2) {
        EXPECT_NE(
            std::wstring::npos,
            LastUserMessage().find(L"The DTM is disconnected. The OnlineParameterize dialog will be closed"));
    } else {
        EXPECT_TRUE(::IsWindowVisible(Item(IDC_TF_DISCONNECTED)) &&
                    !::IsWindowVisible(Item(IDC_TF_CONNECTED)));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, DisconnectTest, ::testing::Values(1L, 2L));

TEST_F(TreeFrameTest, EscapeWithCancelHiddenKeepsTheWindowAndClosingGivesEverythingBack) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ::SetFocus(Item(IDC_TF_TAG));
    Press(VK_ESCAPE);
    EXPECT_TRUE(ui_.IsOpen());
    EXPECT_EQ(0u, frame_->CountCalls(L"CloseActiveXControlRequest"));
    EXPECT_HR(S_OK, CanUnload());
}

// Cancel with a dirty page asks whether to apply; the answer decides.
struct CancelCase {
    const char* name;
    const wchar_t* answer;
    bool staysOpen;
    int applies;
};

class CancelQuestionTest : public TreeFrameTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelQuestionTest, ADirtyPageMakesCancelAsk) {
    PageDouble& totalizer = StandIn(6);
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ASSERT_HR(S_OK, Query<IQuelkFrameButtons>()->ShowButton(1, TRUE));
    totalizer.dirty = true;
    frame_->Script().DialogAnswer = UserMessageAnswer(GetParam().answer);
    ::SendMessageW(Item(IDCANCEL), BM_CLICK, 0, 0);
    PumpFor(ui_.Container(), 200);

    ASSERT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    const std::wstring question = LastUserMessage();
    for (const wchar_t* part : {L"title=\"Warning\"", L"fdt:string=\"Apply changes?\"",
                                L"messageButtons=\"buttonsYesNoCancel\"", L"messageType=\"messageQuestion\""})
        EXPECT_NE(std::wstring::npos, question.find(part)) << part;
    EXPECT_EQ(GetParam().staysOpen, ui_.IsOpen());
    EXPECT_EQ(GetParam().applies, totalizer.applies);
    if (GetParam().staysOpen) {
        EXPECT_LT(1u, totalizer.refs) << "the pages stay";
        ASSERT_HR(S_OK, ui_.Close());
        EXPECT_EQ(2u, frame_->CountCalls(L"UserDialog")) << "the frame's close asks again";
    }
    ReleaseAll();
    EXPECT_EQ(1u, totalizer.refs);
}

INSTANTIATE_TEST_SUITE_P(Answers, CancelQuestionTest,
                         ::testing::Values(CancelCase{"Cancel", L"buttonCancel", true, 0},
                                           CancelCase{"No", L"buttonNo", false, 0},
                                           CancelCase{"Yes", L"buttonYes", false, 1}),
                         [](const ::testing::TestParamInfo<CancelCase>& info) {
                             return std::string(info.param.name);
                         });

// The question comes in the DTM's language from the translation document.
TEST_F(TreeFrameTest, TheApplyQuestionIsTranslated) {
    PageDouble& totalizer = StandIn(6);
    ASSERT_NO_FATAL_FAILURE(Open(1));
    VARIANT_BOOL accepted = VARIANT_FALSE;
    ASSERT_HR(S_OK, session_.Dtm()->SetLanguage(1031, &accepted));
    ASSERT_EQ(VARIANT_TRUE, accepted);
    ASSERT_HR(S_OK, Query<IQuelkFrameButtons>()->ShowButton(1, TRUE));
    totalizer.dirty = true;
    frame_->Script().DialogAnswer = UserMessageAnswer(L"buttonCancel");
    ::SendMessageW(Item(IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"title=\"Warnung\""));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"fdt:string=\"\u00c4nderungen \u00fcbernehmen?\""));
}

TEST_F(TreeFrameTest, OkShowsAPageThatFailsToApplyAndStaysUntilItApplies) {
    PageDouble& totalizer = StandIn(6);
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_HR(S_OK, Query<IQuelkFrameButtons>()->ShowButton(0, TRUE));
    totalizer.dirty = true;
    totalizer.applyResult = E_FAIL;
    ASSERT_NO_FATAL_FAILURE(Select("Deivce Info"));
    ::SendMessageW(Item(IDOK), BM_CLICK, 0, 0);
    PumpFor(ui_.Container(), 200);
    EXPECT_TRUE(ui_.IsOpen());
    EXPECT_EQ(6, ShownPage());
    EXPECT_EQ("Deivce Info", frametest::SelectedText(Tree())) << "the tree's selection stays";

    totalizer.applyResult = S_OK;
    ::SendMessageW(Item(IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntilClosed());
    EXPECT_EQ(2, totalizer.applies);
}

TEST_F(TreeFrameTest, HelpOnABlockSelectsItsFirstPageAndNamesThatPagesHelpFile) {
    PageDouble& flow = StandIn(5);
    flow.helpFile = L"Flow.chm";
    StandIn(6);  // names no help file
    ASSERT_NO_FATAL_FAILURE(Open(1));
    // The block is selected and F1 comes before the tree moved the selection on.
    ASSERT_TRUE(TreeView_SelectItem(Tree(), FindTreeItem(Tree(), "AI Function Block")));
    HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_TF_TREE};
    ::SendMessageW(dialog_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    ASSERT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"title=\"Varnok Profibus DP Help\""));
    EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"fdt:string=\"Flow.chm\""));
    PumpContainerMessages(ui_.Container());
    EXPECT_EQ("Flow", frametest::SelectedText(Tree()));
    EXPECT_EQ(5, ShownPage());

    // A page without a help file shows nothing.
    ASSERT_NO_FATAL_FAILURE(Select("Totalizer"));
    frame_->ClearCalls();
    ::SendMessageW(Item(IDC_TF_HELP), BM_CLICK, 0, 0);
    EXPECT_EQ(0u, frame_->CountCalls(L"UserDialog"));
}

// Every page of the window names the help file the translation document gives its class, for F1 and for
// the Help button alike; the page titles keep the string table's tree.
TEST_F(TreeFrameTest, F1AndHelpOnEveryPageShowTheHelpFileOfItsClass) {
    ASSERT_NO_FATAL_FAILURE(Open(2));
    ASSERT_NO_FATAL_FAILURE(PassStartUp());
    for (const char* page : {"Varnok Thermal Mass Flowmeter", "Deivce Info", "Diagnosis", "Mass Flow",
                             "Orvo Extension", "Flow", "Totalizer"}) {
        SCOPED_TRACE(page);
        ASSERT_NO_FATAL_FAILURE(Select(page));
        for (bool button : {false, true}) {
            frame_->ClearCalls();
            if (button) {
                ::SendMessageW(Item(IDC_TF_HELP), BM_CLICK, 0, 0);
            } else {
                HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_TF_TREE};
                ::SendMessageW(dialog_, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
            }
            ASSERT_EQ(1u, frame_->CountCalls(L"UserDialog")) << (button ? "Help" : "F1");
            EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"title=\"Varnok Profibus DP Help\""));
            EXPECT_NE(std::wstring::npos, LastUserMessage().find(L"fdt:string=\"VarnokP3.chm\""));
        }
        EXPECT_EQ(page, frametest::SelectedText(Tree()));
    }
    EXPECT_EQ(10u, frametest::TreeRows(Tree(), true).size()) << "the titles keep the tree";
}

TEST_F(TreeFrameTest, AWindowThatCannotShowEveryPageIsClosedAndLeavesNothing) {
    PageClass refused(CLSID_P3_PBDiagnosis, nullptr);
    ASSERT_NO_FATAL_FAILURE(Open(2, S_FALSE));
    EXPECT_FALSE(ui_.IsOpen());
    EXPECT_HR(S_OK, CanUnload());
}

// The keys a person presses take the same way whether the hook component is there or not.
class KeyboardTest : public TreeFrameTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(TreeFrameTest::SetUp());
        if (!GetParam()) noHook_ = std::make_unique<PageClass>(CLSID_QuelkMessageHook, nullptr);
    }
    std::unique_ptr<PageClass> noHook_;
};

TEST_P(KeyboardTest, EnterInTheHeaderPressesOnlyADefaultButton) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_HR(S_OK, Query<IQuelkFrameButtons>()->ShowButton(0, TRUE));
    // A page switch takes the default style from every button: Enter then presses none, not even OK.
    ASSERT_NO_FATAL_FAILURE(Select("Mass Flow"));
    ::SetFocus(Item(IDC_TF_TAG));
    Press(VK_RETURN);
    PumpFor(ui_.Container(), 200);
    EXPECT_TRUE(ui_.IsOpen());
    // Tab moves on through the header and makes the first button the default again: now Enter runs OK.
    Press(VK_TAB);
    EXPECT_EQ(Item(IDC_TF_DEVICE_ID), ::GetFocus());
    EXPECT_TRUE(::GetWindowLongW(Item(IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    Press(VK_RETURN);
    EXPECT_TRUE(WaitUntilClosed());
    EXPECT_EQ(1u, frame_->CountCalls(L"CloseActiveXControlRequest"));
}

// The arrow keys walk the tree, a block handing on to its first page, and the page shown does not take the
// focus from the tree.
TEST_P(KeyboardTest, ArrowKeysWalkTheTreeWhichKeepsTheFocus) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ::SetFocus(Tree());
    PumpContainerMessages(ui_.Container());
    struct Step {
        UINT key;
        const char* selected;
        int page;
    };
    for (const Step& step :
         {Step{0, "Varnok Thermal Mass Flowmeter", 0}, Step{VK_DOWN, "Deivce Info", 1},
          Step{VK_DOWN, "Diagnosis", 2}, Step{VK_DOWN, "Mass Flow", 3}, Step{VK_DOWN, "Orvo Extension", 4}}) {
        if (step.key) Press(step.key);
        PumpContainerMessages(ui_.Container());
        EXPECT_EQ(step.selected, frametest::SelectedText(Tree()));
        EXPECT_EQ(step.page, ShownPage()) << step.selected;
        EXPECT_EQ(Tree(), ::GetFocus()) << step.selected;
    }
}

TEST_P(KeyboardTest, EscapeAsksAboutADirtyPageWhenCancelIsShown) {
    PageDouble& totalizer = StandIn(6);
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_HR(S_OK, Query<IQuelkFrameButtons>()->ShowButton(1, TRUE));
    totalizer.dirty = true;
    frame_->Script().DialogAnswer = UserMessageAnswer(L"buttonCancel");
    ::SetFocus(Item(IDC_TF_TREE));
    Press(VK_ESCAPE);
    EXPECT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    EXPECT_TRUE(ui_.IsOpen());
}

TEST_P(KeyboardTest, KeysInThePageAreOfferedToTheShownPageFirst) {
    PageDouble& totalizer = StandIn(6);
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(Select("Totalizer"));
    ::SetFocus(totalizer.window.Get());
    for (UINT key : {VK_RETURN, VK_DOWN, VK_TAB}) Press(key);
    EXPECT_EQ((std::vector<WPARAM>{VK_RETURN, VK_DOWN, VK_TAB}), totalizer.keys);
    EXPECT_TRUE(ui_.IsOpen()) << "Enter is the page's, not the hidden OK's";
    EXPECT_EQ(totalizer.window.Get(), ::GetFocus());
}

INSTANTIATE_TEST_SUITE_P(Hook, KeyboardTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "WithHook" : "WithoutHook");
                         });

// The keys a page passes on to its site.
TEST_F(TreeFrameTest, APagePassingTabOnMovesTheFocusPastThePageArea) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const ql::ComPtr<IPropertyPageSite> site = Query<IPropertyPageSite>();
    ASSERT_NO_FATAL_FAILURE(Select("Mass Flow"));  // takes the default button from every button
    ::SetFocus(Tree());
    MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_HR(S_OK, site->TranslateAccelerator(&tab));
    EXPECT_EQ(Item(IDC_TF_CLEAR), ::GetFocus());
    EXPECT_TRUE(::GetWindowLongW(Item(IDC_TF_HELP), GWL_STYLE) & BS_DEFPUSHBUTTON)
        << "a default button again";

    BYTE keys[256] = {};
    ASSERT_TRUE(::GetKeyboardState(keys));
    keys[VK_SHIFT] = 0x80;
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_HR(S_OK, site->TranslateAccelerator(&tab));
    keys[VK_SHIFT] = 0;
    ASSERT_TRUE(::SetKeyboardState(keys));
    EXPECT_EQ(Item(IDC_TF_PAGE_AREA), ::GetFocus());

    ::SetFocus(nullptr);
    EXPECT_HR(S_FALSE, site->TranslateAccelerator(&tab)) << "the focus is not in the window";
}

// The layout by the frame's size and the shown page's size.
struct LayoutCase {
    const char* name;
    SIZE frame;
    SIZE page;
    bool horizontalBar, verticalBar;
    int areaWidth;
    int areaHeightBelowTop;  // the page area's height plus its top
};

class LayoutTest : public TreeFrameTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(LayoutTest, TheWindowPlacesTreeAreaAndScrollBarsBySizes) {
    const LayoutCase& c = GetParam();
    PageDouble& totalizer = StandIn(6);
    totalizer.size = c.page;
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(Select("Totalizer"));
    const Box headerBefore = Place(Item(IDC_TF_HEADER_BOX));
    ::SetWindowPos(dialog_, nullptr, 0, 0, c.frame.cx, c.frame.cy, SWP_NOMOVE | SWP_NOZORDER);
    const int top = Place(Tree()).top;
    const int width = c.frame.cx, height = c.frame.cy;

    EXPECT_EQ((Box{5, top, 203, height - 100}), Place(Tree()));
    EXPECT_EQ((width > 500 ? Box{5, 5, width - 5, 77} : headerBefore), Place(Item(IDC_TF_HEADER_BOX)));
    const bool areaShown = c.areaWidth >= 4 && c.areaHeightBelowTop - top >= 4;
    EXPECT_EQ(areaShown, ::IsWindowVisible(Item(IDC_TF_PAGE_AREA)) != FALSE);
    EXPECT_EQ(c.horizontalBar, ::IsWindowVisible(Item(IDC_TF_HSCROLL)) != FALSE);
    EXPECT_EQ(c.verticalBar, ::IsWindowVisible(Item(IDC_TF_VSCROLL)) != FALSE);
    if (!areaShown) return;
    const int areaBottom = c.areaHeightBelowTop;
    EXPECT_EQ((Box{208, top, 208 + c.areaWidth, areaBottom}), Place(Item(IDC_TF_PAGE_AREA)));
    if (c.horizontalBar) {
        EXPECT_EQ((Box{208, areaBottom, 208 + c.areaWidth, areaBottom + 16}), Place(Item(IDC_TF_HSCROLL)));
    }
    if (c.verticalBar) {
        EXPECT_EQ((Box{208 + c.areaWidth, top, 224 + c.areaWidth, areaBottom}), Place(Item(IDC_TF_VSCROLL)));
    }
    // The device message row lies under the page area and its bars.
    const int rowTop = height - 31;
    EXPECT_EQ(rowTop, Place(Item(IDC_TF_DEVICE_MESSAGE)).top);
    EXPECT_EQ(208, Place(Item(IDC_TF_MESSAGE_LABEL)).left);
    EXPECT_EQ(c.areaWidth - (c.verticalBar ? 0 : 16) + 187, Place(Item(IDC_TF_CLEAR)).left);
    EXPECT_EQ(rowTop, Place(Item(IDC_TF_CLEAR)).top);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutTest,
    ::testing::Values(LayoutCase{"PageFits", {900, 700}, {300, 200}, false, false, 687, 660},
                      LayoutCase{"WidePage", {900, 700}, {800, 100}, true, false, 687, 644},
                      LayoutCase{"TallPage", {900, 700}, {600, 2000}, false, true, 671, 660},
                      LayoutCase{"TallPageNowTooWide", {900, 700}, {680, 2000}, true, true, 671, 644},
                      LayoutCase{"WidePageNowTooTall", {900, 700}, {700, 630}, true, true, 671, 644},
                      LayoutCase{"NarrowWindow", {480, 400}, {300, 200}, true, false, 267, 344},
                      LayoutCase{"NoRoomForThePages", {210, 400}, {300, 200}, false, false, -3, 344}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

TEST_F(TreeFrameTest, TheScrollBarMovesThePageWhileTheThumbIsDraggedAndStopsAtTheEnds) {
    PageDouble& totalizer = StandIn(6);
    totalizer.size = {300, 2000};
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(Select("Totalizer"));
    ::SetWindowPos(dialog_, nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    const HWND bar = Item(IDC_TF_VSCROLL);
    ASSERT_TRUE(::IsWindowVisible(bar));
    RECT area{};
    ::GetWindowRect(Item(IDC_TF_PAGE_AREA), &area);
    const int visible = area.bottom - area.top - 4;
    struct Step {
        WORD code, thumb;
        int position;
    };
    for (const Step& step :
         {Step{SB_THUMBTRACK, 40, 40}, Step{SB_THUMBPOSITION, 90, 40}, Step{SB_LINEDOWN, 0, 41},
          Step{SB_LINEUP, 0, 40}, Step{SB_PAGEUP, 0, 0}, Step{SB_LINEUP, 0, 0}, Step{SB_PAGEDOWN, 0, visible},
          Step{SB_THUMBTRACK, 5000, 2000 - visible}, Step{SB_LINEDOWN, 0, 2000 - visible}}) {
        ::SendMessageW(dialog_, WM_VSCROLL, MAKEWPARAM(step.code, step.thumb), reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ(step.position, ::GetScrollPos(bar, SB_CTL)) << step.code << " " << step.thumb;
        // The page moves with the contents of the page area.
        RECT page{};
        ::GetWindowRect(totalizer.window.Get(), &page);
        EXPECT_EQ(-step.position, page.top - area.top) << step.code;
    }
}

}  // namespace
