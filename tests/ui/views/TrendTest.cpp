// The trend view (function 8). Its chart's calls are recorded by a chart of the test's own that the view's
// chart item answers with (the DTM offline, so no device read comes between): the set-up, every value with
// its pen's running bounds, the pens switched by their boxes; and the dialog's initialisation data as the
// chart receives it.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "UiComponentInterfaces.h"
#include "classlib/AxControlSite.h"
#include "classlib/AxHostWindow.h"
#include "classlib/Bstr.h"
#include "classlib/DialogTemplate.h"
#include "comm/Dpv1InvokeId.h"
#include "frame/ControlContainer.h"
#include "frame/FrameDocuments.h"
#include "standins/common/DispatchStub.h"
#include "tests/controls/base/ControlTestSupport.h"
#include "tests/ui/views/ViewTestSupport.h"
#include "ui/views/ViewResources.h"

namespace {

using Calls = std::vector<std::string>;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value);
    return text;
}

// A chart that records the calls the view makes, as "Method arguments".
class RecordingChart final : public ql::ComObjectBase<RecordingChart>,
                             public standins::DispatchStub<ITrendChart>,
                             public standins::DispatchStub<ITrendChartPens>,
                             public standins::DispatchStub<ITrendChartTiming>,
                             public standins::DispatchStub<ITrendChartView> {
    QL_INTERFACE_TABLE(RecordingChart, QL_ENTRY(ITrendChart), QL_ENTRY_IID(IID_IDispatch, ITrendChart),
                       QL_ENTRY(ITrendChartPens), QL_ENTRY(ITrendChartTiming), QL_ENTRY(ITrendChartView))

public:
    HRESULT FinalConstruct() noexcept { return S_OK; }

    Calls calls;

    HRESULT STDMETHODCALLTYPE GetValueCount(LONG, LONG*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMaximum(LONG pen, DOUBLE value) noexcept override {
        return Record("SetMaximum " + std::to_string(pen) + " " + Number(value));
    }
    HRESULT STDMETHODCALLTYPE GetMaximum(LONG, DOUBLE*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMinimum(LONG pen, DOUBLE value) noexcept override {
        return Record("SetMinimum " + std::to_string(pen) + " " + Number(value));
    }
    HRESULT STDMETHODCALLTYPE GetMinimum(LONG, DOUBLE*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddValue(LONG pen, DOUBLE value) noexcept override {
        return Record("AddValue " + std::to_string(pen) + " " + Number(value));
    }
    HRESULT STDMETHODCALLTYPE SetPenActive(LONG pen, LONG active) noexcept override {
        return Record("SetPenActive " + std::to_string(pen) + " " + std::to_string(active));
    }
    HRESULT STDMETHODCALLTYPE GetPen(LONG, BSTR*, OLE_COLOR*, LONG*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetInterval(LONG milliseconds) noexcept override {
        return Record("SetInterval " + std::to_string(milliseconds));
    }
    HRESULT STDMETHODCALLTYPE Update() noexcept override { return Record("Update"); }
    HRESULT STDMETHODCALLTYPE Prepare() noexcept override { return Record("Prepare"); }

    // The chart item's host answers with the recorder instead of the chart it created (with a reference
    // for the sender, as a host answers).
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR chart) {
        if (message == ql::ControlQueryMessage()) {
            ITrendChart* answer = reinterpret_cast<RecordingChart*>(chart);
            answer->AddRef();
            return reinterpret_cast<LRESULT>(answer);
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }

private:
    HRESULT Record(std::string call) {
        calls.push_back(std::move(call));
        return S_OK;
    }
};

// The view opened as a frame opens a function's control, its chart item answering with the recorder.
class TrendRecordingTest : public controltest::DtmFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(DtmFixture::SetUp());
        ASSERT_HR(S_OK, ql::MakeObject(chart_));
        ASSERT_HR(S_OK, container_.Open(L"VarnokP3.Trend", L"Trend"));
        dialog_ = container_.Site()->ControlWindow();
        ASSERT_TRUE(dialog_);
        chartItem_ = ::GetDlgItem(dialog_, IDC_TREND_CHART);
        ASSERT_TRUE(chartItem_);
        ASSERT_TRUE(::SetWindowSubclass(chartItem_, RecordingChart::HostProc, 1,
                                        reinterpret_cast<DWORD_PTR>(chart_.Get())));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(container_.Control(), fdtControl_));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(container_.Control(), control_));
        ql::Bstr invokeId, call(FunctionCallDocument(8));
        ql::ComPtr<IDtm> dtm;
        ASSERT_HR(S_OK, CreateInvokeId(invokeId.Put()));
        ASSERT_HR(S_OK, ql::QueryInterfaceTo(session_.Object(), dtm));
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_HR(S_OK, fdtControl_->Init(invokeId.Get(), call.Get(), dtm.Get(), &ok));
        ASSERT_EQ(VARIANT_TRUE, ok);
        container_.Show();
    }
    void TearDown() override {
        if (fdtControl_) {
            VARIANT_BOOL released = VARIANT_FALSE;
            EXPECT_HR(S_OK, fdtControl_->PrepareToRelease(&released));
        }
        if (chartItem_) ::RemoveWindowSubclass(chartItem_, RecordingChart::HostProc, 1);
        control_.Reset();
        fdtControl_.Reset();
        container_.Close();
        chart_.Reset();
        DtmFixture::TearDown();
    }
    // The calls made from now on.
    Calls Record(const std::function<void()>& action) {
        chart_->calls.clear();
        action();
        return chart_->calls;
    }
    void Notify(ULONG id, const std::vector<BYTE>& record) {
        EXPECT_HR(S_OK,
                  control_->OnNotify(viewtest::kDeviceValueNotify, *viewtest::IdRecordPayload(id, record)));
    }

    ql::ComPtr<RecordingChart> chart_;
    CControlContainer container_;
    ql::ComPtr<IDtmActiveXControl> fdtControl_;
    ql::ComPtr<IQuelkControl> control_;
    HWND dialog_ = nullptr;
    HWND chartItem_ = nullptr;
};

TEST_F(TrendRecordingTest, SetsUpTheChartWhenLinked) {
    // The set-up ran in SetUp; the view's own values had no chart to go to before it.
    EXPECT_EQ((Calls{"SetInterval 1000", "SetPenActive 1 1", "SetPenActive 2 1", "SetPenActive 3 1",
                     "Prepare", "Update"}),
              chart_->calls);
    for (int box : {IDC_TREND_PEN1, IDC_TREND_PEN2, IDC_TREND_PEN3}) {
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog_, box)) << box;
    }
}

struct PlotCase {
    const char* name;
    std::vector<std::pair<ULONG, std::vector<BYTE>>> values;
    Calls calls;
};

// Floats big-endian: 5 = 40A00000, 3 = 40400000, 7 = 40E00000, 100 = 42C80000.
const PlotCase kPlotCases[] = {
    {"5, 3 and 7: the first starts both bounds, then each widens one",
     {{46, {0x40, 0xA0, 0, 0, 0x80}}, {46, {0x40, 0x40, 0, 0, 0x80}}, {46, {0x40, 0xE0, 0, 0, 0x80}}},
     {"AddValue 1 5", "SetMinimum 1 5", "SetMaximum 1 5", "Update", "AddValue 1 3", "SetMinimum 1 3",
      "Update", "AddValue 1 7", "SetMaximum 1 7", "Update"}},
    {"an equal value only adds",
     {{69, {0x40, 0xA0, 0, 0, 0x80}}, {69, {0x40, 0xA0, 0, 0, 0x00}}},
     {"AddValue 2 5", "SetMinimum 2 5", "SetMaximum 2 5", "Update", "AddValue 2 5", "Update"}},
    {"the totalizer's 42C80000 is 100 on pen 3, whatever follows",
     {{93, {0x42, 0xC8, 0, 0}}},
     {"AddValue 3 100", "SetMinimum 3 100", "SetMaximum 3 100", "Update"}},
    {"no number: a short record, a NaN, an endless value",
     {{46, {0x42, 0xC8, 0}}, {46, {0x7F, 0xC0, 0, 0, 0}}, {46, {0x7F, 0x80, 0, 0, 0}}},
     {}},
};

void PrintTo(const PlotCase& plot, std::ostream* out) { *out << plot.name; }

class TrendPlotTest : public TrendRecordingTest, public ::testing::WithParamInterface<PlotCase> {};

TEST_P(TrendPlotTest, SendsEachValueWithItsPensRunningBounds) {
    const Calls calls = Record([this] {
        for (const auto& [id, record] : GetParam().values) Notify(id, record);
    });
    EXPECT_EQ(GetParam().calls, calls);
}

INSTANTIATE_TEST_SUITE_P(Values, TrendPlotTest, ::testing::ValuesIn(kPlotCases));

TEST_F(TrendRecordingTest, APensBoxSwitchesItAndEveryBoxIsReadAgain) {
    const HWND flowBox = ::GetDlgItem(dialog_, IDC_TREND_PEN2);
    EXPECT_EQ((Calls{"SetPenActive 1 1", "SetPenActive 2 0", "SetPenActive 3 1"}),
              Record([&] { ::SendMessageW(flowBox, BM_CLICK, 0, 0); }));
    // A hidden pen gets no values and keeps its bounds; the others go on.
    EXPECT_EQ((Calls{"AddValue 1 5", "SetMinimum 1 5", "SetMaximum 1 5", "Update"}), Record([this] {
                  Notify(69, {0x40, 0xA0, 0, 0, 0x80});
                  Notify(46, {0x40, 0xA0, 0, 0, 0x80});
              }));
}

// The initialisation data the chart item is created with: one item for the chart, 16,110 bytes laid out as
// 0, the text's byte count, the NUL-terminated UTF-16 text, 0x300 and the extent 11589 x 5080.
TEST_F(TrendRecordingTest, TheChartsInitialisationDataIsItsFullConfiguration) {
    std::vector<ql::DialogInitItem> items;
    ASSERT_HR(S_OK,
              ql::LoadDialogInit(::GetModuleHandleW(L"VarnokP3.dll"), MAKEINTRESOURCEW(IDD_TREND), items));
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(IDC_TREND_CHART, items[0].controlId);
    EXPECT_EQ(0x0376, items[0].message);
    const std::vector<BYTE>& data = items[0].data;
    ASSERT_EQ(16110u, data.size());
    DWORD header[2] = {}, trailer[3] = {};
    std::memcpy(header, data.data(), sizeof(header));
    std::memcpy(trailer, data.data() + data.size() - sizeof(trailer), sizeof(trailer));
    EXPECT_EQ(0u, header[0]);
    EXPECT_EQ(16090u, header[1]);
    EXPECT_EQ(0x300u, trailer[0]);
    EXPECT_EQ(11589u, trailer[1]);
    EXPECT_EQ(5080u, trailer[2]);
    // The text: NUL-terminated, every item "Key: value|", the view's three pens named and active.
    const std::wstring text(reinterpret_cast<const wchar_t*>(data.data() + sizeof(header)), 16090 / 2 - 1);
    EXPECT_EQ(0u, text.find(L"UseFixTimeIntervals: 1|Value1: 0.0000000000|"));
    EXPECT_EQ(0, data[sizeof(header) + 16090 - 2] | data[sizeof(header) + 16090 - 1]);
    EXPECT_NE(std::wstring::npos, text.find(L"|Color3: 255|Name3: Totalizer|Unit3: |PenActive3: 1|"));
    EXPECT_NE(std::wstring::npos, text.find(L"|Name32: Pen 32|Unit32: |PenActive32: 0|"));
    EXPECT_EQ(text.size() - 13, text.find(L"|ShowUnit: 1|"));
}

}  // namespace
