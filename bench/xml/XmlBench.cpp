// bench_xml: load + validate through the MSXML stand-in (DOMDocument, with the FDT schemas attached) against
// Wine's built-in msxml3 (DOMDocument30, which does not validate) loading the same texts, in one run.
// Prints, for each, the median time of loadXML (the load and, for the stand-in, the validation) and of a
// whole load as the system makes it (a new document, the schema cache attached, loadXML), and the ratios
// stand-in / msxml3 (the target is <= 1.0).
#include <windows.h>

#include <msxml2.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "LoadBenchmark.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/Utf8.h"
#include "classlib/Variant.h"

extern "C" {
extern const CLSID CLSID_DOMDocument2;
extern const CLSID CLSID_DOMDocument30;
extern const CLSID CLSID_XMLSchemaCache;
}

namespace xmlbench {
namespace {

constexpr int kWarmUpLoads = 5;
constexpr int kMinimumPairs = 30;
constexpr int kMaximumPairs = 1000;
constexpr double kBudgetMicroseconds = 2e6;  // per document, both loaders together

HRESULT MakeSchemaCache(const std::vector<std::wstring>& files, ql::ComPtr<IXMLDOMSchemaCollection>& cache) {
    HRESULT hr =
        ::CoCreateInstance(CLSID_XMLSchemaCache, nullptr, 0x17, IID_IXMLDOMSchemaCollection, cache.PutVoid());
    if (FAILED(hr)) return hr;
    for (const std::wstring& file : files) {
        ql::Bstr uri(L"x-schema:" + file);
        ql::Variant location;
        hr = location.SetBstr(SourcePath("data/schemas/" + ql::Utf8FromWide(file)).c_str());
        if (SUCCEEDED(hr)) hr = cache->add(uri.Get(), *location.Get());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

struct Result {
    double standInLoad = 0;
    double builtInLoad = 0;
    double standInTotal = 0;
    double builtInTotal = 0;
    size_t pairs = 0;
};

Result Measure(IXMLDOMSchemaCollection* schemas, BSTR text) {
    for (int i = 0; i < kWarmUpLoads; ++i) {
        (void)LoadBenchmark::TimeOnce(CLSID_DOMDocument2, schemas, text);
        (void)LoadBenchmark::TimeOnce(CLSID_DOMDocument30, nullptr, text);
    }
    std::vector<double> standInLoad, builtInLoad, standInTotal, builtInTotal;
    double spent = 0;
    // Interleaved, so that drift of the machine affects both loaders alike.
    while (standInLoad.size() < static_cast<size_t>(kMaximumPairs) &&
           (standInLoad.size() < static_cast<size_t>(kMinimumPairs) || spent < kBudgetMicroseconds)) {
        const LoadBenchmark::Timing standIn = LoadBenchmark::TimeOnce(CLSID_DOMDocument2, schemas, text);
        const LoadBenchmark::Timing builtIn = LoadBenchmark::TimeOnce(CLSID_DOMDocument30, nullptr, text);
        standInLoad.push_back(standIn.load);
        builtInLoad.push_back(builtIn.load);
        standInTotal.push_back(standIn.create + standIn.load + standIn.release);
        builtInTotal.push_back(builtIn.create + builtIn.load + builtIn.release);
        spent += standInTotal.back() + builtInTotal.back();
    }
    return {LoadBenchmark::Median(standInLoad), LoadBenchmark::Median(builtInLoad),
            LoadBenchmark::Median(standInTotal), LoadBenchmark::Median(builtInTotal), standInLoad.size()};
}

int Run() {
    ql::PrintUtf8(
        stdout,
        L"median microseconds; loadXML: the call alone; whole: new document + schemas + loadXML + release\n");
    ql::PrintUtf8(stdout, L"%-31ls %6ls %6ls | %9ls %9ls %6ls | %9ls %9ls %6ls\n", L"document", L"chars",
                  L"loads", L"stand-in", L"msxml3", L"ratio", L"stand-in", L"msxml3", L"ratio");
    ql::PrintUtf8(stdout, L"%-31ls %6ls %6ls | %26ls | %26ls\n", L"", L"", L"", L"loadXML", L"whole load");
    int failures = 0;
    for (const BenchDocument& document : MakeBenchDocuments()) {
        ql::ComPtr<IXMLDOMSchemaCollection> cache;
        HRESULT hr = MakeSchemaCache(document.schemas, cache);
        if (FAILED(hr)) {
            ql::PrintUtf8(stdout, L"%ls: schema cache failed, 0x%08lX\n", document.name.c_str(),
                          static_cast<unsigned long>(hr));
            ++failures;
            continue;
        }
        ql::Bstr text(document.text);
        // Both loaders must accept the text: the stand-in validating it, msxml3 only parsing it.
        VARIANT_BOOL standInLoaded = VARIANT_FALSE, builtInLoaded = VARIANT_FALSE;
        const HRESULT standInHr =
            LoadBenchmark::LoadOnce(CLSID_DOMDocument2, cache.Get(), text.Get(), standInLoaded);
        const HRESULT builtInHr =
            LoadBenchmark::LoadOnce(CLSID_DOMDocument30, nullptr, text.Get(), builtInLoaded);
        if (standInHr != S_OK || builtInHr != S_OK) {
            ql::PrintUtf8(stdout, L"%ls: not loaded (stand-in 0x%08lX, msxml3 0x%08lX)\n",
                          document.name.c_str(), static_cast<unsigned long>(standInHr),
                          static_cast<unsigned long>(builtInHr));
            ++failures;
            continue;
        }
        const Result result = Measure(cache.Get(), text.Get());
        ql::PrintUtf8(stdout, L"%-31ls %6u %6u | %9.1f %9.1f %6.2f | %9.1f %9.1f %6.2f\n",
                      document.name.c_str(), static_cast<unsigned>(document.text.size()),
                      static_cast<unsigned>(result.pairs), result.standInLoad, result.builtInLoad,
                      result.standInLoad / result.builtInLoad, result.standInTotal, result.builtInTotal,
                      result.standInTotal / result.builtInTotal);
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace xmlbench

int main() {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    const int status = xmlbench::Run();
    ::CoUninitialize();
    return status;
}
