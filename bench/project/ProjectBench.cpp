// bench_project: a plant project of N = 1,000 devices opened the way a frame opens it (the DTM created
// through COM by its ProgID, its stored image loaded, Environment, Config), measured in one run, and closed.
// Prints the time per device and the private memory per live DTM, each with its target and the ratio
// measured / target (<= 1.0 meets it), and each device's time against a bare CoCreateInstance of a trivial
// in-process COM object (the manufacturer lookup stand-in, which holds nothing) timed just before that
// device: the median of these per-device ratios holds still on a busy machine, where either time alone
// swings. The memory per live DTM comes from an opening of the project without the floor, before the timed
// one.
#include <windows.h>

#include <cstdio>
#include <numeric>
#include <vector>

#include "ProjectOpening.h"
#include "UiComponentInterfaces.h"
#include "classlib/ComApartment.h"
#include "classlib/ComObject.h"
#include "classlib/ProcessMemory.h"
#include "classlib/Utf8.h"
#include "frame/FrameDocuments.h"

namespace {

constexpr size_t kDevices = 1000;
// Devices opened and closed before measuring: the libraries load and the first-use costs are paid.
constexpr size_t kWarmUpDevices = 20;
constexpr double kTargetSecondsPerDevice = 1e-3;
constexpr double kTargetBytesPerDtm = 256.0 * 1024;

int Fail(const wchar_t* step, HRESULT hr) {
    ql::PrintUtf8(stderr, L"bench_project: %ls failed (0x%08lX)\n", step, static_cast<unsigned long>(hr));
    return 1;
}

int Run() {
    ql::ComApartment apartment;
    if (FAILED(apartment.Status())) return Fail(L"CoInitializeEx", apartment.Status());
    CLSID dtmClass = {};
    HRESULT hr = ::CLSIDFromProgID(L"VarnokP3.DtmObject", &dtmClass);
    if (FAILED(hr)) return Fail(L"CLSIDFromProgID(VarnokP3.DtmObject)", hr);
    ql::ComPtr<CFrameHost> frame;
    if (FAILED(hr = ql::MakeObject(frame))) return Fail(L"the frame", hr);
    frame->Script().SchemaFolder = SourceTreeSchemaFolder();

    CProjectOpening project(dtmClass, CLSID_ManufacturerLookup, *frame.Get());
    if (FAILED(hr = project.MakeStoredImage())) return Fail(L"the stored image", hr);
    OpeningTimes warmUp;
    double closing = 0;
    if (FAILED(hr = project.Open(kWarmUpDevices, warmUp))) return Fail(L"the warm-up devices", hr);
    if (FAILED(hr = project.Close(closing))) return Fail(L"closing the warm-up devices", hr);

    // The memory per live DTM, from an opening without the floor, whose bare creations leave some of the
    // platform's memory behind each (about 4 KB under Wine).
    OpeningTimes memoryPass;
    const SIZE_T privateBefore = ql::ProcessPrivateBytes();
    const SIZE_T heapBefore = ql::HeapBytesInUse();
    if (FAILED(hr = project.Open(kDevices, memoryPass, false))) return Fail(L"opening the project", hr);
    const SIZE_T privateOpen = ql::ProcessPrivateBytes();
    const SIZE_T heapOpen = ql::HeapBytesInUse();
    if (FAILED(hr = project.Close(closing))) return Fail(L"closing the project", hr);
    const SIZE_T privateClosed = ql::ProcessPrivateBytes();
    const SIZE_T heapClosed = ql::HeapBytesInUse();

    // The time, with each device's floor: the same project opened again.
    OpeningTimes times;
    times.devices.reserve(kDevices);
    const double start = bench::Seconds();
    if (FAILED(hr = project.Open(kDevices, times))) return Fail(L"opening the project", hr);
    // The floor's bare creations between the devices are no part of the project's opening.
    const double opening =
        bench::Seconds() - start - std::accumulate(times.floors.begin(), times.floors.end(), 0.0);
    if (FAILED(hr = project.Close(closing))) return Fail(L"closing the project", hr);

    const double n = static_cast<double>(kDevices);
    const double perDevice = times.Total() / n;
    const auto perDtm = [n](SIZE_T after, SIZE_T before) {
        return after > before ? static_cast<double>(after - before) / n : 0.0;
    };
    const double privatePerDtm = perDtm(privateOpen, privateBefore);
    const auto kib = [](double bytes) { return bytes / 1024.0; };
    const auto signedKib = [](SIZE_T after, SIZE_T before) {
        return (static_cast<double>(after) - static_cast<double>(before)) / 1024.0;
    };

    ql::PrintUtf8(stdout, L"project of %u devices opened in %.3f s (create, load, Environment, Config)\n",
                  static_cast<unsigned>(kDevices), opening);
    ql::PrintUtf8(
        stdout, L"  per device: create %.3f ms, load %.3f ms, Environment %.3f ms, Config %.3f ms\n",
        times.create / n * 1e3, times.load / n * 1e3, times.environment / n * 1e3, times.config / n * 1e3);
    ql::PrintUtf8(stdout, L"time per device: %.3f ms (target %.3f ms), ratio %.3f\n", perDevice * 1e3,
                  kTargetSecondsPerDevice * 1e3, perDevice / kTargetSecondsPerDevice);
    ql::PrintUtf8(stdout, L"  median device %.3f ms, 90th percentile %.3f ms\n",
                  bench::Median(times.devices) * 1e3, bench::Quantile(times.devices, 0.9) * 1e3);
    ql::PrintUtf8(stdout, L"private memory per live DTM: %.1f KB (target %.0f KB), ratio %.3f\n",
                  kib(privatePerDtm), kib(kTargetBytesPerDtm), privatePerDtm / kTargetBytesPerDtm);
    ql::PrintUtf8(stdout, L"  heap in use per live DTM: %.1f KB\n", kib(perDtm(heapOpen, heapBefore)));
    const std::vector<double> ratios = bench::Ratios(times.devices, times.floors);
    ql::PrintUtf8(stdout,
                  L"bare CoCreateInstance of a trivial object just before each device: median %.1f us; "
                  L"device / its bare creation: median %.2f (10th-90th percentile %.2f-%.2f)\n",
                  bench::Median(times.floors) * 1e6, bench::Median(ratios), bench::Quantile(ratios, 0.1),
                  bench::Quantile(ratios, 0.9));
    ql::PrintUtf8(
        stdout,
        L"closed in %.3f s; after closing: private %+.0f KB, heap in use %+.0f KB against the start\n",
        closing, signedKib(privateClosed, privateBefore), signedKib(heapClosed, heapBefore));
    return 0;
}

}  // namespace

int main() { return Run(); }
