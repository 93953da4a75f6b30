// The trend-chart control as the trend view uses it: created through COM as the ActiveX item of a dialog
// whose initialisation data configures it, fed values, and painted into its window.
#include <ocidl.h>
#include <shlwapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TrendChartLibrary.h"
#include "classlib/AxHostWindow.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/DeviceContext.h"
#include "classlib/GdiObject.h"
#include "classlib/WindowOwner.h"
#include "tests/support/ComTest.h"
#include "tests/support/ServerModule.h"

namespace {

constexpr UINT kDialog = 220;  // TrendChartTest.rc
constexpr int kChartItem = 6510;
constexpr COLORREF kBackColor = 14745599;  // the dialog data's BackColor
constexpr COLORREF kMassFlowColor = 16711680;
constexpr COLORREF kTotalizerColor = 255;

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The pixels of a window's client area as 0x00RRGGBB, taken after it painted itself.
std::vector<DWORD> CaptureClient(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    ::GetClientRect(window, &client);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB};
    void* bits = nullptr;
    ql::WindowDc source(window);
    ql::Bitmap picture(::CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!picture) return {};
    ql::MemoryDc target(source.Get(), picture.Get());
    ::BitBlt(target.Get(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(first, first + client.right * client.bottom);
}

size_t CountColor(const std::vector<DWORD>& pixels, COLORREF color) {
    const DWORD wanted = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    size_t count = 0;
    for (DWORD pixel : pixels) count += (pixel & 0xFFFFFF) == wanted ? 1 : 0;
    return count;
}

class TrendChartTest : public vtest::ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        dialog_.Attach(ql::CreateDialogWithControls(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDialog),
                                                    nullptr, PlainDialogProc, 0));
        ASSERT_TRUE(dialog_) << ::GetLastError();
        ::ShowWindow(dialog_.Get(), SW_SHOWNOACTIVATE);
        const ql::ComPtr<IUnknown> control = ql::HostedControl(::GetDlgItem(dialog_.Get(), kChartItem));
        ASSERT_TRUE(control) << "the chart was not created from its class id";
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), chart_));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), pens_));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), timing_));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(control.Get(), view_));
    }
    void TearDown() override {
        chart_.Reset();
        pens_.Reset();
        timing_.Reset();
        view_.Reset();
        dialog_.Reset();
        EXPECT_HR(S_OK, vtest::ServerCanUnloadNow(L"trend_chart.dll"));
    }
    HWND ChartWindow() const { return ::GetWindow(::GetDlgItem(dialog_.Get(), kChartItem), GW_CHILD); }

    ql::WindowOwner dialog_;
    ql::ComPtr<ITrendChart> chart_;
    ql::ComPtr<ITrendChartPens> pens_;
    ql::ComPtr<ITrendChartTiming> timing_;
    ql::ComPtr<ITrendChartView> view_;
};

TEST_F(TrendChartTest, ReadsItsPensAndExtentFromTheDialogInitData) {
    struct Case {
        LONG pen;
        const wchar_t* name;
        OLE_COLOR color;
        LONG active;
    };
    const Case cases[] = {
        {1, L"Mass Flow", kMassFlowColor, 1},
        {2, L"AI Flow", 65280, 1},
        {3, L"Totalizer", kTotalizerColor, 0},
        {4, L"Pen 4", 0, 0},  // not in the data: as a new chart has it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pen);
        ql::Bstr name;
        OLE_COLOR color = 1;
        LONG active = -1;
        ASSERT_HR(S_OK, pens_->GetPen(c.pen, name.Put(), &color, &active));
        EXPECT_STREQ(c.name, name.CStr());
        EXPECT_EQ(c.color, color);
        EXPECT_EQ(c.active, active);
    }
    ql::Bstr name;
    OLE_COLOR color = 0;
    LONG active = 0;
    EXPECT_HR(E_INVALIDARG, pens_->GetPen(33, name.Put(), &color, &active));

    ql::ComPtr<IOleObject> object;
    ASSERT_HR(S_OK, ql::QueryInterfaceTo(chart_.Get(), object));
    SIZEL extent{};
    ASSERT_HR(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(11589, extent.cx);
    EXPECT_EQ(5080, extent.cy);
}

TEST_F(TrendChartTest, DrawsTheShownPensOnItsBackgroundAsValuesArrive) {
    ASSERT_HR(S_OK, timing_->SetInterval(1000));
    ASSERT_HR(S_OK, view_->Prepare());
    ASSERT_HR(S_OK, view_->Update());
    const std::vector<DWORD> empty = CaptureClient(ChartWindow());
    ASSERT_FALSE(empty.empty());
    EXPECT_GT(CountColor(empty, kBackColor), empty.size() / 2) << "the data's background colour";

    // What the trend view sends for the values 5, 3, 7 of the mass flow; the totalizer's pen is hidden.
    const double values[] = {5, 3, 7, 4, 6};
    for (double value : values) {
        ASSERT_HR(S_OK, chart_->AddValue(1, value));
        ASSERT_HR(S_OK, chart_->AddValue(3, value * 10));
    }
    ASSERT_HR(S_OK, chart_->SetMinimum(1, 3));
    ASSERT_HR(S_OK, chart_->SetMaximum(1, 7));
    ASSERT_HR(S_OK, view_->Update());
    const std::vector<DWORD> drawn = CaptureClient(ChartWindow());
    EXPECT_GT(CountColor(drawn, kMassFlowColor), CountColor(empty, kMassFlowColor) + 20)
        << "no line of the mass flow's pen";
    EXPECT_EQ(CountColor(empty, kTotalizerColor), CountColor(drawn, kTotalizerColor))
        << "a hidden pen was drawn";

    ASSERT_HR(S_OK, pens_->SetPenActive(3, 1));
    ASSERT_HR(S_OK, view_->Update());
    EXPECT_GT(CountColor(CaptureClient(ChartWindow()), kTotalizerColor),
              CountColor(drawn, kTotalizerColor) + 20)
        << "a pen made active is drawn";

    double bound = 0;
    EXPECT_HR(S_OK, chart_->GetMinimum(1, &bound));
    EXPECT_EQ(3.0, bound);
    EXPECT_HR(S_OK, chart_->GetMaximum(1, &bound));
    EXPECT_EQ(7.0, bound);
    EXPECT_HR(E_INVALIDARG, chart_->AddValue(0, 1.0));
    EXPECT_HR(E_INVALIDARG, chart_->AddValue(33, 1.0));
}

TEST_F(TrendChartTest, TheTimeAxisScrollsAndOlderValuesExpire) {
    // 10 seconds shown at one value a second: of 30 values the last 11 remain, the oldest at the axis' start.
    ASSERT_HR(S_OK, timing_->SetInterval(1000));
    ASSERT_HR(S_OK, view_->Prepare());
    for (int i = 0; i < 30; ++i) ASSERT_HR(S_OK, chart_->AddValue(2, i));
    LONG count = 0;
    EXPECT_HR(S_OK, chart_->GetValueCount(2, &count));
    EXPECT_EQ(11, count);
    EXPECT_HR(S_OK, chart_->GetValueCount(1, &count));
    EXPECT_EQ(0, count);
    ASSERT_HR(S_OK, view_->Prepare());
    EXPECT_HR(S_OK, chart_->GetValueCount(2, &count));
    EXPECT_EQ(0, count) << "Prepare starts afresh";
}

// A container that saves a form holding the chart (a property frame, a designer) gets what the chart
// loaded, and another chart loads it to the same pens and extent; so does a chart started new.
TEST_F(TrendChartTest, SavesWhatItLoadedForAnotherChartToLoad) {
    auto save = [](IUnknown* chart) {
        ql::ComPtr<IPersistStreamInit> persist;
        EXPECT_HR(S_OK, ql::QueryInterfaceTo(chart, persist));
        ql::ComPtr<IStream> stream;
        stream.Attach(::SHCreateMemStream(nullptr, 0));
        EXPECT_HR(S_OK, persist->Save(stream.Get(), TRUE));
        EXPECT_HR(S_FALSE, persist->IsDirty());
        return stream;
    };
    auto pens = [](ITrendChartPens* chart) {
        std::vector<std::wstring> described;
        for (LONG pen = 1; pen <= 4; ++pen) {
            ql::Bstr name;
            OLE_COLOR color = 0;
            LONG active = 0;
            EXPECT_HR(S_OK, chart->GetPen(pen, name.Put(), &color, &active));
            described.push_back(std::wstring(name.View()) + L" " + std::to_wstring(color) + L" " +
                                std::to_wstring(active));
        }
        return described;
    };
    auto extent = [](IUnknown* chart) {
        ql::ComPtr<IOleObject> object;
        EXPECT_HR(S_OK, ql::QueryInterfaceTo(chart, object));
        SIZEL size{};
        EXPECT_HR(S_OK, object->GetExtent(DVASPECT_CONTENT, &size));
        return std::make_pair(size.cx, size.cy);
    };

    for (const bool startedNew : {false, true}) {
        SCOPED_TRACE(startedNew ? "started new" : "loaded from the dialog");
        ql::ComPtr<ITrendChartPens> first = pens_;
        if (startedNew) {
            ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_TrendChart, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_ITrendChartPens, first.PutVoid()));
            ql::ComPtr<IPersistStreamInit> persist;
            ASSERT_HR(S_OK, ql::QueryInterfaceTo(first.Get(), persist));
            ASSERT_HR(S_OK, persist->InitNew());
        }
        ql::ComPtr<IStream> saved = save(first.Get());
        ASSERT_HR(S_OK, saved->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));

        ql::ComPtr<IPersistStreamInit> second;
        ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_TrendChart, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IPersistStreamInit, second.PutVoid()));
        ASSERT_HR(S_OK, second->Load(saved.Get()));
        ql::ComPtr<ITrendChartPens> secondPens;
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(second.Get(), secondPens));
        EXPECT_EQ(pens(first.Get()), pens(secondPens.Get()));
        EXPECT_EQ(extent(first.Get()), extent(second.Get()));
    }
}

using vtest::ComTest;

TEST_F(ComTest, TrendChartRefusesADamagedStateStream) {
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
    };
    const std::vector<BYTE> text = {'A', 0, ':', 0, ' ', 0, '1', 0, 0, 0};
    std::vector<BYTE> whole = {0, 0, 0, 0, 10, 0, 0, 0};
    whole.insert(whole.end(), text.begin(), text.end());
    for (BYTE b : {0x00, 0x03, 0x00, 0x00, 0x45, 0x2D, 0x00, 0x00, 0xD8, 0x13, 0x00, 0x00})
        whole.push_back(b);
    const Case cases[] = {
        {"ends inside the text", std::vector<BYTE>(whole.begin(), whole.begin() + 12)},
        {"ends before the extent", std::vector<BYTE>(whole.begin(), whole.end() - 4)},
        {"odd byte count", {0, 0, 0, 0, 3, 0, 0, 0, 'A', 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::ComPtr<IPersistStreamInit> chart;
        ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_TrendChart, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IPersistStreamInit, chart.PutVoid()));
        ql::ComPtr<IStream> stream;
        stream.Attach(::SHCreateMemStream(c.bytes.data(), static_cast<UINT>(c.bytes.size())));
        EXPECT_HR(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), chart->Load(stream.Get()));
    }
    ql::ComPtr<IPersistStreamInit> chart;
    ASSERT_HR(S_OK, ::CoCreateInstance(CLSID_TrendChart, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IPersistStreamInit, chart.PutVoid()));
    ql::ComPtr<IStream> stream;
    stream.Attach(::SHCreateMemStream(whole.data(), static_cast<UINT>(whole.size())));
    EXPECT_HR(S_OK, chart->Load(stream.Get()));
}

}  // namespace
