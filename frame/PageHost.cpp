#include "frame/PageHost.h"

#include "classlib/Bstr.h"
#include "comm/Dpv1InvokeId.h"
#include "frame/FrameWindow.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VarnokFramePropertyPage";
// The online parameterization's frame mode, which a page hands to the DTM.
constexpr ULONG kOnlineFrameMode = 2;

HRESULT ClassIdOf(const std::wstring& classIdOrProgId, CLSID& clsid) noexcept {
    if (!classIdOrProgId.empty() && classIdOrProgId[0] == L'{')
        return ::CLSIDFromString(classIdOrProgId.c_str(), &clsid);
    return ::CLSIDFromProgID(classIdOrProgId.c_str(), &clsid);
}

}  // namespace

HRESULT CPageHost::CreateFrameWindow(const std::wstring& title, SIZE client) noexcept {
    QL_RETURN_IF_FAILED(RegisterFrameWindowClass(kWindowClass, &CPageHost::WindowProc));
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT outer{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&outer, style, FALSE, WS_EX_CONTROLPARENT);
    HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, title.c_str(), style, 20, 20,
                                    outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), this);
    if (!window) return HRESULT_FROM_WIN32(::GetLastError());
    window_.Attach(window);
    return S_OK;
}

HRESULT CPageHost::Open(const std::wstring& classIdOrProgId, IUnknown* dtm, bool online) noexcept {
    QL_RETURN_IF_NULL_OUT(dtm);
    Close();
    CLSID clsid{};
    QL_RETURN_IF_FAILED(ClassIdOf(classIdOrProgId, clsid));
    QL_RETURN_IF_FAILED(ql::MakeObject(site_));
    IUnknown* objects[] = {dtm};
    HRESULT hr = page_.Create(clsid, site_.Get(), 1, objects);
    if (SUCCEEDED(hr) && online) {
        ql::ComPtr<IQuelkPageMode> mode;
        if (SUCCEEDED(ql::QueryInterfaceTo(page_.Page(), mode)) && mode) {
            (void)mode->SetOnline(1);
            (void)mode->SetFrameMode(kOnlineFrameMode);
        }
    }
    if (SUCCEEDED(hr)) {
        const PROPPAGEINFO& info = page_.Info();
        const std::wstring title = info.pszTitle ? info.pszTitle : classIdOrProgId;
        hr = CreateFrameWindow(title, info.size);
    }
    if (SUCCEEDED(hr))
        hr = page_.Activate(window_.Get(), RECT{0, 0, page_.Info().size.cx, page_.Info().size.cy});
    ql::ComPtr<IQuelkControl> control;
    if (SUCCEEDED(hr)) hr = ql::QueryInterfaceTo(page_.Page(), control);
    VARIANT_BOOL initialised = VARIANT_FALSE;
    if (SUCCEEDED(hr)) hr = control->Init(dtm, &initialised);
    if (hr == S_OK && initialised != VARIANT_TRUE) hr = S_FALSE;
    // The DTM's notifications reach the page as an open control's, as the parameterization window relays
    // them.
    ql::Bstr invokeId;
    if (hr == S_OK) hr = ql::QueryInterfaceTo(dtm, functions_);
    if (hr == S_OK) hr = CreateInvokeId(invokeId.Put());
    if (hr == S_OK) hr = functions_->ActiveXControlEvent(invokeId.Get(), control.Get());
    if (hr == S_OK) {
        invokeId_.assign(invokeId.View());
        hr = page_.Page()->Show(SW_SHOW);
    }
    if (hr != S_OK) {
        Close();
        return hr;
    }
    ::ShowWindow(window_.Get(), SW_SHOW);
    ::SetForegroundWindow(window_.Get());
    return S_OK;
}

void CPageHost::Close() noexcept {
    if (functions_ && !invokeId_.empty())
        (void)functions_->ActiveXControlEvent(ql::Bstr(invokeId_).Get(), nullptr);
    invokeId_.clear();
    functions_.Reset();
    page_.Reset();
    site_.Reset();
    window_.Reset();
}

HWND CPageHost::PageDialog() const noexcept {
    return window_ ? ::GetWindow(window_.Get(), GW_CHILD) : nullptr;
}

bool CPageHost::TranslateKey(MSG* message) noexcept {
    if (!page_.Page() || message->message < WM_KEYFIRST || message->message > WM_KEYLAST) return false;
    const HWND dialog = PageDialog();
    if (!dialog || (message->hwnd != dialog && !::IsChild(dialog, message->hwnd))) return false;
    return page_.Page()->TranslateAccelerator(message) == S_OK;
}

LRESULT CALLBACK CPageHost::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = FrameWindowOwner<CPageHost>(window, message, lParam);
    switch (message) {
        case WM_CLOSE:
            // From the loop, never inside a call of the page: the page goes first, then the window.
            if (self) self->Close();
            return 0;
        case WM_NCDESTROY:
            if (self && self->window_.Get() == window) (void)self->window_.Detach();
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void PumpPageMessages(CPageHost& host) noexcept { PumpHostMessages(host); }

void RunPageLoop(CPageHost& host) noexcept { RunHostLoop(host); }
