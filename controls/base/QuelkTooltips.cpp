#include "controls/base/QuelkTooltips.h"

#include <commctrl.h>

#include "classlib/ComModule.h"

HRESULT CQuelkTooltips::Set(HWND item, const char* text) noexcept {
    if (!item) return S_FALSE;
    const HINSTANCE instance = ql::ComModule::Instance().ModuleInstance();
    UINT message = TTM_UPDATETIPTEXTA;
    HWND tooltip = TooltipOf(item);
    if (!tooltip) {
        tooltip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, item, nullptr, instance, nullptr);
        if (!tooltip) return E_FAIL;
        ql::WindowOwner owned(tooltip);
        ::SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        try {
            tooltips_[item] = std::move(owned);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        message = TTM_ADDTOOLA;
    }
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = item;
    info.uId = 0;
    ::GetClientRect(item, &info.rect);
    info.hinst = instance;
    info.lpszText = const_cast<char*>(text);
    ::SendMessageA(tooltip, message, 0, reinterpret_cast<LPARAM>(&info));
    return S_OK;
}

HWND CQuelkTooltips::TooltipOf(HWND item) const noexcept {
    const auto found = tooltips_.find(item);
    return found == tooltips_.end() ? nullptr : found->second.Get();
}
