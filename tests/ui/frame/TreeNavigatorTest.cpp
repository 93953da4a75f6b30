// The tree navigator's rules on a real tree window: the pages' title paths become the window's tree, a
// grouping item leads to the first page below it, and scroll positions stay within their range.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/frame/TreeNavigator.h"

namespace {

struct Row {
    std::string text;
    int depth;
    LPARAM data;
    bool operator==(const Row& other) const {
        return text == other.text && depth == other.depth && data == other.data;
    }
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.text << "/" << row.depth << "/" << row.data; }

class TreeNavigatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TREEVIEW_CLASSES};
        ::InitCommonControlsEx(&classes);
        tree_ = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 200, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(tree_);
    }
    void TearDown() override { ::DestroyWindow(tree_); }

    void Walk(HTREEITEM item, int depth, std::vector<Row>& rows) const {
        for (; item; item = TreeView_GetNextSibling(tree_, item)) {
            char text[200] = {};
            TVITEMA data{};
            data.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_HANDLE;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = sizeof text;
            data.stateMask = TVIS_EXPANDED;
            ::SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
            EXPECT_TRUE(data.state & TVIS_EXPANDED) << text;
            rows.push_back({text, depth, data.lParam});
            Walk(TreeView_GetChild(tree_, item), depth + 1, rows);
        }
    }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        Walk(TreeView_GetRoot(tree_), 0, rows);
        return rows;
    }
    HTREEITEM Find(const std::string& text) const {
        std::vector<HTREEITEM> stack{TreeView_GetRoot(tree_)};
        while (!stack.empty()) {
            HTREEITEM item = stack.back();
            stack.pop_back();
            for (; item; item = TreeView_GetNextSibling(tree_, item)) {
                char buffer[200] = {};
                TVITEMA data{TVIF_TEXT | TVIF_HANDLE, item};
                data.pszText = buffer;
                data.cchTextMax = sizeof buffer;
                ::SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
                if (text == buffer) return item;
                stack.push_back(TreeView_GetChild(tree_, item));
            }
        }
        return nullptr;
    }

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

TEST_F(TreeNavigatorTest, ThePagesTitlesBuildTheTreeAndAGroupLeadsToItsFirstPage) {
    for (LPARAM page = 0; page < 7; ++page) treeframe::AddTreePath(tree_, nullptr, kTitles[page], page, 0);
    const std::vector<Row> expected{
        {"Varnok Thermal Mass Flowmeter", 0, 0}, {"Physical Block", 1, -1},  {"Deivce Info", 2, 1},
        {"Diagnosis", 2, 2},                     {"Transducer Block", 1, -1}, {"Mass Flow", 2, 3},
        {"Orvo Extension", 2, 4},                {"AI Function Block", 1, -1}, {"Flow", 2, 5},
        {"Totalizer", 2, 6},
    };
    EXPECT_EQ(expected, Rows());

    const HTREEITEM shown = treeframe::FindPageItem(tree_, Find("Physical Block"));
    EXPECT_EQ(Find("Deivce Info"), shown);
    EXPECT_EQ(1, treeframe::ItemData(tree_, shown));
}

TEST_F(TreeNavigatorTest, APathBeforeItsRootMakesGroupsAndTheSamePathTakesTheItemOver) {
    treeframe::AddTreePath(tree_, nullptr, "A\\B\\C", 0, 0);
    treeframe::AddTreePath(tree_, nullptr, "A\\B\\C", 1, 0);
    treeframe::AddTreePath(tree_, nullptr, "A", 2, 0);
    EXPECT_EQ((std::vector<Row>{{"A", 0, 2}, {"B", 1, -1}, {"C", 2, 1}}), Rows());
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
