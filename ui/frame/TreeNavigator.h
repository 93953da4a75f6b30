#pragma once
// The tree navigator of the parameterization window: page titles are paths of segments separated by "\";
// equal segments share one item, an item that only groups others carries -1, an item that shows a page
// carries the page's index. Every item is inserted expanded, last among its siblings, with the image of its
// depth in the tree.
#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace treeframe {

constexpr LPARAM kGroupingItem = -1;

// The image indices of the tree's image list for depth 0, 1, and 2 or deeper.
struct DepthImages {
    int depth[3];
    int ForDepth(int level) const noexcept { return depth[level < 0 ? 0 : (level > 2 ? 2 : level)]; }
};

// Inserts the title path `title` (system code page) below `parent` (null: the root) for page `page`; a page
// whose whole path names an existing item takes that item over. `depth` is that of the path's first segment;
// without `images` the items get no image.
void AddTreePath(HWND tree, HTREEITEM parent, std::string_view title, LPARAM page, int depth,
                 const DepthImages* images = nullptr) noexcept;

// The item whose page a selection of `item` shows: the item itself or its first descendant along the first
// children that carries a page; null when the descent finds none.
HTREEITEM FindPageItem(HWND tree, HTREEITEM item) noexcept;

LPARAM ItemData(HWND tree, HTREEITEM item) noexcept;

// A scroll position kept within [0, max(0, total - visible)].
int ClampScrollPosition(int position, int total, int visible) noexcept;

}  // namespace treeframe
