#pragma once
// CDtmServicesHostFor<Dtm, Toolkit>: IDtmServicesHost for a complete DTM object `Dtm` built on the toolkit
// base `Toolkit` (CQuelkDtm: state, settings words, frame pointers, document loader, message sink) and the
// variable store part (Store()). The online transfer belongs to the communication part, so `Dtm` itself
// answers two questions about it:
//     bool IsTransferRequestRunning() noexcept;                        // an upload/download request runs
//     void ReportTransferProgress(LONG index, LONG count, BSTR title) noexcept;  // the frame's progress
// The complete object keeps one as a member and hands it to its services:
//
//     CDtmServicesHostFor<CDtmObject, CQuelkDtm> servicesHost_{*this};
//
// Header only: it binds to the toolkit's accessors where it is instantiated. Every call goes through the
// toolkit base, so names the services' parts share with it cannot make a call ambiguous.
#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "dataset/QuelkVariableList.h"
#include "dtm/services/DtmServicesHost.h"

template <class Dtm, class Toolkit>
class CDtmServicesHostFor final : public IDtmServicesHost {
public:
    explicit CDtmServicesHostFor(Dtm& dtm) noexcept : dtm_(dtm) {}
    CDtmServicesHostFor(const CDtmServicesHostFor&) = delete;
    CDtmServicesHostFor& operator=(const CDtmServicesHostFor&) = delete;

    ULONG State() noexcept override { return Base().State(); }
    ULONG Language() noexcept override { return Base().Language(); }
    void SetLanguageWord(ULONG lcid) noexcept override { Base().SetLanguageWord(lcid); }
    ULONG UserLevel() noexcept override { return Base().UserLevel(); }
    void SetUserLevelWord(ULONG level) noexcept override { Base().SetUserLevelWord(level); }
    ULONG OperationPhase() noexcept override { return Base().OperationPhase(); }
    void SetOperationPhaseWord(ULONG phase) noexcept override { Base().SetOperationPhaseWord(phase); }
    void SetPrivateDialogsEnabled(ULONG enabled) noexcept override {
        Base().SetPrivateDialogsEnabled(enabled);
    }

    bool DataLocked() noexcept override { return Base().DataLocked(); }
    bool FrameLocked() noexcept override { return Base().FrameLocked(); }
    void SetFrameLocked(bool locked) noexcept override { Base().SetFrameLocked(locked); }

    HRESULT GetSystemTag(BSTR* tag) noexcept override { return Base().SystemTag().CopyTo(tag); }
    IFrameContainer* Frame() noexcept override { return Base().Frame(); }
    IFrameEvents* FrameEvents() noexcept override { return Base().FrameEvents(); }
    void ReportMessage(BSTR text) noexcept override { Base().MessageSink()->DeliverMessage(text); }

    bool HasSchemaCache() noexcept override { return Base().XmlHandler().SchemaCollection() != nullptr; }
    HRESULT LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept override {
        return Base().LoadXMLDocument(xml, document, loaded);
    }
    void OfferLoadedDocument(BSTR xml, IXMLDOMDocument2* document) noexcept override {
        Base().XmlHandler().OfferLoadedDocument(xml, document);
    }

    HRESULT QueryObject(REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        IUnknown* self = Base().GetControllingUnknown();
        return self ? self->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    IUnknown* ControllingUnknown() noexcept override { return Base().GetControllingUnknown(); }
    HRESULT NotifyUis(ULONG code, const VARIANT& data) noexcept override {
        return Base().NotifyUis(code, data);
    }
    HRESULT LoadMessageText(LPCSTR idOrText, BSTR* text) noexcept override {
        return Base().LoadMessageText(idOrText, text);
    }
    HRESULT RunToolkitConfig(BSTR userInformation, VARIANT_BOOL* result) noexcept override {
        return Base().Toolkit::Config(userInformation, result);
    }

    CQuelkVariableList& Variables() noexcept override { return dtm_.Store().Variables(); }
    IQuelkVariableFields* OwnVariableFields() noexcept override {
        return &static_cast<IQuelkVariableFields&>(dtm_);
    }
    ql::Variant& CompareValue() noexcept override { return dtm_.Store().CompareValue(); }
    bool TransferRequestRunning() noexcept override { return dtm_.IsTransferRequestRunning(); }
    void ReportProgress(LONG index, LONG count, BSTR title) noexcept override {
        dtm_.ReportTransferProgress(index, count, title);
    }

private:
    Toolkit& Base() noexcept { return dtm_; }

    Dtm& dtm_;
};
