#pragma once
// CDtmDocumentsHostFor<Dtm, Toolkit, Persist, Functions>: DtmDocumentsHost for a complete DTM object `Dtm`
// built on the toolkit base `Toolkit` (CQuelkDtm: state, user level, frame pointers, device type, XML
// handler, message sink, lock flags, compare link), the persistence part `Persist` (CQuelkPersist: the
// modified flag and its notification), the functions part `Functions` (CQuelkFunctions: the UI-function
// table) and the variable store part (Store()). The progress display belongs to the communication part's
// dataset transfer, so `Dtm` itself answers for it:
//     void ReportTransferProgress(LONG index, LONG count, BSTR title) noexcept;
// The complete object keeps one as a member and hands it to its document parts:
//
//     CDtmDocumentsHostFor<CDtmObject, CQuelkDtm, CQuelkPersist, CQuelkFunctions> documentsHost_{*this};
//
// Header only: it binds to the parts' accessors where it is instantiated. Every call goes through the part
// that owns it, so names other parts share cannot make a call ambiguous.
#include <windows.h>

#include "dtm/documents/DtmDocumentsHost.h"
#include "dtm/services/QuelkUiFunction.h"

template <class Dtm, class Toolkit, class Persist, class Functions>
class CDtmDocumentsHostFor final : public DtmDocumentsHost {
public:
    explicit CDtmDocumentsHostFor(Dtm& dtm) noexcept : dtm_(dtm) {}
    CDtmDocumentsHostFor(const CDtmDocumentsHostFor&) = delete;
    CDtmDocumentsHostFor& operator=(const CDtmDocumentsHostFor&) = delete;
    ~CDtmDocumentsHostFor() = default;

    ULONG State() noexcept override { return Base().State(); }
    ULONG UserLevel() noexcept override { return Base().UserLevel(); }
    BSTR SystemTag() noexcept override { return Base().SystemTag().Get(); }
    BSTR DeviceType() noexcept override { return Base().DeviceType().Get(); }
    IFrameContainer* Frame() noexcept override { return Base().Frame(); }
    IFrameEvents* FrameEvents() noexcept override { return Base().FrameEvents(); }
    IUnknown* ControllingUnknown() noexcept override { return dtm_.GetControllingUnknown(); }
    CQuelkVariableStore& Store() noexcept override { return dtm_.Store(); }
    CQuelkXMLHandlerImpl& XmlHandler() noexcept override { return Base().XmlHandler(); }
    CQuelkMessageSink* MessageSink() noexcept override { return Base().MessageSink(); }
    bool DatasetModified() noexcept override { return static_cast<Persist&>(dtm_).Modified(); }
    HRESULT SuspendModifiedNotification(bool suspend) noexcept override {
        return static_cast<Persist&>(dtm_).SuspendModifiedNotification(suspend);
    }
    bool FrameLocked() noexcept override { return Base().FrameLocked(); }
    bool DataLocked() noexcept override { return Base().DataLocked(); }
    bool HasUiFunction(LONG functionId) noexcept override {
        if (functionId <= 0) return false;
        QuelkUiFunction* row = nullptr;
        return static_cast<Functions&>(dtm_).FunctionTable().FindFunctionRow(static_cast<ULONG>(functionId),
                                                                             &row) == S_OK;
    }
    void ReportProgress(LONG index, LONG count, BSTR title) noexcept override {
        dtm_.ReportTransferProgress(index, count, title);
    }
    bool CompareInitialised() noexcept override { return Base().CompareInitialised(); }
    void SetCompareInitialised(bool initialised) noexcept override {
        Base().SetCompareInitialised(initialised);
    }
    bool CompareRunning() noexcept override { return Base().CompareRunning(); }
    void SetCompareRunning(bool running) noexcept override { Base().SetCompareRunning(running); }
    ql::Bstr& ComparePeerTag() noexcept override { return Base().ComparePeerTag(); }
    ql::ComPtr<IQuelkVariableFields>& ComparePeerStore() noexcept override {
        return Base().ComparePeerStore();
    }

private:
    Toolkit& Base() noexcept { return static_cast<Toolkit&>(dtm_); }

    Dtm& dtm_;
};
