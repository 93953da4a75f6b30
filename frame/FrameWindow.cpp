#include "frame/FrameWindow.h"

HRESULT RegisterFrameWindowClass(const wchar_t* className, WNDPROC procedure) noexcept {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof(existing)};
    if (::GetClassInfoExW(instance, className, &existing)) return S_OK;
    WNDCLASSEXW windowClass{sizeof(windowClass)};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    return ::RegisterClassExW(&windowClass) ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
}
