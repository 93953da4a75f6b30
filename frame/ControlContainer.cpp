#include "frame/ControlContainer.h"

#include "frame/FrameWindow.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VarnokFrameUserInterface";
// Posted to the window: run the close handler from the loop.
constexpr UINT kContainerCloseMessage = WM_APP + 1;

}  // namespace

HRESULT CControlContainer::CreateFrameWindow(const std::wstring& title) noexcept {
    Close();
    QL_RETURN_IF_FAILED(RegisterFrameWindowClass(kWindowClass, &CControlContainer::WindowProc));
    HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, title.c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 400, 300, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), this);
    if (!window) return HRESULT_FROM_WIN32(::GetLastError());
    window_.Attach(window);
    return ql::MakeObject(site_, window);
}

HRESULT CControlContainer::Open(const std::wstring& classIdOrProgId, const std::wstring& title) noexcept {
    QL_RETURN_IF_FAILED(CreateFrameWindow(title));
    HRESULT hr = site_->CreateControl(classIdOrProgId, nullptr);
    if (SUCCEEDED(hr)) FitWindowToControl();
    if (FAILED(hr)) Close();
    return hr;
}

HRESULT CControlContainer::OpenControl(IUnknown* control, const std::wstring& title) noexcept {
    QL_RETURN_IF_NULL_OUT(control);
    QL_RETURN_IF_FAILED(CreateFrameWindow(title));
    HRESULT hr = site_->AttachControl(control, nullptr, true);
    if (SUCCEEDED(hr)) FitWindowToControl();
    if (FAILED(hr)) Close();
    return hr;
}

void CControlContainer::FitWindowToControl() noexcept {
    SIZE size{};
    if (FAILED(site_->ControlSizeInPixels(size)) || size.cx <= 0 || size.cy <= 0) return;
    HWND window = window_.Get();
    RECT outer{0, 0, size.cx, size.cy};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
    ::SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    (void)site_->FitToHost();
}

void CControlContainer::Show() noexcept {
    if (!window_) return;
    ::ShowWindow(window_.Get(), SW_SHOW);
    ::SetForegroundWindow(window_.Get());
    // The control takes the keyboard focus (its first tab stop) once its window is visible.
    if (site_ && site_->Control()) {
        ql::ComPtr<IOleObject> object;
        if (SUCCEEDED(ql::QueryInterfaceTo(site_->Control(), object))) {
            RECT client{};
            ::GetClientRect(window_.Get(), &client);
            (void)object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.Get(), 0, window_.Get(), &client);
        }
    }
}

void CControlContainer::Close() noexcept {
    if (site_) site_->Close();
    site_.Reset();
    window_.Reset();
}

bool CControlContainer::TranslateKey(MSG* message) noexcept {
    if (!site_ || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return false;
    return site_->TranslateControlKey(message) == S_OK;
}

void CControlContainer::RequestClose() noexcept {
    if (window_) ::PostMessageW(window_.Get(), kContainerCloseMessage, 0, 0);
}

void CControlContainer::OnCloseRequested() noexcept {
    if (closeHandler_) {
        closeHandler_();
    } else {
        Close();
    }
}

LRESULT CALLBACK CControlContainer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = FrameWindowOwner<CControlContainer>(window, message, lParam);
    switch (message) {
        case WM_SIZE:
            if (self && self->site_) (void)self->site_->FitToHost();
            return 0;
        case WM_SETFOCUS:
            if (HWND control = self && self->site_ ? self->site_->ControlWindow() : nullptr)
                ::SetFocus(control);
            return 0;
        case WM_CLOSE:
        case kContainerCloseMessage:
            if (self) self->OnCloseRequested();
            return 0;
        case WM_NCDESTROY:
            if (self && self->window_.Get() == window) self->window_.Detach();
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RunContainerLoop(CControlContainer& container) noexcept { RunHostLoop(container); }

void PumpContainerMessages(CControlContainer& container) noexcept { PumpHostMessages(container); }
