#pragma once
// CQuelkFdtActiveX: the FDT side of a stand-alone control (IDtmActiveXControl). The frame opens the control
// as the user interface of a DTM function and hands it an invoke id, the function-call document and the DTM;
// the part registers the control with the DTM under the invoke id (the DTM then sets up the control's schema
// cache, so the registration must come before the document is read), reads the function call's codes and
// attaches the control (its IQuelkControl::Init). PrepareToRelease lets go of the DTM and unregisters.
// RequestClose asks the DTM to have the frame close the function.
//
// The part lives inside a composite control next to its CQuelkControlBase; it borrows that base (for Init,
// ReleaseDtm, the XML handler and the status reports) and the control's controlling unknown.
// Ownership: one reference on the DTM's IDtm from Init until destruction, so that a second Init still
// finds the control initialised. Threading: the frame's user-interface thread.
#include <windows.h>

#include "FdtInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "idl/OutsideDispatch.h"

class CQuelkControlBase;

class CQuelkFdtActiveX : public FdtDispatchImpl<IDtmActiveXControl> {
    QL_INTERFACE_PART_TABLE(CQuelkFdtActiveX, QL_ENTRY(IDtmActiveXControl))

public:
    CQuelkFdtActiveX(const CQuelkFdtActiveX&) = delete;
    CQuelkFdtActiveX& operator=(const CQuelkFdtActiveX&) = delete;

    // S_OK with ok TRUE once attached; S_FALSE with ok FALSE when any step fails (a registration already
    // made stays until PrepareToRelease).
    HRESULT STDMETHODCALLTYPE Init(BSTR invokeId, BSTR functionCall, IDtm* dtm,
                                   VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE PrepareToRelease(VARIANT_BOOL* ok) noexcept override;

    // Asks the DTM to have the frame close this function: S_OK when the frame agreed, S_FALSE when it
    // refused, E_NOINTERFACE without a DTM link.
    HRESULT RequestClose() noexcept;

    bool HasDtmLink() const noexcept { return m_dtm != nullptr; }
    IDtm* DtmLink() const noexcept { return m_dtm.Get(); }
    BSTR FunctionCall() const noexcept { return m_functionCall.Get(); }
    BSTR InvokeId() const noexcept { return m_invokeId.Get(); }
    ULONG ApplicationId() const noexcept { return m_applicationId; }
    ULONG OperationPhase() const noexcept { return m_operationPhase; }
    LONG FunctionId() const noexcept { return m_functionId; }

protected:
    explicit CQuelkFdtActiveX(CQuelkControlBase& control) noexcept : control_(control) {}
    virtual ~CQuelkFdtActiveX() = default;

private:
    HRESULT Register(IUnknown* dtm, BSTR functionCall) noexcept;
    HRESULT ReadFunctionCall() noexcept;

    ql::Bstr m_invokeId;
    ql::Bstr m_functionCall;
    ql::ComPtr<IDtm> m_dtm;
    ULONG m_applicationId = 0;
    ULONG m_operationPhase = 0;
    LONG m_functionId = 0;
    CQuelkControlBase& control_;
};
