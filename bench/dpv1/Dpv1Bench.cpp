// bench_dpv1: the DTM's own cost of device communication, in one run against the simulated channel answering
// during the request call:
//  - one synchronous read of an R4 parameter (request built, response parsed and validated, value stored,
//    notification sent): the median over 1000 reads of the read's time less the simulator's own time in it;
//  - a full upload of the dataset, likewise (median of a few runs).
// Prints each with its target and the ratio measured / target (<= 1.0 meets it), and the read's cost as a
// share of the fastest real PROFIBUS PA transaction.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchDtm.h"
#include "classlib/ComApartment.h"
#include "classlib/Utf8.h"
#include "comm/CommunicationStates.h"
#include "frame/FrameDocuments.h"
#include "frame/FrameHost.h"
#include "frame/simulator/SimulatedDpv1Channel.h"

namespace {

constexpr ULONG kReadParameter = 39;  // "Transducer Block - CalibrationFactor", VT_R4
constexpr int kWarmUpReads = 50;
constexpr int kMeasuredReads = 1000;
constexpr int kUploads = 5;
constexpr double kReadTargetSeconds = 1e-3;
constexpr double kUploadTargetSeconds = 0.2;
// The fastest acyclic DP-V1 transaction of a PROFIBUS PA device through a segment coupler takes about
// 33 ms; the read's target is 3 % of it.
constexpr double kFastestPaTransactionSeconds = kReadTargetSeconds / 0.03;

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The DTM's own time of one call of `work`: its whole time less the simulator's own time in it.
template <class Work>
double OwnTime(CSimulatedDpv1Channel& channel, double* channelTime, Work work) {
    const double channelBefore = channel.OwnSeconds();
    const double start = Seconds();
    work();
    const double total = Seconds() - start;
    *channelTime = channel.OwnSeconds() - channelBefore;
    return total - *channelTime;
}

int Fail(const wchar_t* step, HRESULT hr) {
    ql::PrintUtf8(stderr, L"bench_dpv1: %ls failed (0x%08lX)\n", step, static_cast<unsigned long>(hr));
    return 1;
}

int Run() {
    ql::ComApartment apartment;
    if (FAILED(apartment.Status())) return Fail(L"CoInitializeEx", apartment.Status());
    ql::ComPtr<CFrameHost> frame;
    ql::ComPtr<CBenchDtm> dtm;
    ql::ComPtr<CSimulatedDpv1Channel> channel;
    HRESULT hr = ql::MakeObject(frame);
    if (SUCCEEDED(hr)) hr = ql::MakeObject(dtm);
    if (SUCCEEDED(hr)) hr = ql::MakeObject(channel);
    if (FAILED(hr)) return Fail(L"creating the objects", hr);
    const std::wstring schemas = SourceTreeSchemaFolder();
    if (FAILED(hr = dtm->Attach(static_cast<IFrameEvents*>(frame.Get()), schemas.c_str())))
        return Fail(L"the DTM's schema cache", hr);
    if (FAILED(hr = channel->SetSchemaFolder(schemas))) return Fail(L"the channel's schema cache", hr);
    channel->SetAnswerTiming(AnswerTiming::DuringRequest);
    channel->Device().SetFrozen(true);

    // Online at the flowmeter's address.
    ql::Variant address;
    address.SetUI1(CSimulatedFlowmeter::kDefaultStationAddress);
    (void)dtm->Store().ChangeValue(3, address.Get(), nullptr);
    if (FAILED(hr = dtm->SetChannel(static_cast<IFdtCommunication*>(channel.Get()))))
        return Fail(L"SetChannel", hr);
    dtm->state = kStateCommunicationSet;
    VARIANT_BOOL sent = VARIANT_FALSE;
    if (FAILED(hr = dtm->GoOnline(&sent)) || dtm->state != kStateConnected) return Fail(L"going online", hr);

    for (int i = 0; i < kWarmUpReads; ++i) (void)dtm->ReadRequestSync(kReadParameter, &sent);
    std::vector<double> own, simulator;
    for (int i = 0; i < kMeasuredReads; ++i) {
        double channelTime = 0;
        HRESULT read = E_FAIL;
        own.push_back(OwnTime(*channel.Get(), &channelTime,
                              [&] { read = dtm->ReadRequestSync(kReadParameter, &sent); }));
        simulator.push_back(channelTime);
        if (read != S_OK || sent != VARIANT_TRUE || !dtm->Store().LastResultOk())
            return Fail(L"a read", read);
    }

    std::vector<double> uploadOwn, uploadSimulator;
    for (int i = 0; i < kUploads; ++i) {
        double channelTime = 0;
        HRESULT upload = E_FAIL;
        VARIANT_BOOL ok = VARIANT_FALSE;
        uploadOwn.push_back(
            OwnTime(*channel.Get(), &channelTime, [&] { upload = dtm->UploadParameters(nullptr, &ok); }));
        uploadSimulator.push_back(channelTime);
        if (upload != S_OK || ok != VARIANT_TRUE) return Fail(L"an upload", upload);
    }
    const size_t uploadReads = channel->CountRequests(kSimTransaction) - kWarmUpReads - kMeasuredReads;

    const double read = Median(own);
    const double upload = Median(uploadOwn);
    ql::PrintUtf8(stdout, L"bench_dpv1 (median; the simulated channel's own time taken out)\n");
    ql::PrintUtf8(stdout, L"read of one R4 parameter, %d reads: DTM %.1f us (simulator %.1f us)\n",
                  kMeasuredReads, read * 1e6, Median(simulator) * 1e6);
    ql::PrintUtf8(stdout,
                  L"  target %.0f us: ratio %.3f; share of the fastest PA transaction (%.1f ms): %.2f %%\n",
                  kReadTargetSeconds * 1e6, read / kReadTargetSeconds, kFastestPaTransactionSeconds * 1e3,
                  100.0 * read / kFastestPaTransactionSeconds);
    ql::PrintUtf8(stdout, L"full upload, %d runs of %u reads: DTM %.1f ms (simulator %.1f ms)\n", kUploads,
                  static_cast<unsigned>(uploadReads / kUploads), upload * 1e3, Median(uploadSimulator) * 1e3);
    ql::PrintUtf8(stdout, L"  target %.0f ms: ratio %.3f\n", kUploadTargetSeconds * 1e3,
                  upload / kUploadTargetSeconds);

    (void)dtm->SetChannel(nullptr);
    channel->DropCallback();
    dtm->Detach();
    return read <= kReadTargetSeconds && upload <= kUploadTargetSeconds ? 0 : 2;
}

}  // namespace

int main() { return Run(); }
