#include "dtm/DtmObject.h"

CDtmObject::CDtmObject() noexcept {
    CQuelkVariableStore& store = store_.Store();
    store.AttachHost(this);
    store.AttachDeviceAccess(&client_);
}

HRESULT CDtmObject::FinalConstruct() noexcept {
    // The constructor copies the user-interface functions; a DTM without them would offer no function.
    QL_RETURN_HR_IF(E_OUTOFMEMORY, !functions_.FunctionTable().HasTable());
    return lifecycle_.InitParameters();
}
