#pragma once
// CServicesTestDtm: a complete DTM object made of the real toolkit base, the real variable store and the
// DTM services, put together the way the device's DTM object puts them together (the same interface
// order, the same seams, the services' host adapter). The tests drive it through its COM interfaces and
// our frame host, so each service is seen as the frame and the controls see it.
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "dataset/DatasetDeviceAccess.h"
#include "dataset/DatasetHost.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/DtmAutomation.h"
#include "dtm/services/DtmFunctionCalls.h"
#include "dtm/services/DtmInformation.h"
#include "dtm/services/DtmServicesHostFor.h"
#include "dtm/services/DtmUserSettings.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/services/QuelkLocalization.h"

namespace svctest {

// The dataset's view of the test object: state and broadcasts of the toolkit, no persistence.
class CTestDatasetHost final : public IDatasetHost {
public:
    explicit CTestDatasetHost(CQuelkDtm& dtm) noexcept : dtm_(dtm) {}
    HRESULT GetState(ULONG* state) noexcept override { return dtm_.GetState(state); }
    HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept override {
        return dtm_.NotifyUis(code, data);
    }
    HRESULT BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept override {
        return dtm_.Functions().BroadcastMessage(id, text, argument);
    }
    HRESULT SetModified(bool) noexcept override { return S_OK; }

private:
    CQuelkDtm& dtm_;
};

// A device that answers every synchronous read of a parameter with zero.
class CTestDevice final : public IDatasetDeviceAccess {
public:
    explicit CTestDevice(IQuelkVariablesEx& store) noexcept : store_(store) {}
    HRESULT ReadParameterAsync(ULONG, VARIANT_BOOL* sent) noexcept override {
        *sent = VARIANT_FALSE;
        return E_NOTIMPL;
    }
    HRESULT WriteParameterAsync(ULONG, const VARIANT&, VARIANT_BOOL* sent) noexcept override {
        *sent = VARIANT_FALSE;
        return E_NOTIMPL;
    }
    HRESULT ReadParameter(ULONG id) noexcept override;
    HRESULT WriteParameter(ULONG, const VARIANT&) noexcept override { return E_NOTIMPL; }

private:
    IQuelkVariablesEx& store_;
};

class CServicesTestDtm final : public ql::ComObjectBase<CServicesTestDtm>,
                               public CDtmAutomation,
                               public CQuelkDtm,
                               public CQuelkVariableStorePart,
                               public CDtmInformation,
                               public CQuelkFunctions,
                               public CQuelkLocalization {
    QL_INTERFACE_TABLE(CServicesTestDtm, QL_ENTRY(IDtmObject), QL_ENTRY_IID(IID_IDispatch, IDtmObject),
                       QL_ENTRY(IQuelkDtm), QL_ENTRY(IDtm), QL_ENTRY_CHAIN(CDtmInformation),
                       QL_ENTRY(IDtmDataLock), QL_ENTRY(IQuelkDtmDispatch),
                       QL_ENTRY_CHAIN(CQuelkVariableStorePart), QL_ENTRY_CHAIN(CQuelkFunctions),
                       QL_ENTRY_CHAIN(CQuelkLocalization), QL_ENTRY(IUserInfo),
                       QL_ENTRY(ICheckOnlineParameter), QL_ENTRY(ISupportErrorInfo))

public:
    CServicesTestDtm() noexcept;
    HRESULT FinalConstruct() noexcept { return InitParameters(); }

    // What the communication part answers in the device's object: here an invoke id the tests set.
    bool IsTransferRequestRunning() noexcept { return !TransferInvokeId().IsEmpty(); }
    void ReportTransferProgress(LONG, LONG, BSTR) noexcept {}

    HRESULT STDMETHODCALLTYPE InitParameters() noexcept override;
    IUnknown* STDMETHODCALLTYPE GetControllingUnknown() noexcept override;

    // IDtm: the device's additions.
    HRESULT STDMETHODCALLTYPE Config(BSTR userInformation, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE GetFunctions(BSTR operationPhase, BSTR* functions) noexcept override;
    HRESULT STDMETHODCALLTYPE InvokeFunctionRequest(BSTR invokeId, BSTR functionCall,
                                                    VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE PrivateDialogEnabled(VARIANT_BOOL enabled,
                                                   VARIANT_BOOL* result) noexcept override;

protected:
    HRESULT SetUserLevel(const VARIANT& keyword) noexcept override;
    HRESULT ApplyLanguage(LCID language, VARIANT_BOOL* accepted) noexcept override;

private:
    CDtmServicesHostFor<CServicesTestDtm, CQuelkDtm> host_{*this};
    CDtmUserSettings settings_{host_};
    CDtmFunctionCalls calls_{host_, settings_, FunctionTable()};
    CTestDatasetHost datasetHost_{*this};
    CTestDevice device_{*this};
};

}  // namespace svctest
