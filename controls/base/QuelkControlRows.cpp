// The hosted child controls of the dialog items. Loading, row states, validation, storing and committing live
// in controls/sync/, the enumeration members in controls/enum/.
#include "classlib/AxHostWindow.h"
#include "controls/base/QuelkControlBase.h"

// --- hosted child controls ---

HRESULT CQuelkControlBase::QueryChildControl(UINT controlId,
                                             ql::ComPtr<IQuelkChildControl>& child) const noexcept {
    child.Reset();
    const HWND item = dialog_ ? ::GetDlgItem(dialog_, static_cast<int>(controlId)) : nullptr;
    QL_RETURN_HR_IF(E_NOINTERFACE, !item);
    // The host adds a reference to its answer for us; it goes with `hosted`.
    const ql::ComPtr<IUnknown> hosted = ql::HostedControl(item);
    QL_RETURN_HR_IF(E_NOINTERFACE, !hosted);
    QL_RETURN_IF_FAILED(hosted->QueryInterface(IID_IQuelkChildControl, child.PutVoid()));
    return child ? S_OK : E_NOINTERFACE;
}

bool CQuelkControlBase::IsChildControl(UINT controlId) noexcept {
    ql::ComPtr<IQuelkChildControl> child;
    return SUCCEEDED(QueryChildControl(controlId, child));
}
