#include "ui/frame/TreeNavigator.h"

#include <mbstring.h>

#include <algorithm>
#include <string>

namespace treeframe {
namespace {

HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::string& text) noexcept {
    HTREEITEM child = TreeView_GetNextItem(tree, parent, parent ? TVGN_CHILD : TVGN_ROOT);
    while (child) {
        char buffer[1000] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = child;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
        if (_mbscmp(reinterpret_cast<const unsigned char*>(buffer),
                    reinterpret_cast<const unsigned char*>(text.c_str())) == 0) {
            return child;
        }
        child = TreeView_GetNextSibling(tree, child);
    }
    return nullptr;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, std::string& text, LPARAM data, int image) noexcept {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_STATE;
    if (image >= 0) {
        insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.iImage = insert.item.iSelectedImage = image;
    }
    insert.item.state = insert.item.stateMask = TVIS_EXPANDED;
    insert.item.pszText = text.data();
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace

void AddTreePath(HWND tree, HTREEITEM parent, std::string_view title, LPARAM page, int depth,
                 const DepthImages* images) noexcept {
    const int image = images ? images->ForDepth(depth) : -1;
    std::string segment(title);
    // Multibyte-aware: a trail byte equal to '\' in a double-byte character does not split the path.
    const auto* split = _mbschr(reinterpret_cast<const unsigned char*>(segment.c_str()), '\\');
    std::string remainder;
    if (split) {
        const size_t at =
            static_cast<size_t>(split - reinterpret_cast<const unsigned char*>(segment.c_str()));
        remainder = segment.substr(at + 1);
        segment.resize(at);
    }
    HTREEITEM match = FindChild(tree, parent, segment);
    if (!split) {
        if (!match) {
            // A page whose item cannot be inserted is reached through no tree item; the others are.
            (void)InsertItem(tree, parent, segment, page, image);
            return;
        }
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_HANDLE;
        item.hItem = match;
        item.pszText = segment.data();
        item.lParam = page;
        ::SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return;
    }
    if (!match) match = InsertItem(tree, parent, segment, kGroupingItem, image);
    if (match) AddTreePath(tree, match, remainder, page, depth + 1, images);
}

LPARAM ItemData(HWND tree, HTREEITEM handle) noexcept {
    TVITEMA item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = handle;
    if (!::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return kGroupingItem;
    return item.lParam;
}

HTREEITEM FindPageItem(HWND tree, HTREEITEM item) noexcept {
    while (item && ItemData(tree, item) < 0) item = TreeView_GetChild(tree, item);
    return item;
}

int ClampScrollPosition(int position, int total, int visible) noexcept {
    return std::clamp(position, 0, std::max(total - visible, 0));
}

}  // namespace treeframe
