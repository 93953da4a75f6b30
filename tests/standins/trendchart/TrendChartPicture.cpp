// trend_chart_picture.exe <file.bmp>: the trend chart hosted in its test dialog, fed three pens as the trend
// view feeds them, painted and written out as a bitmap file (scripts/screenshots.sh turns it into a PNG).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "UiComponentInterfaces.h"
#include "classlib/AxHostWindow.h"
#include "classlib/ComApartment.h"
#include "classlib/ComPtr.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "classlib/WindowOwner.h"

namespace {

constexpr UINT kDialog = 220;  // TrendChartTest.rc
constexpr int kChartItem = 6510;
constexpr int kValueCount = 60;
constexpr LONG kIntervalMs = 200;  // 60 values over the dialog data's 10 seconds

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The running minimum and maximum of each pen, sent as the trend view sends them.
void Feed(ITrendChart* chart, LONG pen, double value, double& minimum, double& maximum, bool first) {
    (void)chart->AddValue(pen, value);
    if (first || value < minimum) (void)chart->SetMinimum(pen, minimum = value);
    if (first || value > maximum) (void)chart->SetMaximum(pen, maximum = value);
}

bool WriteBitmapFile(const wchar_t* path, HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    ::GetClientRect(window, &client);
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), client.right, client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    ql::WindowDc source(window);
    ql::Bitmap picture(::CreateDIBSection(source.Get(), reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture) return false;
    {
        ql::MemoryDc target(source.Get(), picture.Get());
        ::BitBlt(target.Get(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    const DWORD pixelBytes = static_cast<DWORD>(client.right * client.bottom * 4);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + pixelBytes;
    FILE* out = _wfopen(path, L"wb");
    if (!out) return false;
    const bool written = fwrite(&file, sizeof(file), 1, out) == 1 &&
                         fwrite(&header, sizeof(header), 1, out) == 1 &&
                         fwrite(bits, pixelBytes, 1, out) == 1;
    return fclose(out) == 0 && written;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    ql::ComApartment apartment;
    if (FAILED(apartment.Status())) return 1;
    ql::WindowOwner dialog(ql::CreateDialogWithControls(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialog), nullptr, PlainDialogProc, 0));
    if (!dialog) return 1;
    ::ShowWindow(dialog.Get(), SW_SHOWNOACTIVATE);
    const ql::ComPtr<IUnknown> control = ql::HostedControl(::GetDlgItem(dialog.Get(), kChartItem));
    ql::ComPtr<ITrendChart> chart;
    ql::ComPtr<ITrendChartPens> pens;
    ql::ComPtr<ITrendChartTiming> timing;
    ql::ComPtr<ITrendChartView> view;
    if (!control || FAILED(ql::QueryInterfaceTo(control.Get(), chart)) ||
        FAILED(ql::QueryInterfaceTo(control.Get(), pens)) ||
        FAILED(ql::QueryInterfaceTo(control.Get(), timing)) ||
        FAILED(ql::QueryInterfaceTo(control.Get(), view)))
        return 1;

    (void)timing->SetInterval(kIntervalMs);
    for (LONG pen = 1; pen <= 3; ++pen) (void)pens->SetPenActive(pen, 1);
    (void)view->Prepare();
    double minimum[3] = {}, maximum[3] = {};
    for (int i = 0; i < kValueCount; ++i) {
        const double massFlow = 120.0 + 25.0 * std::sin(i / 6.0);
        const double aiFlow = 110.0 + 18.0 * std::cos(i / 9.0);
        const double totalizer = 1000.0 + 12.5 * i;
        Feed(chart.Get(), 1, massFlow, minimum[0], maximum[0], i == 0);
        Feed(chart.Get(), 2, aiFlow, minimum[1], maximum[1], i == 0);
        Feed(chart.Get(), 3, totalizer, minimum[2], maximum[2], i == 0);
    }
    (void)view->Update();
    return WriteBitmapFile(argv[1], dialog.Get()) ? 0 : 1;
}
