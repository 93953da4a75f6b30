#include "comm/QuelkDpv1Transaction.h"

#include "classlib/HResult.h"

HRESULT CQuelkDpv1Transaction::Assign(BSTR invokeId, const VARIANT& context,
                                      Dpv1SyncWaiter* waiter) noexcept {
    ql::Bstr id;
    QL_RETURN_IF_FAILED(id.AssignCopy(invokeId));
    ql::Variant copy;
    const HRESULT copied = copy.CopyFrom(context);
    if (FAILED(copied)) copy.SetError(copied);
    invokeId_ = std::move(id);
    context_ = std::move(copy);
    waiter_ = waiter;
    return S_OK;
}

void CQuelkDpv1Transaction::Complete(HRESULT result, Dpv1TransferOutcome&& outcome) noexcept {
    if (waiter_) waiter_->outcome = std::move(outcome);
    Complete(result);
}

void CQuelkDpv1Transaction::Complete(HRESULT result) noexcept {
    if (!waiter_) return;
    waiter_->result = result;
    waiter_->answered = true;
    if (waiter_->event) ::SetEvent(waiter_->event);
}
