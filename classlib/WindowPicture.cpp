#include "classlib/WindowPicture.h"

#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"

namespace ql {

namespace {

// A 32-bit bitmap of `size` and a memory context drawing into it, with the identity mapping controls expect.
class Canvas {
public:
    explicit Canvas(SIZE size) noexcept : size_(size), bitmap_(Create(size)), dc_(nullptr, bitmap_.Get()) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool IsValid() const noexcept { return bitmap_ && dc_.Get(); }
    HDC Dc() const noexcept { return dc_.Get(); }
    SIZE Size() const noexcept { return size_; }

private:
    static HBITMAP Create(SIZE size) noexcept {
        if (size.cx <= 0 || size.cy <= 0) return nullptr;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = size.cx;
        info.bmiHeader.biHeight = -size.cy;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    SIZE size_;
    Bitmap bitmap_;
    MemoryDc dc_;
};

SIZE ClientSize(HWND window) noexcept {
    RECT client{};
    ::GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

// `window`'s client area in the coordinates of its parent's client area.
RECT ClientInParent(HWND window) noexcept {
    RECT client{};
    ::GetClientRect(window, &client);
    ::MapWindowPoints(window, ::GetParent(window), reinterpret_cast<POINT*>(&client), 2);
    return client;
}

RECT FrameInParent(HWND window) noexcept {
    RECT frame{};
    ::GetWindowRect(window, &frame);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&frame), 2);
    return frame;
}

// The border of a child window around its client area: what its non-client painting draws for the edge
// styles controls use.
void PaintBorder(HWND window, HDC dc, RECT frame) noexcept {
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (exStyle & WS_EX_CLIENTEDGE) {
        ::DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    } else if (exStyle & WS_EX_STATICEDGE) {
        ::DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (style & WS_BORDER) ::FrameRect(dc, &frame, ::GetSysColorBrush(COLOR_WINDOWFRAME));
}

void PaintChildren(HWND parent, const Canvas& canvas);

// `window` painted over what `canvas` holds, its client area at `client` (canvas coordinates).
void PaintClient(HWND window, const Canvas& canvas, const RECT& client) noexcept {
    Canvas own(ClientSize(window));
    if (!own.IsValid()) return;
    const SIZE size = own.Size();
    ::BitBlt(own.Dc(), 0, 0, size.cx, size.cy, canvas.Dc(), client.left, client.top, SRCCOPY);
    ::SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(own.Dc()), PRF_ERASEBKGND | PRF_CLIENT);
    PaintChildren(window, own);
    ::BitBlt(canvas.Dc(), client.left, client.top, size.cx, size.cy, own.Dc(), 0, 0, SRCCOPY);
}

// The visible children of `parent` into `canvas`, which holds `parent`'s client area: from the bottom of
// the z-order (the last child) up, clipped to the canvas.
void PaintChildren(HWND parent, const Canvas& canvas) {
    for (HWND child = ::GetWindow(::GetWindow(parent, GW_CHILD), GW_HWNDLAST); child;
         child = ::GetWindow(child, GW_HWNDPREV)) {
        if (!(::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE)) continue;
        PaintBorder(child, canvas.Dc(), FrameInParent(child));
        PaintClient(child, canvas, ClientInParent(child));
    }
}

}  // namespace

bool PaintWindowTree(HWND window, HDC dc, const RECT& bounds) noexcept {
    Canvas canvas(ClientSize(window));
    if (!canvas.IsValid()) return false;
    const SIZE size = canvas.Size();
    ::SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_ERASEBKGND | PRF_CLIENT);
    PaintChildren(window, canvas);
    const SavedDcState saved(dc);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    return ::StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                        canvas.Dc(), 0, 0, size.cx, size.cy, SRCCOPY) != FALSE;
}

}  // namespace ql
