#include "classlib/AxHostWindow.h"

#include <shlwapi.h>

#include <vector>

#include "classlib/ComModule.h"
#include "classlib/DialogTemplate.h"
#include "classlib/HResult.h"

namespace ql {

namespace {

constexpr wchar_t kHostClassName[] = L"QuelkAxHost";

// The DLGINIT items of the dialog being created on this thread. A hosted control may create a dialog of
// its own while its host is created, so each creation keeps the previous items and puts them back.
thread_local const std::vector<DialogInitItem>* t_creatingDialogInit = nullptr;

class DialogInitScope {
public:
    explicit DialogInitScope(const std::vector<DialogInitItem>* items) noexcept
        : previous_(t_creatingDialogInit) {
        t_creatingDialogInit = items;
    }
    DialogInitScope(const DialogInitScope&) = delete;
    DialogInitScope& operator=(const DialogInitScope&) = delete;
    ~DialogInitScope() { t_creatingDialogInit = previous_; }

private:
    const std::vector<DialogInitItem>* previous_;
};

// The persisted stream of dialog item `controlId`, as a stream on a copy of its bytes; null when none.
ComPtr<IStream> InitStreamFor(int controlId) {
    ComPtr<IStream> stream;
    if (!t_creatingDialogInit) return stream;
    for (const DialogInitItem& item : *t_creatingDialogInit) {
        if (item.controlId != controlId || item.message != kDialogInitLoadFromStream) continue;
        stream.Attach(::SHCreateMemStream(item.data.data(), static_cast<UINT>(item.data.size())));
        break;
    }
    return stream;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

LRESULT OnCreate(HWND host) {
    ComPtr<AxControlSite> site;
    if (FAILED(MakeObject(site, host))) return -1;
    ::SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site.Get()));
    const std::wstring name = WindowText(host);
    if (!name.empty()) {
        ComPtr<IStream> init = InitStreamFor(::GetDlgCtrlID(host));
        // Take the items out of reach of a dialog the control creates for itself.
        DialogInitScope noItems(nullptr);
        (void)site->CreateControl(name, init.Get());  // a control that fails leaves an empty host
    }
    site.Detach();  // the window's reference, given back at WM_NCDESTROY
    return 0;
}

LRESULT CALLBACK HostWindowProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    AxControlSite* site = AxHostSite(host);
    switch (message) {
        case WM_CREATE:
            return OnCreate(host);
        case WM_SIZE:
            // A control that refuses the new extent keeps its old one until the next size.
            if (site) (void)site->FitToHost();
            return 0;
        case WM_SETFOCUS:
            if (HWND control = site ? site->ControlWindow() : nullptr) ::SetFocus(control);
            return 0;
        case WM_DESTROY:
            if (site) site->Close();
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(host, GWLP_USERDATA, 0);
            if (site) site->Release();
            break;
        default:
            if (message == ControlQueryMessage() && message != 0) {
                // The sender owns the answer.
                IUnknown* control = site ? site->Control() : nullptr;
                if (control) control->AddRef();
                return reinterpret_cast<LRESULT>(control);
            }
            break;
    }
    return ::DefWindowProcW(host, message, wParam, lParam);
}

void UnregisterHostClass(DWORD_PTR module) noexcept {
    ::UnregisterClassW(kHostClassName, reinterpret_cast<HINSTANCE>(module));
}

}  // namespace

UINT ControlQueryMessage() noexcept {
    static const UINT message = ::RegisterWindowMessageW(L"WM_ATLGETCONTROL");
    return message;
}

ComPtr<IUnknown> HostedControl(HWND item) noexcept {
    ComPtr<IUnknown> control;
    if (item) control.Attach(reinterpret_cast<IUnknown*>(::SendMessageW(item, ControlQueryMessage(), 0, 0)));
    return control;
}

const wchar_t* AxHostWindowClass() noexcept { return kHostClassName; }

HRESULT RegisterAxHostWindowClass(HINSTANCE module) noexcept {
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(module, kHostClassName, &existing)) return S_OK;
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = module;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    windowClass.lpszClassName = kHostClassName;
    if (!::RegisterClassExW(&windowClass)) return HRESULT_FROM_WIN32(::GetLastError());
    // A DLL must take its classes away itself when it goes.
    return ComModule::Instance().AddTermFunc(&UnregisterHostClass, reinterpret_cast<DWORD_PTR>(module));
}

AxControlSite* AxHostSite(HWND host) noexcept {
    wchar_t className[64] = {};
    if (!host || !::GetClassNameW(host, className, 64) || ::lstrcmpW(className, kHostClassName) != 0)
        return nullptr;
    return reinterpret_cast<AxControlSite*>(::GetWindowLongPtrW(host, GWLP_USERDATA));
}

HWND CreateDialogWithControls(HINSTANCE module, LPCWSTR id, HWND parent, DLGPROC procedure, LPARAM param) {
    DialogTemplate dialog;
    HRESULT hr = dialog.Load(module, id);
    std::vector<DialogInitItem> init;
    if (SUCCEEDED(hr) && dialog.ActiveXItemCount() > 0) {
        hr = RegisterAxHostWindowClass(module);
        if (SUCCEEDED(hr)) hr = dialog.ReplaceActiveXItems(kHostClassName);
        if (SUCCEEDED(hr)) hr = LoadDialogInit(module, id, init);
    }
    if (FAILED(hr)) {
        ::SetLastError(HRESULT_CODE(hr));
        return nullptr;
    }
    DialogInitScope scope(&init);
    return ::CreateDialogIndirectParamW(module, dialog.Get(), parent, procedure, param);
}

}  // namespace ql
