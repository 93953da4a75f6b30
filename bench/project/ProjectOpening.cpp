#include "ProjectOpening.h"

#include <objidl.h>

#include "classlib/Bstr.h"
#include "classlib/GlobalMemory.h"
#include "classlib/HResult.h"
#include "frame/FrameDocuments.h"

namespace {

// A stream on global memory holding `bytes`, positioned at its start.
HRESULT StreamOn(const std::vector<BYTE>& bytes, ql::ComPtr<IStream>& stream) noexcept {
    QL_RETURN_IF_FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    ULONG written = 0;
    QL_RETURN_IF_FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written));
    const LARGE_INTEGER start = {};
    return stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

// One FDT call that answers a VARIANT_BOOL: S_OK only when it answered S_OK with VARIANT_TRUE.
template <class Call>
HRESULT Succeeded(Call call) noexcept {
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = call(&result);
    if (FAILED(hr)) return hr;
    return hr == S_OK && result == VARIANT_TRUE ? S_OK : E_FAIL;
}

}  // namespace

HRESULT CProjectOpening::MakeStoredImage() noexcept {
    ql::ComPtr<IUnknown> object;
    QL_RETURN_IF_FAILED(
        ::CoCreateInstance(dtmClass_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()));
    ql::ComPtr<IPersistStreamInit> persist;
    ql::ComPtr<IDtm> dtm;
    QL_RETURN_IF_FAILED(object.QueryTo(IID_IPersistStreamInit, persist.PutVoid()));
    QL_RETURN_IF_FAILED(object.QueryTo(IID_IDtm, dtm.PutVoid()));
    QL_RETURN_IF_FAILED(persist->InitNew());

    ql::Bstr tag(L"Plant/Template");
    ql::Bstr deviceType(VarnokDeviceTypeDocument());
    ql::Bstr user(UserInformationDocument(L"planningEngineer").c_str());
    QL_RETURN_IF_FAILED(Succeeded([&](VARIANT_BOOL* r) { return dtm->Environment(tag.Get(), &frame_, r); }));
    QL_RETURN_IF_FAILED(Succeeded([&](VARIANT_BOOL* r) { return dtm->InitNew(deviceType.Get(), r); }));
    QL_RETURN_IF_FAILED(Succeeded([&](VARIANT_BOOL* r) { return dtm->Config(user.Get(), r); }));

    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    QL_RETURN_IF_FAILED(persist->Save(stream.Get(), TRUE));
    HGLOBAL memory = nullptr;
    QL_RETURN_IF_FAILED(::GetHGlobalFromStream(stream.Get(), &memory));
    STATSTG status = {};
    QL_RETURN_IF_FAILED(stream->Stat(&status, STATFLAG_NONAME));
    ql::GlobalMemoryLock lock(memory);
    QL_RETURN_HR_IF(E_FAIL, !lock.Data());
    const BYTE* data = static_cast<const BYTE*>(lock.Data());
    image_.assign(data, data + status.cbSize.QuadPart);
    (void)Succeeded([&](VARIANT_BOOL* r) { return dtm->PrepareToRelease(r); });
    frame_.ClearCalls();
    return S_OK;
}

HRESULT CProjectOpening::TimeBareCreation(double& seconds) noexcept {
    ql::ComPtr<IUnknown> object;
    const double start = bench::Seconds();
    const HRESULT hr =
        ::CoCreateInstance(floorClass_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid());
    object.Reset();
    seconds = bench::Seconds() - start;
    return hr;
}

HRESULT CProjectOpening::OpenOne(const std::wstring& tag, OpeningTimes& times, bool withFloor) noexcept {
    // What the frame has at hand before it opens a device: its stored image and its texts.
    ql::ComPtr<IStream> stored;
    QL_RETURN_IF_FAILED(StreamOn(image_, stored));
    ql::Bstr systemTag(tag.c_str());
    ql::Bstr user(UserInformationDocument(L"planningEngineer").c_str());
    Device device;
    // The floor in the same moment as the device, so that both see the machine's load alike.
    double floor = 0;
    if (withFloor) QL_RETURN_IF_FAILED(TimeBareCreation(floor));

    const double start = bench::Seconds();
    QL_RETURN_IF_FAILED(
        ::CoCreateInstance(dtmClass_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, device.object.PutVoid()));
    const double created = bench::Seconds();
    ql::ComPtr<IPersistStreamInit> persist;
    QL_RETURN_IF_FAILED(device.object.QueryTo(IID_IPersistStreamInit, persist.PutVoid()));
    QL_RETURN_IF_FAILED(persist->Load(stored.Get()));
    const double loaded = bench::Seconds();
    QL_RETURN_IF_FAILED(device.object.QueryTo(IID_IDtm, device.dtm.PutVoid()));
    QL_RETURN_IF_FAILED(
        Succeeded([&](VARIANT_BOOL* r) { return device.dtm->Environment(systemTag.Get(), &frame_, r); }));
    const double environment = bench::Seconds();
    QL_RETURN_IF_FAILED(Succeeded([&](VARIANT_BOOL* r) { return device.dtm->Config(user.Get(), r); }));
    const double configured = bench::Seconds();

    times.create += created - start;
    times.load += loaded - created;
    times.environment += environment - loaded;
    times.config += configured - environment;
    QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
        times.devices.push_back(configured - start);
        if (withFloor) times.floors.push_back(floor);
        return S_OK;
    }));
    // The frame host records every call for its tests; a project keeps none of that.
    frame_.ClearCalls();
    return ql::GuardComCall([&]() -> HRESULT {
        devices_.push_back(std::move(device));
        return S_OK;
    });
}

HRESULT CProjectOpening::Open(size_t count, OpeningTimes& times, bool withFloors) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        devices_.reserve(devices_.size() + count);
        const size_t first = devices_.size();
        for (size_t i = 0; i < count; ++i) {
            QL_RETURN_IF_FAILED(OpenOne(L"Plant/Segment " + std::to_wstring((first + i) / 32) + L"/Device " +
                                            std::to_wstring(first + i),
                                        times, withFloors));
        }
        return S_OK;
    });
}

HRESULT CProjectOpening::Close(double& seconds) noexcept {
    const double start = bench::Seconds();
    HRESULT failure = S_OK;
    for (Device& device : devices_) {
        const HRESULT hr = Succeeded([&](VARIANT_BOOL* r) { return device.dtm->PrepareToRelease(r); });
        if (FAILED(hr) && SUCCEEDED(failure)) failure = hr;
    }
    devices_.clear();
    frame_.ClearCalls();
    seconds = bench::Seconds() - start;
    return failure;
}
