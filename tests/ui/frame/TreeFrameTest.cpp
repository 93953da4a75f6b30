// The parameterization window as the frame opens it: the DTM's online or offline function against the
// simulated flowmeter, hosted in the frame's container, driven by the messages a person's actions cause.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>

#include "VarnokP3.h"
#include "classlib/AxControlSite.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/ui/frame/PageDouble.h"
#include "tests/ui/frame/TreeReading.h"
#include "ui/frame/TreeFrameResources.h"

namespace {

using controltest::WindowText;
using frametest::FindTreeItem;
using frametest::PageClass;
using frametest::PageDouble;
using frametest::TreeRow;

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

bool Served(REFCLSID classId) {
    ql::ComPtr<IPropertyPage> page;
    return SUCCEEDED(
        ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.PutVoid()));
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
    void Open(long functionId) {
        for (size_t index = 0; index < std::size(kPages); ++index) {
            if (!Served(*kPages[index].classId)) (void)StandIn(index);
        }
        ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
        frame_->ClearCalls();
        ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), functionId));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
    }
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    HWND Tree() const { return Item(IDC_TF_TREE); }
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

TEST_F(TreeFrameTest, ABlockShowsTheFirstPageBelowItAndTheSelectionFollows) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    ASSERT_NO_FATAL_FAILURE(Select("Physical Block"));
    EXPECT_EQ(1, ShownPage());
    EXPECT_EQ("Deivce Info", frametest::SelectedText(Tree()));
    ASSERT_NO_FATAL_FAILURE(Select("Totalizer"));
    EXPECT_EQ(6, ShownPage());
    ASSERT_NO_FATAL_FAILURE(Select("Varnok Thermal Mass Flowmeter"));
    EXPECT_EQ(0, ShownPage());
}

}  // namespace
