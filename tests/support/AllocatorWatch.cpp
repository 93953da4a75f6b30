#include "tests/support/AllocatorWatch.h"

#include <oleauto.h>

#include <iterator>
#include <map>
#include <mutex>

namespace vtest {

// The spy itself. The platform holds a reference while it is registered, and a revoke waits until every
// block allocated under the spy is freed, so the spy lives on its own reference count.
class AllocatorWatch::Spy final : public IMallocSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMallocSpy)) return E_NOINTERFACE;
        *out = static_cast<IMallocSpy*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&refs_);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        requested_ = request;
        return request;
    }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (actual) blocks_[actual] = requested_;
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        Freed(request);
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        const std::lock_guard<std::mutex> lock(mutex_);
        Freed(request);  // the block may move: the old address is no longer the caller's
        requested_ = size;
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return PostAlloc(actual); }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}

    const void* BlockOf(const void* address) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto* byte = static_cast<const BYTE*>(address);
        auto after = blocks_.upper_bound(const_cast<void*>(address));
        if (after == blocks_.begin()) return nullptr;
        const auto block = std::prev(after);
        const auto* start = static_cast<const BYTE*>(block->first);
        return byte < start + block->second ? start : nullptr;
    }
    std::vector<const void*> TakeFrees() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::move(frees_);
    }

private:
    ~Spy() = default;
    void Freed(void* block) {
        if (!block) return;
        blocks_.erase(block);
        frees_.push_back(block);
    }

    LONG refs_ = 1;
    std::mutex mutex_;
    SIZE_T requested_ = 0;
    std::map<void*, SIZE_T> blocks_;  // by start, for finding the block that holds an address
    std::vector<const void*> frees_;
};

AllocatorWatch::AllocatorWatch() {
    spy_.Attach(new Spy);
    // Under Wine, a string that goes to the cache while a spy is registered faults in SysFreeString.
    if (::GetEnvironmentVariableW(L"OANOCACHE", nullptr, 0) == 0) {
        status_ = HRESULT_FROM_WIN32(ERROR_ENVVAR_NOT_FOUND);
        return;
    }
    status_ = ::CoRegisterMallocSpy(spy_.Get());
}

AllocatorWatch::~AllocatorWatch() {
    // Blocks allocated under the spy and still in use put the revoke off until they are freed.
    if (SUCCEEDED(status_)) (void)::CoRevokeMallocSpy();
}

const void* AllocatorWatch::BlockOf(const void* address) const { return spy_->BlockOf(address); }

std::vector<const void*> AllocatorWatch::TakeFrees() { return spy_->TakeFrees(); }

bool AllocatorWatch::FreesReachAllocator() {
    if (FAILED(status_)) return false;
    const BSTR text = ::SysAllocString(L"watched");
    const void* block = BlockOf(text);
    (void)TakeFrees();
    ::SysFreeString(text);
    const std::vector<const void*> frees = TakeFrees();
    return block && frees.size() == 1 && frees.front() == block;
}

}  // namespace vtest
