#include "comm/PendingTransactions.h"

#include <algorithm>

#include "classlib/HResult.h"
#include "comm/Dpv1InvokeId.h"

std::vector<CQuelkDpv1Transaction>::iterator CPendingTransactions::Find(BSTR invokeId) noexcept {
    return std::find_if(records_.begin(), records_.end(), [invokeId](const CQuelkDpv1Transaction& record) {
        return InvokeIdEquals(record.InvokeId(), invokeId);
    });
}

bool CPendingTransactions::Contains(BSTR invokeId) const noexcept {
    return std::any_of(records_.begin(), records_.end(), [invokeId](const CQuelkDpv1Transaction& record) {
        return InvokeIdEquals(record.InvokeId(), invokeId);
    });
}

HRESULT CPendingTransactions::Add(BSTR invokeId, const VARIANT& context, Dpv1SyncWaiter* waiter) noexcept {
    CQuelkDpv1Transaction record;
    QL_RETURN_IF_FAILED(record.Assign(invokeId, context, waiter));
    return ql::GuardComCall([&]() -> HRESULT {
        records_.push_back(std::move(record));
        return S_OK;
    });
}

HRESULT CPendingTransactions::Remove(BSTR invokeId) noexcept {
    const auto found = Find(invokeId);
    QL_RETURN_HR_IF(E_FAIL, found == records_.end());
    records_.erase(found);
    return S_OK;
}

HRESULT CPendingTransactions::Take(BSTR invokeId, CQuelkDpv1Transaction* record) noexcept {
    QL_RETURN_IF_NULL_OUT(record);
    const auto found = Find(invokeId);
    QL_RETURN_HR_IF(E_FAIL, found == records_.end());
    *record = std::move(*found);
    records_.erase(found);
    return S_OK;
}

void CPendingTransactions::AbortAll() noexcept {
    // The list is emptied before anyone is woken, so that nothing woken finds a record of the old list.
    std::vector<CQuelkDpv1Transaction> dropped;
    dropped.swap(records_);
    for (CQuelkDpv1Transaction& record : dropped) record.Complete(E_ABORT);
}
