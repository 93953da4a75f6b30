#pragma once
// CDtmDatasetHost: the DTM object as the variable store sees it (IDatasetHost). It forwards the store's
// questions to the parts of the object: the state word and the broadcasts of the toolkit base and the
// modified mark of the persistence part.
//
// A member of the DTM object; used on its apartment thread only.
#include "dataset/DatasetHost.h"

class CQuelkDtm;
class CQuelkPersist;

class CDtmDatasetHost final : public IDatasetHost {
public:
    CDtmDatasetHost(CQuelkDtm& dtm, CQuelkPersist& persist) noexcept : dtm_(dtm), persist_(persist) {}
    CDtmDatasetHost(const CDtmDatasetHost&) = delete;
    CDtmDatasetHost& operator=(const CDtmDatasetHost&) = delete;
    ~CDtmDatasetHost() = default;

    HRESULT GetState(ULONG* state) noexcept override;
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override;
    HRESULT BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept override;
    HRESULT SetModified(bool modified) noexcept override;

private:
    CQuelkDtm& dtm_;
    CQuelkPersist& persist_;
};
