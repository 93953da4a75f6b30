// The dataset image in a property bag (the property "DTM_DATA"): IQuelkPersistData's bag methods and
// IPersistPropertyBag.
#include "dtm/QuelkPersist.h"

#include "classlib/HResult.h"
#include "dataset/DatasetImageBag.h"
#include "dtm/DtmState.h"
#include "dtm/DtmHost.h"
#include "dtm/QuelkDtm.h"

HRESULT CQuelkPersist::LoadBagImage(IPropertyBag* bag, IErrorLog* errorLog, LoadedImage& image) noexcept {
    return CDatasetImageBag::Read(bag, errorLog, ControllingUnknown(), image);
}

HRESULT CQuelkPersist::SaveBagImage(IPropertyBag* bag, bool clearModified) noexcept {
    const HRESULT hr = CDatasetImageBag::Write(bag, host_.Lifecycle().DeviceType().Get(), host_.Store(),
                                               ControllingUnknown());
    if (SUCCEEDED(hr) && clearModified) (void)SetModified(false);
    return hr;
}

// ---- IQuelkPersistData (property bag) ----

HRESULT CQuelkPersist::LoadDtmData(IPropertyBag* bag, IErrorLog* errorLog) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        LoadedImage image;
        QL_RETURN_IF_FAILED(LoadBagImage(bag, errorLog, image));
        QL_RETURN_IF_FAILED(CommitImage(image));
        (void)SetModified(false);
        return S_OK;
    });
}

HRESULT CQuelkPersist::SaveDtmData(IPropertyBag* bag) noexcept { return SaveBagImage(bag, true); }

// ---- IPersistPropertyBag (InitNew is shared with IPersistStreamInit) ----

// As for the stream: S_FALSE only for a wrong lifecycle state, a failure code for a failed save or load.
HRESULT CQuelkPersist::Load(IPropertyBag* bag, IErrorLog* errorLog) noexcept {
    if (!StateAcceptsLoad()) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(bag);
    QL_RETURN_IF_FAILED(LoadDtmData(bag, errorLog));
    requiresSave_ = false;
    return host_.Lifecycle().SetState(kStateLoaded) == S_OK ? S_OK : S_FALSE;
}

HRESULT CQuelkPersist::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) noexcept {
    if (!StateAcceptsSave()) return S_FALSE;
    QL_RETURN_IF_NULL_OUT(bag);
    QL_RETURN_IF_FAILED(SaveBagImage(bag, clearDirty != FALSE));
    if (clearDirty) requiresSave_ = false;
    return S_OK;
}
