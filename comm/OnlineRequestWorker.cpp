#include "comm/OnlineRequestWorker.h"

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComApartment.h"
#include "classlib/HResult.h"

namespace {

HRESULT Unmarshal(ql::ComPtr<IStream>& stream, ql::ComPtr<IUnknown>& out) noexcept {
    out.Reset();
    QL_RETURN_HR_IF(E_POINTER, !stream);
    // The stream is released by the call, whatever it answers.
    return ::CoGetInterfaceAndReleaseStream(stream.Detach(), IID_IUnknown, out.PutVoid());
}

void RunTransfer(OnlineRequestJob& job) noexcept {
    ql::ComApartment apartment(COINIT_APARTMENTTHREADED);
    if (FAILED(apartment.Status())) {
        job.finished = true;
        return;
    }
    ql::ComPtr<IUnknown> dtm, frame;
    ql::ComPtr<IQuelkVariablesEx> store;
    ql::ComPtr<IFrameEvents> events;
    const HRESULT dtmTaken = Unmarshal(job.dtmStream, dtm);
    const HRESULT frameTaken = Unmarshal(job.frameStream, frame);
    // Without the frame's events nobody can be told anything: the transfer does not run either.
    if (FAILED(frameTaken) || FAILED(ql::QueryInterfaceTo(frame.Get(), events))) {
        job.finished = true;
        return;
    }
    // The frame was told that the request started: from here on it hears how it ended, also when the DTM
    // cannot be reached through its proxy.
    VARIANT_BOOL ok = VARIANT_FALSE;
    HRESULT hr = FAILED(dtmTaken) ? dtmTaken : ql::QueryInterfaceTo(dtm.Get(), store);
    if (SUCCEEDED(hr)) {
        hr = job.kind == OnlineRequestKind::Upload ? store->UploadParameters(job.text.Get(), &ok)
                                                   : store->DownloadParameters(job.text.Get(), &ok);
    }
    // Finished before the frame hears of it: a frame that starts the next request from its event handler
    // finds the DTM free.
    job.finished = true;
    if (hr == E_ABORT && job.cancelled) return;
    if (FAILED(hr)) ok = VARIANT_FALSE;
    if (job.kind == OnlineRequestKind::Upload) {
        // The frame's answer to the notice changes nothing: the request is over either way.
        (void)events->NotifyUploadFinished(job.invokeId.Get(), ok);
    } else {
        (void)events->NotifyDownloadFinished(job.invokeId.Get(), ok);  // as above
    }
    // The interfaces go here, the apartment after them.
}

DWORD WINAPI OnlineRequestThread(void* argument) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<std::shared_ptr<OnlineRequestJob>> share(
            static_cast<std::shared_ptr<OnlineRequestJob>*>(argument));
        OnlineRequestJob& job = **share;
        module = job.module;
        RunTransfer(job);
    }
    // Nothing of the module runs after this call.
    if (module) ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

}  // namespace

HRESULT StartOnlineRequestWorker(const std::shared_ptr<OnlineRequestJob>& job, HANDLE* thread) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !job || thread == nullptr);
    *thread = nullptr;
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCWSTR>(&OnlineRequestThread), &module)) {
        return HRESULT_FROM_WIN32(::GetLastError());
    }
    job->module = module;
    auto* share = new (std::nothrow) std::shared_ptr<OnlineRequestJob>(job);
    if (!share) {
        job->module = nullptr;
        ::FreeLibrary(module);
        return E_OUTOFMEMORY;
    }
    HANDLE started = ::CreateThread(nullptr, 0, &OnlineRequestThread, share, 0, nullptr);
    if (!started) {
        const HRESULT hr = HRESULT_FROM_WIN32(::GetLastError());
        delete share;
        job->module = nullptr;
        ::FreeLibrary(module);
        return FAILED(hr) ? hr : E_FAIL;
    }
    *thread = started;
    return S_OK;
}

void ReleaseMarshalledInterfaces(OnlineRequestJob& job) noexcept {
    ql::ComPtr<IUnknown> taken;
    // Unmarshalling is how the references a stream holds are given back; a stream that cannot be read holds
    // none that could be.
    (void)Unmarshal(job.dtmStream, taken);
    (void)Unmarshal(job.frameStream, taken);
}
