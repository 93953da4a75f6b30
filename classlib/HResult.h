#pragma once
// The small set of error-flow macros used across the project. Everything else is a function.
#include <windows.h>
#include <new>

#define QL_RETURN_IF_FAILED(expr)          \
    do {                                   \
        const HRESULT ql_hr_ = (expr);     \
        if (FAILED(ql_hr_)) return ql_hr_; \
    } while (0)

// Returns `hr` when `condition` holds.
#define QL_RETURN_HR_IF(hr, condition) \
    do {                               \
        if (condition) return (hr);    \
    } while (0)

// Out-pointer check at the top of a COM method.
#define QL_RETURN_IF_NULL_OUT(ptr) QL_RETURN_HR_IF(E_POINTER, (ptr) == nullptr)

namespace ql {

// Runs a COM entry point body and turns any stray C++ exception into an HRESULT, so none crosses
// a COM boundary.
template <class Body>
HRESULT GuardComCall(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// A method an object does not offer, whose [out, retval] value (a BSTR, a flag, an interface pointer)
// still leaves empty, as a caller may free it after any answer.
template <class Out>
HRESULT NotImplementedOut(Out* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = Out();
    return E_NOTIMPL;
}

}  // namespace ql
