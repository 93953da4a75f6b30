#pragma once
// CQuelkDpv1Transaction: one request of the DP-V1 client that still awaits its answer: the invoke id it went
// out under, the context its answer's evaluation needs, and, for a synchronous request, the waiter that
// receives the evaluation's result.
//
// Each synchronous request keeps its result in its own waiter (not in one member shared by every request),
// so that a request started inside another one's wait (a control's timer read while a write waits) can never
// take the other's result. A record is a value: moving it moves the id and the context; the waiter is not
// owned (it lives on the stack of the request that waits, which removes the record before it returns).
//
// Used on the DTM object's apartment thread only.
#include <windows.h>
#include <oleauto.h>

#include "classlib/Bstr.h"
#include "classlib/Variant.h"

// What the evaluation of one read or write answer reported to the store: success, or the failure's text.
struct Dpv1TransferOutcome {
    bool reported = false;
    bool ok = false;
    ql::Bstr message;
};

// What a synchronous request waits for: its event (owned by the request) is set when the result is in.
// The outcome is this request's own, whatever other requests reported to the store meanwhile.
struct Dpv1SyncWaiter {
    HANDLE event = nullptr;
    HRESULT result = S_OK;
    bool answered = false;
    Dpv1TransferOutcome outcome;
};

class CQuelkDpv1Transaction {
public:
    CQuelkDpv1Transaction() noexcept = default;
    CQuelkDpv1Transaction(CQuelkDpv1Transaction&&) noexcept = default;
    CQuelkDpv1Transaction& operator=(CQuelkDpv1Transaction&&) noexcept = default;
    CQuelkDpv1Transaction(const CQuelkDpv1Transaction&) = delete;
    CQuelkDpv1Transaction& operator=(const CQuelkDpv1Transaction&) = delete;

    // Copies the invoke id and the context. A context that cannot be copied is kept as VT_ERROR holding the
    // failure, which the answer then reports; only an id that cannot be copied fails (E_OUTOFMEMORY).
    HRESULT Assign(BSTR invokeId, const VARIANT& context, Dpv1SyncWaiter* waiter) noexcept;

    BSTR InvokeId() const noexcept { return invokeId_.Get(); }
    const VARIANT& Context() const noexcept { return *context_; }
    bool IsSynchronous() const noexcept { return waiter_ != nullptr; }

    // Hands `result` (and the evaluation's outcome) to the waiting request and wakes it; nothing for an
    // asynchronous request.
    void Complete(HRESULT result) noexcept;
    void Complete(HRESULT result, Dpv1TransferOutcome&& outcome) noexcept;

private:
    ql::Bstr invokeId_;
    ql::Variant context_;
    Dpv1SyncWaiter* waiter_ = nullptr;
};
