#include "dtm/DtmDatasetHost.h"

#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"

HRESULT CDtmDatasetHost::GetState(ULONG* state) noexcept { return dtm_.GetState(state); }

HRESULT CDtmDatasetHost::BroadcastNotification(ULONG code, const VARIANT& data) noexcept {
    return dtm_.NotifyUis(code, data);
}

HRESULT CDtmDatasetHost::BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept {
    return dtm_.Functions().BroadcastMessage(id, text, argument);
}

HRESULT CDtmDatasetHost::SetModified(bool modified) noexcept { return persist_.SetModified(modified); }
