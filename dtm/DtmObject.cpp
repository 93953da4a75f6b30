#include "dtm/DtmObject.h"

CDtmObject::CDtmObject() noexcept {
    CQuelkVariableStore& store = store_.Store();
    store.AttachHost(this);
    store.AttachDeviceAccess(&client_);
}

HRESULT CDtmObject::FinalConstruct() noexcept { return lifecycle_.InitParameters(); }
