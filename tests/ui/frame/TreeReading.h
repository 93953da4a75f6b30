#pragma once
// Reading a tree window back: every item in display order with its depth, item data and image.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/ui/frame/TreeItems.h"

namespace frametest {

struct TreeRow {
    std::string text;
    int depth;
    LPARAM data;
    int image = -1;
    bool operator==(const TreeRow& other) const {
        return text == other.text && depth == other.depth && data == other.data && image == other.image;
    }
};

inline void PrintTo(const TreeRow& row, std::ostream* out) {
    *out << row.text << "/" << row.depth << "/" << row.data << "/image " << row.image;
}

// Every item below `item` and its siblings; each must be expanded. Without images the image is not read.
inline void WalkTree(HWND tree, HTREEITEM item, int depth, bool withImages, std::vector<TreeRow>& rows) {
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        char text[200] = {};
        const TVITEMA data = ReadItem(tree, item, text, sizeof text);
        EXPECT_TRUE(data.state & TVIS_EXPANDED) << text;
        rows.push_back({text, depth, data.lParam, withImages ? data.iImage : -1});
        WalkTree(tree, TreeView_GetChild(tree, item), depth + 1, withImages, rows);
    }
}

inline std::vector<TreeRow> TreeRows(HWND tree, bool withImages) {
    std::vector<TreeRow> rows;
    WalkTree(tree, TreeView_GetRoot(tree), 0, withImages, rows);
    return rows;
}

}  // namespace frametest
