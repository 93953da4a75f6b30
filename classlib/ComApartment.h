#pragma once
// Holds COM initialisation of the calling thread for its lifetime (CoInitializeEx / CoUninitialize), for
// programs, worker threads and test fixtures. S_FALSE (already initialised) also needs the matching
// CoUninitialize; a failure (e.g. another apartment model) does not.
#include <objbase.h>
#include <windows.h>

namespace ql {

class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : status_(::CoInitializeEx(nullptr, model)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(status_)) ::CoUninitialize();
    }
    HRESULT Status() const noexcept { return status_; }

private:
    HRESULT status_;
};

}  // namespace ql
