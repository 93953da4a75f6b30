// The tree navigator's rules on a real tree window: the pages' title paths become the window's tree, a
// grouping item leads to the first page below it, and scroll positions stay within their range.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/frame/TreeReading.h"
#include "ui/frame/TreeNavigator.h"

namespace {

using frametest::FindTreeItem;
using frametest::TreeRow;
using frametest::TreeRows;

class TreeNavigatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&classes);
        tree_ = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 300, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_TRUE(tree_);
    }
    void TearDown() override { ::DestroyWindow(tree_); }

    HWND tree_ = nullptr;
};

// The seven pages' titles, in page order.
const char* const kTitles[] = {
    "Varnok Thermal Mass Flowmeter",
    "Varnok Thermal Mass Flowmeter\\Physical Block\\Deivce Info",
    "Varnok Thermal Mass Flowmeter\\Physical Block\\Diagnosis",
    "Varnok Thermal Mass Flowmeter\\Transducer Block\\Mass Flow",
    "Varnok Thermal Mass Flowmeter\\Transducer Block\\Orvo Extension",
    "Varnok Thermal Mass Flowmeter\\AI Function Block\\Flow",
    "Varnok Thermal Mass Flowmeter\\AI Function Block\\Totalizer",
};

TEST_F(TreeNavigatorTest, ThePagesTitlesBuildTheTreeWithTheImageOfEachDepth) {
    const treeframe::DepthImages images{{7, 8, 9}};
    for (LPARAM page = 0; page < 7; ++page)
        treeframe::AddTreePath(tree_, nullptr, kTitles[page], page, 0, &images);
    const std::vector<TreeRow> expected{
        {"Varnok Thermal Mass Flowmeter", 0, 0, 7},
        {"Physical Block", 1, -1, 8},
        {"Deivce Info", 2, 1, 9},
        {"Diagnosis", 2, 2, 9},
        {"Transducer Block", 1, -1, 8},
        {"Mass Flow", 2, 3, 9},
        {"Orvo Extension", 2, 4, 9},
        {"AI Function Block", 1, -1, 8},
        {"Flow", 2, 5, 9},
        {"Totalizer", 2, 6, 9},
    };
    EXPECT_EQ(expected, TreeRows(tree_, true));

    const HTREEITEM shown = treeframe::FindPageItem(tree_, FindTreeItem(tree_, "Physical Block"));
    EXPECT_EQ(FindTreeItem(tree_, "Deivce Info"), shown);
    EXPECT_EQ(1, treeframe::ItemData(tree_, shown));
}

TEST_F(TreeNavigatorTest, APathBeforeItsRootMakesGroupsAndTheSamePathTakesTheItemOver) {
    const treeframe::DepthImages images{{0, 1, 2}};
    treeframe::AddTreePath(tree_, nullptr, "A\\B\\C\\D", 0, 0, &images);
    treeframe::AddTreePath(tree_, nullptr, "A\\B\\C\\D", 1, 0, &images);
    treeframe::AddTreePath(tree_, nullptr, "A", 2, 0, &images);
    EXPECT_EQ((std::vector<TreeRow>{{"A", 0, 2, 0}, {"B", 1, -1, 1}, {"C", 2, -1, 2}, {"D", 3, 1, 2}}),
              TreeRows(tree_, true))
        << "depth 3 takes the image of depth 2";
    EXPECT_EQ(FindTreeItem(tree_, "D"), treeframe::FindPageItem(tree_, FindTreeItem(tree_, "B")));
}

TEST(ScrollClampTest, PositionStaysWithinZeroAndTheHiddenPart) {
    struct Case {
        int position, total, visible, expected;
    };
    for (const Case& c : {Case{-5, 600, 300, 0}, Case{50, 600, 300, 50}, Case{400, 600, 300, 300},
                          Case{10, 100, 300, 0}, Case{-1, 100, 300, 0}}) {
        EXPECT_EQ(c.expected, treeframe::ClampScrollPosition(c.position, c.total, c.visible))
            << c.position << " " << c.total << " " << c.visible;
    }
}

}  // namespace
