// The parameterization window's layout: the window sized to its largest page when the tree is built, the
// header, the tree and the page area with its own scroll bars placed on every resize, scrolling the page
// area's contents, and the white header.
#include <algorithm>

#include "classlib/ScrollTarget.h"
#include "ui/frame/TreeFrame.h"
#include "ui/frame/TreeFrameConstants.h"
#include "ui/frame/TreeNavigator.h"

using namespace treeframe;

namespace {

constexpr int kBarThickness = 16;
constexpr int kAreaFrame = 4;  // the page area's border, not part of what the pages may fill
constexpr int kParentMargin = 20;
constexpr COLORREF kHeaderColor = RGB(255, 255, 255);

// Rectangle of `window` relative to the top-left corner of `frame`'s window rectangle.
RECT RectIn(HWND frame, HWND window) noexcept {
    RECT frameRect{}, rect{};
    ::GetWindowRect(frame, &frameRect);
    ::GetWindowRect(window, &rect);
    ::OffsetRect(&rect, -frameRect.left, -frameRect.top);
    return rect;
}

int WidthOf(const RECT& r) noexcept { return r.right - r.left; }
int HeightOf(const RECT& r) noexcept { return r.bottom - r.top; }

void Place(HWND window, int x, int y, int width, int height) noexcept {
    if (window) ::MoveWindow(window, x, y, width, height, TRUE);
}

void PlaceKeepingSize(HWND frame, HWND window, int x, int y) noexcept {
    if (!window) return;
    const RECT r = RectIn(frame, window);
    ::MoveWindow(window, x, y, WidthOf(r), HeightOf(r), TRUE);
}

// Resizes `window`, where it is, to a client area of `width` x `height`.
void ResizeClient(HWND window, int width, int height) noexcept {
    RECT outer{0, 0, width, height};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)));
    ::SetWindowPos(window, nullptr, 0, 0, WidthOf(outer), HeightOf(outer), SWP_NOMOVE | SWP_NOZORDER);
}

bool IsHeaderControl(int id) noexcept {
    switch (id) {
        case IDC_TF_HEADER_BOX:
        case IDC_TF_DEVICE_ID_LABEL:
        case IDC_TF_SERIAL_LABEL:
        case IDC_TF_TAG_LABEL:
        case IDC_TF_DEVICE_ID:
        case IDC_TF_SERIAL:
        case IDC_TF_TAG:
            return true;
        default:
            return false;
    }
}

}  // namespace

void CTreeFrame::SizeToPages(SIZE largest) noexcept {
    const HWND frame = DialogWindow();
    const HWND area = Item(IDC_TF_PAGE_AREA);
    if (!frame || !area) return;
    RECT frameRect{}, areaRect{};
    ::GetWindowRect(frame, &frameRect);
    ::GetWindowRect(area, &areaRect);
    // The buttons' row must fit as well as the pages.
    RECT first{}, last{};
    bool anyButton = false;
    for (int id : kButtons) {
        if (const HWND button = Item(id)) {
            last = RectIn(frame, button);
            if (!anyButton) first = last;
            anyButton = true;
        }
    }
    const int width = std::max<int>(largest.cx, anyButton ? last.right - first.left : 0);
    const int height = largest.cy;
    const int grownX = width - WidthOf(areaRect);
    const int grownY = height - HeightOf(areaRect);
    ResizeClient(area, width, height);
    ResizeClient(frame, WidthOf(frameRect) + grownX, HeightOf(frameRect) + grownY);
    if (const HWND parent = ::GetParent(frame)) {
        RECT sized{};
        ::GetWindowRect(frame, &sized);
        ::SetWindowPos(parent, nullptr, 0, 0, WidthOf(sized) + kParentMargin, HeightOf(sized) + kParentMargin,
                       SWP_NOMOVE | SWP_NOZORDER);
    }
    for (int id : kButtons) {
        if (const HWND button = Item(id)) {
            const RECT r = RectIn(frame, button);
            ::MoveWindow(button, r.left + grownX, r.top + grownY, WidthOf(r), HeightOf(r), TRUE);
        }
    }
    if (!pages_.empty()) {
        RECT client{};
        ::GetClientRect(frame, &client);
        ::SetWindowPos(frame, nullptr, 0, 0, WidthOf(client),
                       HeightOf(client) + ::GetSystemMetrics(SM_CYCAPTION),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    }
}

LRESULT CTreeFrame::OnSize(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    const HWND frame = DialogWindow();
    if (!frame) return 0;
    RECT frameRect{};
    ::GetWindowRect(frame, &frameRect);
    const int width = WidthOf(frameRect);
    const int height = HeightOf(frameRect);
    if (width > 500) {
        Place(Item(IDC_TF_HEADER_BOX), 5, 5, width - 10, 72);
        Place(Item(IDC_TF_LOGO), width - 170, 7, 161, 34);
    }
    const HWND tree = Item(IDC_TF_TREE);
    const int top = tree ? RectIn(frame, tree).top : 0;
    int treeHeight = height - top - 100;
    Place(tree, 5, top, 198, treeHeight);

    int areaWidth = width - 213;
    int areaHeight = height - top - 40;
    bool horizontal = false, vertical = false;
    if (areaWidth - kAreaFrame < virtualSize_.cx) {
        horizontal = true;
        areaHeight -= kBarThickness;
        if (areaHeight - kAreaFrame < virtualSize_.cy) vertical = true, areaWidth -= kBarThickness;
    } else if (areaHeight - kAreaFrame < virtualSize_.cy) {
        vertical = true;
        areaWidth -= kBarThickness;
        if (areaWidth - kAreaFrame < virtualSize_.cx) horizontal = true, areaHeight -= kBarThickness;
    }
    const bool areaShown = areaWidth >= kAreaFrame && areaHeight >= kAreaFrame;
    const HWND area = Item(IDC_TF_PAGE_AREA);
    if (areaShown) Place(area, 208, top, areaWidth, areaHeight);
    ::ShowWindow(area, areaShown ? SW_SHOW : SW_HIDE);
    const HWND hBar = Item(IDC_TF_HSCROLL);
    const HWND vBar = Item(IDC_TF_VSCROLL);
    const bool hShown = horizontal && areaShown, vShown = vertical && areaShown;
    if (hShown) Place(hBar, 208, top + areaHeight, areaWidth, kBarThickness);
    if (vShown) Place(vBar, 208 + areaWidth, top, kBarThickness, areaHeight);
    ::ShowWindow(hBar, hShown ? SW_SHOW : SW_HIDE);
    ::ShowWindow(vBar, vShown ? SW_SHOW : SW_HIDE);

    treeHeight = std::max(treeHeight, 2);
    if (const HWND help = Item(IDC_TF_HELP))
        Place(help, 27, top + treeHeight + 5, 154, HeightOf(RectIn(frame, help)));
    const int rowWidth = areaWidth - (vShown ? 0 : kBarThickness);
    const int rowHeight = std::max(areaHeight - (hShown ? 0 : kBarThickness), 2);
    const int rowTop = top + rowHeight + 25;
    if (const HWND message = Item(IDC_TF_DEVICE_MESSAGE))
        Place(message, 303, rowTop, rowWidth - 120, HeightOf(RectIn(frame, message)));
    PlaceKeepingSize(frame, Item(IDC_TF_MESSAGE_LABEL), 208, rowTop);
    PlaceKeepingSize(frame, Item(IDC_TF_CLEAR), rowWidth + 187, rowTop);
    for (int id : {IDC_TF_CONNECTED, IDC_TF_DISCONNECTED}) {
        if (const HWND indicator = Item(id))
            Place(indicator, 27, top + treeHeight + 64, 154, HeightOf(RectIn(frame, indicator)));
    }
    for (int id : {IDC_TF_ONLINE_MODE, IDC_TF_OFFLINE_MODE}) {
        if (const HWND indicator = Item(id)) {
            const RECT r = RectIn(frame, indicator);
            Place(indicator, (198 - WidthOf(r)) / 2, top + treeHeight + 37, WidthOf(r), HeightOf(r));
        }
    }
    UpdateScrollBars();
    ApplyScroll();
    return 0;
}

void CTreeFrame::UpdateScrollBars() noexcept {
    RECT area{};
    ::GetWindowRect(Item(IDC_TF_PAGE_AREA), &area);
    SetScrollRange(IDC_TF_HSCROLL, virtualSize_.cx, WidthOf(area) - kAreaFrame, scroll_.x);
    SetScrollRange(IDC_TF_VSCROLL, virtualSize_.cy, HeightOf(area) - kAreaFrame, scroll_.y);
}

void CTreeFrame::SetScrollRange(int barId, int total, int visible, LONG& position) noexcept {
    position = treeframe::ClampScrollPosition(position, total, visible);
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    total,
                    static_cast<UINT>(std::max(visible + 1, 0)),
                    position,
                    0};
    ::SetScrollInfo(Item(barId), SB_CTL, &info, TRUE);
}

LRESULT CTreeFrame::OnScroll(UINT message, WPARAM wParam, LPARAM, BOOL&) noexcept {
    RECT area{};
    ::GetWindowRect(Item(IDC_TF_PAGE_AREA), &area);
    const bool horizontal = message == WM_HSCROLL;
    const int visible = (horizontal ? WidthOf(area) : HeightOf(area)) - kAreaFrame;
    LONG& position = horizontal ? scroll_.x : scroll_.y;
    const int total = horizontal ? virtualSize_.cx : virtualSize_.cy;
    const LONG moved = ql::ScrollTarget(LOWORD(wParam), position, HIWORD(wParam), visible, total);
    if (moved == position) return 0;
    position = moved;
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, moved, 0};
    ::SetScrollInfo(Item(horizontal ? IDC_TF_HSCROLL : IDC_TF_VSCROLL), SB_CTL, &info, TRUE);
    ApplyScroll();
    return 0;
}

void CTreeFrame::ApplyScroll() noexcept {
    const HWND area = Item(IDC_TF_PAGE_AREA);
    if (!area) return;
    RECT rect{};
    ::GetWindowRect(area, &rect);
    const RECT clip{0, 0, WidthOf(rect) - 2, HeightOf(rect) - 2};
    ::ScrollWindow(area, appliedScroll_.x - scroll_.x, appliedScroll_.y - scroll_.y, nullptr, &clip);
    appliedScroll_ = scroll_;
}

LRESULT CTreeFrame::OnCtlColorHeader(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    if (!IsHeaderControl(id)) {
        handled = FALSE;  // the control base's state colours
        return 0;
    }
    (void)message;
    headerBrush_.Attach(::CreateSolidBrush(kHeaderColor));
    const HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(dc, kHeaderColor);
    ::SelectObject(dc, headerBrush_.Get());
    return reinterpret_cast<LRESULT>(headerBrush_.Get());
}

LRESULT CTreeFrame::OnCtlColorDialog(UINT, WPARAM, LPARAM, BOOL&) noexcept { return 0; }
