#include "tests/ui/views/ViewTestSupport.h"

#include <gtest/gtest.h>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "classlib/SafeArray.h"

namespace viewtest {

ql::Variant ByteArray(const std::vector<BYTE>& bytes) {
    ql::Variant value;
    ql::SafeArray array;
    if (FAILED(array.Create(VT_UI1, static_cast<ULONG>(bytes.size())))) return value;
    if (!bytes.empty()) {
        ql::SafeArrayData<BYTE> data(array.Get());
        for (size_t i = 0; i < bytes.size(); ++i) data[i] = bytes[i];
    }
    value.AttachArray(VT_UI1, array.Detach());
    return value;
}

ql::Variant IdValuePayload(ULONG id, const VARIANT& value) {
    ql::Variant element;
    element.SetUI4(id);
    ql::SafeArray pair;
    ql::Variant payload;
    if (FAILED(pair.Create(VT_VARIANT, 2))) return payload;
    LONG index = 0;
    (void)::SafeArrayPutElement(pair.Get(), &index, element.Get());
    index = 1;
    (void)::SafeArrayPutElement(pair.Get(), &index, const_cast<VARIANT*>(&value));
    payload.AttachArray(VT_VARIANT, pair.Detach());
    return payload;
}

bool IsFunctionEnabled(IUnknown* dtm, ULONG functionId) {
    ql::ComPtr<IQuelkFunctions> functions;
    ql::Bstr body;
    if (FAILED(ql::QueryInterfaceTo(dtm, functions)) || FAILED(functions->GetFunctions(body.Put())))
        return false;
    const std::wstring document(body.View());
    // The function's element carries its status element inside it.
    const size_t function = document.find(L"functionId =\"" + std::to_wstring(functionId) + L"\"");
    if (function == std::wstring::npos) return false;
    const std::wstring enabled = L"enabled =\"";
    const size_t at = document.find(enabled, function);
    return at != std::wstring::npos && document.compare(at + enabled.size(), 1, L"1") == 0;
}

std::string DialogItemText(HWND dialog, int id) {
    char text[256] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::set<int> TickedBoxes(HWND dialog, int first, int last) {
    std::set<int> ticked;
    for (int id = first; id <= last; ++id) {
        const HWND box = ::GetDlgItem(dialog, id);
        const bool checked = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EXPECT_EQ(checked, ::IsWindowEnabled(box) != FALSE) << id;
        if (checked) ticked.insert(id);
    }
    return ticked;
}

WindowPicture::WindowPicture(HWND window) : window_(window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    ::GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    ql::WindowDc source(window);
    ql::Bitmap picture(::CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture) return;
    ql::MemoryDc target(source.Get(), picture.Get());
    ::BitBlt(target.Get(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    width_ = client.right;
    height_ = client.bottom;
    const auto* first = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width_ * height_; ++i) {
        const DWORD pixel = first[i];
        pixels_.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    }
}

COLORREF WindowPicture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

COLORREF WindowPicture::AtCentreOf(HWND child) const {
    RECT bounds{};
    ::GetWindowRect(child, &bounds);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    return At((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
}

}  // namespace viewtest
