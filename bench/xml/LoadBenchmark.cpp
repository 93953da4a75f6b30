#include "LoadBenchmark.h"

#include <algorithm>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"

namespace xmlbench {

namespace {

constexpr DWORD kClsctxAll = 0x17;  // as the system creates MSXML's classes

double Microseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(frequency.QuadPart);
}

HRESULT CreateDocument(const CLSID& documentClass, IXMLDOMSchemaCollection* schemas,
                       ql::ComPtr<IXMLDOMDocument2>& document) noexcept {
    QL_RETURN_IF_FAILED(
        ::CoCreateInstance(documentClass, nullptr, kClsctxAll, IID_IXMLDOMDocument2, document.PutVoid()));
    if (!schemas) return S_OK;
    ql::Variant collection;
    collection.SetUnknown(schemas);
    return document->putref_schemas(*collection.Get());
}

}  // namespace

HRESULT LoadBenchmark::LoadOnce(const CLSID& documentClass, IXMLDOMSchemaCollection* schemas, BSTR text,
                                VARIANT_BOOL& loaded) noexcept {
    ql::ComPtr<IXMLDOMDocument2> document;
    QL_RETURN_IF_FAILED(CreateDocument(documentClass, schemas, document));
    return document->loadXML(text, &loaded);
}

LoadBenchmark::Timing LoadBenchmark::TimeOnce(const CLSID& documentClass, IXMLDOMSchemaCollection* schemas,
                                              BSTR text) noexcept {
    LARGE_INTEGER start, created, end, released;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ql::ComPtr<IXMLDOMDocument2> document;
    ::QueryPerformanceCounter(&start);
    (void)CreateDocument(documentClass, schemas, document);
    ::QueryPerformanceCounter(&created);
    if (document) (void)document->loadXML(text, &loaded);
    ::QueryPerformanceCounter(&end);
    document.Reset();
    ::QueryPerformanceCounter(&released);
    return {Microseconds(created.QuadPart - start.QuadPart), Microseconds(end.QuadPart - created.QuadPart),
            Microseconds(released.QuadPart - end.QuadPart)};
}

double LoadBenchmark::Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

}  // namespace xmlbench
