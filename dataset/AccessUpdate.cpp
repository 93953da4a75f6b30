// The access update that ends a write taken into the dataset: the new access word is stored and every
// open user interface is told to refresh the parameter's value and state.
#include "classlib/HResult.h"
#include "dataset/QuelkVariableStore.h"

HRESULT CQuelkVariableStore::SetAccessAndNotify(ULONG id, ULONG access) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    CQuelkVariable change;
    change.Access = access;
    QL_RETURN_IF_FAILED(variables_.SetVariable(id, kFieldAccess, change));
    // The access word stays stored when the notification fails; the caller gets the notification's code.
    ql::Variant idVariant;
    idVariant.SetUI4(id);
    return BroadcastPair(kNotifyValueChanged, id, *idVariant);
}
