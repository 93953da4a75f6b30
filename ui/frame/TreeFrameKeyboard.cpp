// The parameterization window's keyboard: the hook component that hands the thread's keys to the frame's
// message sink, the route a key takes (the shown page where it belongs to it, the buttons and header else),
// and the frame's own handling of the keys its pages pass on.
#include <utility>

#include "ui/frame/TreeFrame.h"
#include "ui/frame/TreeFrameConstants.h"

using namespace treeframe;

namespace {

// The keyboard messages from WM_KEYDOWN to WM_SYSDEADCHAR, and the mouse messages a page may pass on.
constexpr UINT kLastKeyMessage = 0x0108;
constexpr UINT kLastMouseMessage = 0x0209;

bool IsDown(int key) noexcept { return ::GetKeyState(key) < 0; }

bool IsKeyMessage(UINT message) noexcept { return message >= WM_KEYDOWN && message <= kLastKeyMessage; }

bool IsKeyDown(const MSG& message, WPARAM key) noexcept {
    return message.message == WM_KEYDOWN && message.wParam == key;
}

}  // namespace

// --- the hook component ---

void CTreeFrame::CreateHook() noexcept {
    if (hook_) return;
    // Not registered: the keys come through the container's accelerator call alone.
    if (FAILED(::CoCreateInstance(CLSID_QuelkMessageHook, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IQuelkMessageHook,
                                  hook_.PutVoid())))
        hook_.Reset();
}

HRESULT CTreeFrame::StartHook() noexcept {
    ql::ComPtr<IConnectionPointContainer> container;
    QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(hook_.Get(), container));
    ql::ComPtr<IConnectionPoint> point;
    QL_RETURN_IF_FAILED(container->FindConnectionPoint(IID_IQuelkMessageSink, point.Put()));
    DWORD cookie = 0;
    QL_RETURN_IF_FAILED(point->Advise(static_cast<IQuelkMessageSink*>(this), &cookie));
    hookPoint_ = std::move(point);
    hookCookie_ = cookie;
    // A hook that does not start leaves the keys to the container's accelerator call, as without a hook.
    (void)hook_->Start();
    return S_OK;
}

void CTreeFrame::StopHook() noexcept {
    // The hook holds the sink: taking it back ends the cycle between the two.
    if (hook_) (void)hook_->Stop();
    if (hookPoint_) (void)hookPoint_->Unadvise(hookCookie_);
    hookPoint_.Reset();
    hookCookie_ = 0;
    hook_.Reset();
}

// --- where a key goes ---

bool CTreeFrame::FocusInFrame() const noexcept {
    const HWND frame = DialogWindow();
    const HWND focus = ::GetFocus();
    return frame && focus && (focus == frame || ::IsChild(frame, focus));
}

bool CTreeFrame::FocusInPageArea() const noexcept {
    const HWND area = Item(IDC_TF_PAGE_AREA);
    return area && ::IsChild(area, ::GetFocus());
}

HRESULT CTreeFrame::ActivePageKey(MSG& message) noexcept {
    IPropertyPage* page = PageAt(activePage_);
    // Without a page the key is nobody's to use.
    return page ? page->TranslateAccelerator(&message) : S_OK;
}

HRESULT CTreeFrame::DialogKey(MSG& message) noexcept {
    const bool handled = ::IsDialogMessageW(DialogWindow(), &message) != FALSE;
    if (IsKeyDown(message, VK_TAB)) EnsureDefaultButton(IsDown(VK_SHIFT));
    return handled ? S_OK : S_FALSE;
}

HRESULT CTreeFrame::OnForwardedMessage(MSG* message) noexcept {
    QL_RETURN_IF_NULL_OUT(message);
    return RouteMessage(*message);
}

HRESULT CTreeFrame::RouteMessage(MSG& message) noexcept {
    if (message.message == WM_TIMER) {
        // A timer of the shown page's window runs through the page; every other one goes on to its window.
        IPropertyPage* page = PageAt(activePage_);
        return page ? page->TranslateAccelerator(&message) : S_FALSE;
    }
    if (!IsKeyMessage(message.message) || message.message == WM_KEYUP || !FocusInFrame()) return S_FALSE;
    const bool shift = IsDown(VK_SHIFT);
    if (IsDown(VK_MENU) && ActivePageKey(message) == S_OK) return S_OK;
    if (message.message == WM_CHAR && ActivePageKey(message) == S_OK) return S_OK;
    if (message.message != WM_KEYDOWN) return DialogKey(message);

    const HWND focus = ::GetFocus();
    const HWND area = Item(IDC_TF_PAGE_AREA);
    const bool inArea = FocusInPageArea();
    switch (message.wParam) {
        case VK_TAB: {
            if (IsDown(VK_CONTROL) && TranslateFrameKey(message) == S_OK) return S_OK;
            // Tab goes into the page from the page area, and Shift+Tab from the control after it.
            const bool intoPage = inArea || (focus == area && !shift) ||
                                  (shift && focus == ::GetNextDlgTabItem(DialogWindow(), area, FALSE));
            if (intoPage && ActivePageKey(message) == S_OK) return S_OK;
            break;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_CANCEL:
            if (inArea && ActivePageKey(message) == S_OK) return S_OK;
            break;
        case VK_RETURN:
            if (inArea) {
                if (ActivePageKey(message) == S_OK) return S_OK;
                break;
            }
            return PressDefaultButton() ? S_OK : S_FALSE;
        case VK_ESCAPE:
            if (ActivePageKey(message) == S_OK) return S_OK;
            DoCancel();
            return S_OK;
        default:
            break;
    }
    return DialogKey(message);
}

// --- the frame's own keys ---

HRESULT CTreeFrame::TranslatePageKey(MSG* message) noexcept { return TranslateFrameKey(*message); }

HRESULT CTreeFrame::TranslateFrameKey(MSG& message) noexcept {
    const UINT kind = message.message;
    const bool mouse = kind >= WM_MOUSEMOVE && kind <= kLastMouseMessage;
    if ((!IsKeyMessage(kind) && !mouse) || !FocusInFrame()) return S_FALSE;
    if (IsKeyDown(message, VK_TAB)) {
        // A page passes Tab on when the focus leaves it: on to the control after the page area, or back onto
        // the page area itself.
        const bool shift = IsDown(VK_SHIFT);
        EnsureDefaultButton(shift);
        if (!IsDown(VK_CONTROL)) {
            const HWND area = Item(IDC_TF_PAGE_AREA);
            ::SetFocus(shift ? area : ::GetNextDlgTabItem(DialogWindow(), area, FALSE));
        }
        return S_OK;
    }
    if (IsKeyDown(message, VK_RETURN)) return PressDefaultButton() ? S_OK : S_FALSE;
    return ::IsDialogMessageW(DialogWindow(), &message) ? S_OK : S_FALSE;
}

BOOL CTreeFrame::PreTranslateKey(MSG* message) noexcept {
    if (!message) return FALSE;
    // With the hook running, every key the frame wanted was taken before it was dispatched; without it, this
    // call of the container is the only way in, so keys take the hook's route from here.
    const HRESULT result = HookRunning() ? TranslateFrameKey(*message) : RouteMessage(*message);
    if (result == S_OK) return TRUE;
    // Enter that no default button takes is dropped: the dialog manager would take it for the hidden OK and
    // close the window.
    return IsKeyDown(*message, VK_RETURN) ? TRUE : FALSE;
}
