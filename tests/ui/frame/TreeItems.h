#pragma once
// Reading a tree window's items back without a test framework (the benchmarks use it too): an item's text,
// data, state and image, an item found by its text, the selected item's text.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace frametest {

inline TVITEMA ReadItem(HWND tree, HTREEITEM item, char* text, int chars) {
    TVITEMA data{};
    data.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE | TVIF_IMAGE | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = chars;
    data.stateMask = TVIS_EXPANDED;
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return data;
}

inline HTREEITEM FindTreeItem(HWND tree, const std::string& text) {
    std::vector<HTREEITEM> stack{TreeView_GetRoot(tree)};
    while (!stack.empty()) {
        HTREEITEM item = stack.back();
        stack.pop_back();
        for (; item; item = TreeView_GetNextSibling(tree, item)) {
            char buffer[200] = {};
            (void)ReadItem(tree, item, buffer, sizeof buffer);
            if (text == buffer) return item;
            stack.push_back(TreeView_GetChild(tree, item));
        }
    }
    return nullptr;
}

inline std::string SelectedText(HWND tree) {
    char buffer[200] = {};
    if (HTREEITEM selected = TreeView_GetSelection(tree))
        (void)ReadItem(tree, selected, buffer, sizeof buffer);
    return buffer;
}

}  // namespace frametest
