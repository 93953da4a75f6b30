// bench_ui: how quickly the parameterization window answers a person, against 100 ms, the limit below which a
// response feels instant. Measured in one run through the registered DTM, online with the simulated
// flowmeter, the window opened by the frame host as the DTM's online function (2):
//  - opening the window with its pages and tree, shown and painted (target: half the limit): the first
//    opening on a new device instance (the instance fills its caches) and the openings after it;
//  - switching the shown page from the tree, painted (target: a tenth);
//  - one cyclic tick of the mass flow page, its own cost: the device answers inside each request and the
//    simulator's own time is taken off (target: a hundredth).
// Each prints the median, its ratio to the limit beside the target ratio, and the two ratios' quotient
// (<= 1.0 meets the target). Each sample is also set against the platform's floor measured right after it:
// a plain dialog with as many child controls as the window holds at that moment, created, shown, painted
// and destroyed (DialogFloor.h); the median of these paired ratios says how the window compares with what
// the platform needs for that many controls, whatever the machine's load. Built with the project, run by
// scripts/bench.sh, not by ctest.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "DialogFloor.h"
#include "QuelkInterfaces.h"
#include "bench/BenchTiming.h"
#include "classlib/AxControlSite.h"
#include "classlib/Bstr.h"
#include "classlib/ComApartment.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"
#include "frame/ControlContainer.h"
#include "frame/DtmSession.h"
#include "frame/FrameDocuments.h"
#include "frame/FrameHost.h"
#include "frame/FunctionUi.h"
#include "frame/MessagePump.h"
#include "frame/UiScript.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/ui/frame/TreeItems.h"
#include "ui/frame/TreeFrameResources.h"
#include "values/DtmVocabulary.h"

namespace {

using bench::Median;
using bench::Seconds;

constexpr double kInstantSeconds = 0.1;
constexpr double kOpenTarget = 0.5;
constexpr double kSwitchTarget = 0.1;
constexpr double kTickTarget = 0.01;
constexpr long kOnlineParameterization = 2;
constexpr int kOpenings = 10;
constexpr int kNewInstances = 5;
constexpr int kSwitches = 60;
constexpr int kTicks = 100;
// The window's start-up reads the device a second after it opens.
constexpr DWORD kStartUpMs = 3000;
constexpr DWORD kConnectWaitMs = 30000;

int Fail(const wchar_t* step, HRESULT hr) {
    ql::PrintUtf8(stderr, L"bench_ui: %ls failed (0x%08lX)\n", step, static_cast<unsigned long>(hr));
    return 1;
}

// Paints what is invalid now, as the screen would show it.
void PaintNow(HWND window) { ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

HWND ShownPage(HWND dialog) {
    for (HWND page = ::GetWindow(::GetDlgItem(dialog, IDC_TF_PAGE_AREA), GW_CHILD); page;
         page = ::GetWindow(page, GW_HWNDNEXT)) {
        if (::IsWindowVisible(page)) return page;
    }
    return nullptr;
}

// The frame, one device instance created, configured and online with the simulated flowmeter.
class OnlineDevice {
public:
    HRESULT Start() {
        HRESULT hr = ql::MakeObject(frame_);
        if (FAILED(hr)) return hr;
        frame_->Script().SchemaFolder = SourceTreeSchemaFolder();
        if (FAILED(hr = session_.CreateByProgId(L"VarnokP3.DtmObject"))) return hr;
        ql::ComPtr<IPersistStreamInit> persist;
        if (FAILED(hr = ql::QueryInterfaceTo(session_.Object(), persist)) || FAILED(hr = persist->InitNew()))
            return hr;
        ql::Bstr tag(L"Bench/Varnok"), deviceType(VarnokDeviceTypeDocument());
        ql::Bstr user(UserInformationDocument(L"planningEngineer"));
        VARIANT_BOOL result = VARIANT_FALSE;
        if (FAILED(hr = session_.Dtm()->Environment(tag.Get(), frame_.Get(), &result)) ||
            FAILED(hr = session_.Dtm()->InitNew(deviceType.Get(), &result)) ||
            FAILED(hr = session_.Dtm()->Config(user.Get(), &result)))
            return hr;
        if (FAILED(hr = ql::MakeObject(channel_)) ||
            FAILED(hr = channel_->SetSchemaFolder(SourceTreeSchemaFolder())))
            return hr;
        ql::ComPtr<IQuelkVariablesEx> store;
        if (FAILED(hr = ql::QueryInterfaceTo(session_.Object(), store))) return hr;
        ql::Variant address;
        address.SetUI1(channel_->Device().StationAddress());
        if (FAILED(hr = store->SetValue(kParameterStationAddress, *address))) return hr;
        if (FAILED(hr = session_.Dtm()->SetCommunication(channel_.Get(), &result))) return hr;
        (void)PumpMessagesUntil([this] { return session_.State() != kStateConnecting; }, kConnectWaitMs);
        return session_.State() == kStateConnected ? S_OK : E_FAIL;
    }
    void Stop() {
        VARIANT_BOOL result = VARIANT_FALSE;
        if (channel_ && session_.Dtm()) {
            (void)session_.Dtm()->PrepareToReleaseCommunication(
                &result);  // the end of the run: no one to tell
            (void)session_.Dtm()->ReleaseCommunication(&result);
        }
        if (channel_) channel_->DropCallback();
        channel_.Reset();
        session_.Release();
        if (frame_) frame_->ClearProjectDtms();
        frame_.Reset();
    }
    IUnknown* Dtm() const { return session_.Object(); }
    CSimulatedDpv1Channel& Channel() { return *channel_.Get(); }

private:
    ql::ComPtr<CFrameHost> frame_;
    CDtmSession session_;
    ql::ComPtr<CSimulatedDpv1Channel> channel_;
};

// The samples of one response, each with the platform's floor measured right after it.
struct Figure {
    std::vector<double> seconds;
    std::vector<double> floors;
    size_t controls = 0;  // the window's child windows at the last sample

    // `sample` and the floor for the child windows that `window` holds (or held, when it is closed: null).
    void Add(double sample, size_t childWindows, bench::DialogFloor& floor, HWND window = nullptr) {
        seconds.push_back(sample);
        controls = childWindows;
        floors.push_back(floor.Time(childWindows, window));
    }
};

struct Measured {
    Figure firstOpen;
    Figure open;
    Figure pageSwitch;
    Figure tick;
    size_t pages = 0;
    bench::DialogFloor floor;
};

// Opens and closes the window once; its time until shown and painted, and its child windows then.
HRESULT OpenOnce(OnlineDevice& device, double& seconds, size_t& controls) {
    CFunctionUi ui;
    const double start = Seconds();
    const HRESULT hr = ui.OpenFunction(device.Dtm(), kOnlineParameterization);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    PumpContainerMessages(ui.Container());
    PaintNow(ui.Container().Window());
    seconds = Seconds() - start;
    controls = bench::CountChildWindows(ui.Container().Window());
    (void)ui.Close();
    PumpPendingMessages();
    return S_OK;
}

// The first opening on each of several new device instances; the first instance loads the module's code and
// resources and is not measured.
HRESULT TimeFirstOpenings(Measured& measured) {
    for (int i = 0; i <= kNewInstances; ++i) {
        OnlineDevice device;
        HRESULT hr = device.Start();
        double seconds = 0;
        size_t controls = 0;
        if (SUCCEEDED(hr)) hr = OpenOnce(device, seconds, controls);
        device.Stop();
        if (FAILED(hr)) return hr;
        if (i > 0) measured.firstOpen.Add(seconds, controls, measured.floor);
    }
    return S_OK;
}

HRESULT TimeOpening(OnlineDevice& device, Measured& measured) {
    for (int i = 0; i <= kOpenings; ++i) {
        double seconds = 0;
        size_t controls = 0;
        const HRESULT hr = OpenOnce(device, seconds, controls);
        if (FAILED(hr)) return hr;
        // The first opening on the instance is the one measured on new instances.
        if (i > 0) measured.open.Add(seconds, controls, measured.floor);
    }
    return S_OK;
}

HRESULT TimeSwitchAndTick(OnlineDevice& device, Measured& measured) {
    CFunctionUi ui;
    HRESULT hr = ui.OpenFunction(device.Dtm(), kOnlineParameterization);
    if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
    PumpFor(ui.Container(), kStartUpMs);
    const HWND dialog = ui.Container().Site()->ControlWindow();
    const HWND tree = ::GetDlgItem(dialog, IDC_TF_TREE);
    const char* const pages[] = {"Deivce Info",    "Mass Flow", "Diagnosis",
                                 "Orvo Extension", "Flow",      "Totalizer"};
    std::vector<HTREEITEM> items;
    for (const char* page : pages) {
        if (HTREEITEM item = frametest::FindTreeItem(tree, page)) items.push_back(item);
    }
    if (items.size() != std::size(pages)) return E_FAIL;
    measured.pages = items.size();

    const HWND window = ui.Container().Window();
    for (int i = 0; i < kSwitches; ++i) {
        const double start = Seconds();
        (void)TreeView_SelectItem(tree, items[static_cast<size_t>(i) % items.size()]);
        PumpContainerMessages(ui.Container());
        PaintNow(window);
        measured.pageSwitch.Add(Seconds() - start, bench::CountChildWindows(window), measured.floor, window);
    }

    // The mass flow page shown; its ticks run one by one, the device answering inside each request.
    (void)TreeView_SelectItem(tree, frametest::FindTreeItem(tree, "Mass Flow"));
    PumpContainerMessages(ui.Container());
    const HWND page = ShownPage(dialog);
    if (!page) return E_FAIL;
    device.Channel().SetAnswerTiming(AnswerTiming::DuringRequest);
    const size_t requestsBefore = device.Channel().Requests().size();
    for (int i = 0; i < kTicks; ++i) {
        const double seconds = bench::OwnTime(device.Channel(), nullptr, [&] {
            // WM_TIMER as the page's timer sends it: one tick whatever its id.
            ::SendMessageW(page, WM_TIMER, reinterpret_cast<WPARAM>(page), 0);
            PumpContainerMessages(ui.Container());
        });
        measured.tick.Add(seconds, bench::CountChildWindows(window), measured.floor, window);
    }
    device.Channel().SetAnswerTiming(AnswerTiming::Later);
    if (device.Channel().Requests().size() < requestsBefore + kTicks)
        return E_FAIL;  // the ticks read nothing
    (void)ui.Close();
    PumpPendingMessages();
    return S_OK;
}

// The median as a ratio to the instant limit beside its target ratio, and that ratio to its target; then the
// floor's median and the median of the samples' ratios to their floors.
void PrintFigure(const wchar_t* what, const Figure& figure, double targetRatio) {
    const double seconds = Median(figure.seconds);
    const double ratio = seconds / kInstantSeconds;
    ql::PrintUtf8(stdout, L"%ls: %.2f ms, ratio %.4f (target <= %.2f; measured / target %.2f)\n", what,
                  seconds * 1e3, ratio, targetRatio, ratio / targetRatio);
    const std::vector<double> ratios = bench::Ratios(figure.seconds, figure.floors);
    ql::PrintUtf8(stdout,
                  L"  floor: a plain dialog of %u controls created, shown and destroyed, %.2f ms; "
                  L"measured / floor %.2f (median of %u pairs; 10th-90th percentile %.2f-%.2f)\n",
                  static_cast<unsigned>(figure.controls), Median(figure.floors) * 1e3, Median(ratios),
                  static_cast<unsigned>(ratios.size()), bench::Quantile(ratios, 0.1),
                  bench::Quantile(ratios, 0.9));
}

int Run() {
    ql::ComApartment apartment;
    if (FAILED(apartment.Status())) return Fail(L"CoInitializeEx", apartment.Status());
    OnlineDevice device;
    HRESULT hr = device.Start();
    if (FAILED(hr)) return Fail(L"going online with the simulated flowmeter", hr);
    Measured measured;
    if (FAILED(hr = TimeFirstOpenings(measured))) {
        device.Stop();
        return Fail(L"opening the online parameterization on new instances", hr);
    }
    if (FAILED(hr = TimeOpening(device, measured))) {
        device.Stop();
        return Fail(L"opening the online parameterization", hr);
    }
    if (FAILED(hr = TimeSwitchAndTick(device, measured))) {
        device.Stop();
        return Fail(L"switching pages and ticking the mass flow page", hr);
    }
    device.Stop();

    ql::PrintUtf8(stdout,
                  L"against %.0f ms, the limit of an instant response (medians of %d, %d, %d and %d)\n",
                  kInstantSeconds * 1e3, kNewInstances, kOpenings, kSwitches, kTicks);
    PrintFigure(L"opening the online parameterization window on a new instance (pages, tree, painted)",
                measured.firstOpen, kOpenTarget);
    PrintFigure(L"opening it again (pages, tree, painted)", measured.open, kOpenTarget);
    PrintFigure(L"switching the page from the tree (painted)", measured.pageSwitch, kSwitchTarget);
    PrintFigure(L"one cyclic tick of the mass flow page, its own cost", measured.tick, kTickTarget);
    return 0;
}

}  // namespace

int main() { return Run(); }
