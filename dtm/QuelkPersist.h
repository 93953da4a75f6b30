#pragma once
// CQuelkPersist: the dataset persistence part of the DTM object. The frame keeps each device instance's
// dataset in its project through IPersistStreamInit (the dataset image written into the frame's stream,
// followed by the 4-byte property-map version 0x300) or IPersistPropertyBag (the same image, without the
// version, as the byte array of the property "DTM_DATA"); both use the toolkit's IQuelkPersistData.
//
// The dataset image: the device type text (counted text), the VARIANTs VT_BSTR "1.0" and "1", then the
// values part (CQuelkValuesImage). A load reads and checks the whole image (for IPersistStreamInit the
// version after it as well) before the dataset or the device type changes, so a refused load leaves the
// DTM as it was.
//
// The part also keeps the dataset-modified flag and tells the frame when it changes.
// A member part of the DTM object (QL_ENTRY_MEMBER rows for IQuelkPersistData, IPersistStreamInit and
// IPersistPropertyBag); the state, the device type and the frame are the lifecycle's, the values the
// store's, both reached through the host (DtmHost).
// Threading: the DTM object's apartment thread; the transfer worker never calls persistence.
#include <windows.h>
#include <objidl.h>
#include <ocidl.h>

#include <vector>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/DatasetImage.h"

class DtmHost;

// The property-map version the class library writes after the image; a higher one is refused.
constexpr ULONG kPropertyMapVersion = 0x300;

class CQuelkPersist : public ql::MemberPart,
                      public ToolkitDispatchImpl<IQuelkPersistData>,
                      public IPersistStreamInit,
                      public IPersistPropertyBag {
    QL_MEMBER_IUNKNOWN()

public:
    CQuelkPersist(ql::PartOwner& owner, DtmHost& host) noexcept : ql::MemberPart(owner), host_(host) {}
    CQuelkPersist(const CQuelkPersist&) = delete;
    CQuelkPersist& operator=(const CQuelkPersist&) = delete;

    // ---- IQuelkPersistData ----
    HRESULT STDMETHODCALLTYPE LoadFromStream(IStream* stream) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveToStream(IStream* stream) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadDtmData(IPropertyBag* bag, IErrorLog* errorLog) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveDtmData(IPropertyBag* bag) noexcept override;

    // ---- IPersist, IPersistStreamInit, IPersistPropertyBag: S_FALSE for a call in a lifecycle state that
    // does not take it; a failure code (the stream's or bag's own, E_FAIL for a damaged image, E_POINTER for
    // a missing argument) for a save or load that fails, with the dataset unchanged. A save with
    // clearDirty FALSE leaves the dataset marked modified. ----
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) noexcept override;
    HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) noexcept override;
    HRESULT STDMETHODCALLTYPE InitNew() noexcept override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* errorLog) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty,
                                   BOOL saveAllProperties) noexcept override;

    // ---- The toolkit's inner operations ----
    HRESULT WriteDataStream(IStream* stream, VARIANT_BOOL* ok) noexcept;
    HRESULT ReadDataStream(IStream* stream, VARIANT_BOOL* ok) noexcept;
    HRESULT InitNewData(VARIANT_BOOL* ok) noexcept;
    // Marks the dataset modified (the frame's dirty flag) or saved (the frame receives the parameter
    // document); nothing happens when the flag does not change.
    HRESULT SetModified(bool modified) noexcept;
    HRESULT SuspendModifiedNotification(bool suspend) noexcept;
    bool Modified() const noexcept { return modified_; }

    // The store's values part in and out of a stream (IQuelkVariables slots 18 and 19 of the store part).
    HRESULT SaveValuesPart(IStream* stream, VARIANT_BOOL* ok) noexcept;
    HRESULT LoadValuesPart(IStream* stream, VARIANT_BOOL* ok) noexcept;

private:
    using LoadedImage = LoadedDatasetImage;
    HRESULT ParseDataStream(IStream* stream, LoadedImage& image) noexcept;
    HRESULT CommitImage(LoadedImage& image) noexcept;
    // The image without the property-map version; S_FALSE when the extension reported no success.
    HRESULT WriteImage(IStream* stream) noexcept;
    HRESULT LoadBagImage(IPropertyBag* bag, IErrorLog* errorLog, LoadedImage& image) noexcept;
    // Clears the dataset-modified flag after a good save when `clearModified`.
    HRESULT SaveBagImage(IPropertyBag* bag, bool clearModified) noexcept;
    HRESULT TellFrameModified() noexcept;
    HRESULT TellFrameSaved() noexcept;
    bool StateAcceptsLoad() const noexcept;
    bool StateAcceptsSave() const noexcept;

    DtmHost& host_;
    bool modified_ = false;
    bool notificationSuspended_ = false;
    bool requiresSave_ = false;  // the class library's flag; nothing in these methods sets it
};
