#pragma once
// CPendingTransactions: the DP-V1 client's requests that went to the channel and await their answer, in the
// order they were sent. A record is appended before its request goes to the channel (an answer may arrive
// during the channel's call) and erased before its answer is evaluated; searches run from the front and
// match invoke ids by InvokeIdEquals.
//
// Used on the DTM object's apartment thread only; the waits of synchronous requests dispatch messages, so
// records come and go while other requests wait (each finds its own record by its id).
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "comm/QuelkDpv1Transaction.h"

class CPendingTransactions {
public:
    CPendingTransactions() = default;
    CPendingTransactions(const CPendingTransactions&) = delete;
    CPendingTransactions& operator=(const CPendingTransactions&) = delete;
    // Requests still waiting when the client goes are woken with E_ABORT.
    ~CPendingTransactions() { AbortAll(); }

    // Appends a record; E_OUTOFMEMORY when it cannot be made.
    HRESULT Add(BSTR invokeId, const VARIANT& context, Dpv1SyncWaiter* waiter) noexcept;
    // Erases the first record with the id; E_FAIL when there is none.
    HRESULT Remove(BSTR invokeId) noexcept;
    // Moves the first record with the id out of the list into `record`; E_FAIL when there is none.
    HRESULT Take(BSTR invokeId, CQuelkDpv1Transaction* record) noexcept;
    // Empties the list; every synchronous request still waiting wakes with E_ABORT.
    void AbortAll() noexcept;

    size_t Count() const noexcept { return records_.size(); }
    bool Contains(BSTR invokeId) const noexcept;

private:
    std::vector<CQuelkDpv1Transaction>::iterator Find(BSTR invokeId) noexcept;

    std::vector<CQuelkDpv1Transaction> records_;
};
