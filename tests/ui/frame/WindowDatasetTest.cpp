// What the parameterization window leaves in the offline dataset: offline a person's unit choice on the mass
// flow page with the units that follow it; online the device's values are shown, never stored, so the
// offline dataset is the same before the online window opens, after its start-up upload and after it closes.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "VarnokP3.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "frame/UiScript.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/support/TestVariants.h"
#include "tests/ui/frame/TreeReading.h"
#include "ui/frame/TreeFrameResources.h"
#include "ui/pages/PageResources.h"

namespace {

constexpr ULONG kDiameter = 44, kSizeUnit = 45, kFlowUnit = 47, kFlowUnitCopy = 131;

class WindowDatasetTest : public controltest::HostedUiFixture {
protected:
    // Opens the DTM's function as the frame does and lets its start-up (the upload online) run.
    void Open(long functionId) {
        ASSERT_HR(S_OK, ui_.OpenFunction(session_.Object(), functionId));
        dialog_ = ui_.Container().Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
        PumpFor(ui_.Container(), 1500);
    }
    HWND ShowMassFlowPage() {
        const HWND tree = ::GetDlgItem(dialog_, IDC_TF_TREE);
        const HTREEITEM item = frametest::FindTreeItem(tree, "Mass Flow");
        EXPECT_TRUE(item && TreeView_SelectItem(tree, item));
        PumpContainerMessages(ui_.Container());
        for (HWND page = ::GetWindow(::GetDlgItem(dialog_, IDC_TF_PAGE_AREA), GW_CHILD); page;
             page = ::GetWindow(page, GW_HWNDNEXT)) {
            if (::IsWindowVisible(page)) return page;
        }
        return nullptr;
    }
    // A person picks `text` in the page's combo box and presses Enter in it.
    void PickAndEnter(HWND page, int control, const wchar_t* text) {
        const HWND combo = ::GetDlgItem(page, control);
        const LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(text));
        ASSERT_NE(CB_ERR, index) << text;
        ::SetFocus(combo);
        ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PressKey(VK_RETURN);
        PumpFor(ui_.Container(), 200);
    }
    // The nominal size, its unit, the flow unit and the DTM's copy of it, as the dataset holds them.
    std::vector<std::string> Units() {
        std::vector<std::string> values;
        for (ULONG id : {kDiameter, kSizeUnit, kFlowUnit, kFlowUnitCopy}) {
            ql::Variant value;
            EXPECT_HR(S_OK, Store()->GetValue(id, value.Put()));
            values.push_back(vtest::Describe(*value));
        }
        return values;
    }
};

TEST_F(WindowDatasetTest, TheOnlineWindowLeavesTheOfflineUnitsAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(Open(1));
    const HWND page = ShowMassFlowPage();
    ASSERT_TRUE(page);
    ASSERT_NO_FATAL_FAILURE(PickAndEnter(page, IDC_MF_FLOW_UNIT, L"lb/s"));
    // Offline the size unit and the DTM's copy follow the flow unit: inch for lb/s.
    const std::vector<std::string> offline = Units();
    ASSERT_EQ((std::vector<std::string>{offline[0], "ui2:1019", "ui2:1330", "ui2:1330"}), offline);
    ASSERT_HR(S_OK, ui_.Close());

    ASSERT_NO_FATAL_FAILURE(GoOnlineForUi());
    ASSERT_NE((SimBytes{0x05, 0x32}), channel_->Device().FindRecord(1, 84)->bytes)
        << "the device must count in another flow unit";
    ASSERT_NO_FATAL_FAILURE(Open(2));
    EXPECT_EQ(offline, Units()) << "after the start-up upload";
    ASSERT_HR(S_OK, ui_.Close());
    EXPECT_EQ(offline, Units()) << "after the window closed";
}

}  // namespace
