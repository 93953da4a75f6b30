#include "DialogFloor.h"

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

void AppendDword(std::vector<WORD>& words, DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

void AppendText(std::vector<WORD>& words, const wchar_t* text) {
    for (; *text; ++text) words.push_back(static_cast<WORD>(*text));
    words.push_back(0);
}

// Items start on a DWORD boundary of the template.
void AlignToDword(std::vector<WORD>& words) {
    if (words.size() % 2) words.push_back(0);
}

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
    std::vector<WORD> words;
    AppendDword(words, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT);
    AppendDword(words, 0);
    words.push_back(static_cast<WORD>(controls));
    words.push_back(0);  // x
    words.push_back(0);  // y
    words.push_back(static_cast<WORD>(kColumns * kCellWidth));
    words.push_back(static_cast<WORD>(rows * kCellHeight + kCellHeight));
    words.push_back(0);  // no menu
    words.push_back(0);  // the dialog class
    AppendText(words, L"");
    words.push_back(kFontPoints);
    AppendText(words, kFontFace);
    for (size_t i = 0; i < controls; ++i) {
        AlignToDword(words);
        AppendDword(words, WS_CHILD | WS_VISIBLE | SS_LEFT);
        AppendDword(words, 0);
        words.push_back(static_cast<WORD>((i % kColumns) * kCellWidth + 2));
        words.push_back(static_cast<WORD>((i / kColumns) * kCellHeight + 2));
        words.push_back(kLabelWidth);
        words.push_back(kLabelHeight);
        words.push_back(static_cast<WORD>(1000 + i));
        words.push_back(0xFFFF);
        words.push_back(kStaticClass);
        AppendText(words, kLabel);
        words.push_back(0);  // no creation data
    }
    template_ = std::move(words);
    controls_ = controls;
}

double DialogFloor::Time(size_t controls, HWND measured) {
    if (template_.empty() || controls != controls_) BuildTemplate(controls);
    const double start = Seconds();
    ql::WindowOwner dialog(::CreateDialogIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(template_.data()), nullptr,
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
