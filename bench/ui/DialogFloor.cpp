#include "DialogFloor.h"

#include <utility>

#include "bench/BenchTiming.h"
#include "classlib/WindowOwner.h"

namespace bench {

namespace {

// The controls stand in a grid of this many columns, each a short text in the system's dialog font.
constexpr size_t kColumns = 8;
constexpr short kCellWidth = 45, kCellHeight = 10, kLabelWidth = 42, kLabelHeight = 8;
constexpr WORD kStaticClass = 0x0082;
constexpr wchar_t kLabel[] = L"Label";
constexpr wchar_t kFontFace[] = L"MS Sans Serif";
constexpr WORD kFontPoints = 8;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

BOOL CALLBACK CountOne(HWND, LPARAM count) {
    ++*reinterpret_cast<size_t*>(count);
    return TRUE;
}

}  // namespace

size_t CountChildWindows(HWND window) noexcept {
    size_t count = 0;
    if (window) ::EnumChildWindows(window, CountOne, reinterpret_cast<LPARAM>(&count));
    return count;
}

void DialogFloor::BuildTemplate(size_t controls) {
    const size_t rows = (controls + kColumns - 1) / kColumns;
    ql::DialogTemplateWriter dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU, static_cast<WORD>(controls),
                                    static_cast<short>(kColumns * kCellWidth),
                                    static_cast<short>(rows * kCellHeight + kCellHeight), L"", kFontPoints,
                                    kFontFace);
    for (size_t i = 0; i < controls; ++i) {
        dialog.Item(kStaticClass, WS_CHILD | WS_VISIBLE | SS_LEFT, static_cast<WORD>(1000 + i),
                    static_cast<short>((i % kColumns) * kCellWidth + 2),
                    static_cast<short>((i / kColumns) * kCellHeight + 2), kLabelWidth, kLabelHeight, kLabel);
    }
    template_ = std::move(dialog);
    controls_ = controls;
}

double DialogFloor::Time(size_t controls, HWND measured) {
    if (template_.IsEmpty() || controls != controls_) BuildTemplate(controls);
    const double start = Seconds();
    ql::WindowOwner dialog(::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), template_.Get(), nullptr,
                                                        PlainDialogProc, 0));
    if (!dialog) return 0;
    // Shown as the benchmark's window stays active: the window measured is not disturbed.
    ::ShowWindow(dialog.Get(), SW_SHOWNOACTIVATE);
    ::RedrawWindow(dialog.Get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    dialog.Reset();
    const double seconds = Seconds() - start;
    if (measured) ::RedrawWindow(measured, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return seconds;
}

}  // namespace bench
