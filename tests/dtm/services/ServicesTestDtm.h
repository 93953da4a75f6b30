#pragma once
// CServicesTestDtm: a complete DTM object made of the real toolkit base, the real variable store and the
// DTM services, put together the way the device's DTM object puts them together (the same interface
// order, the same seams, the services' host adapter). The tests drive it through its COM interfaces and
// our frame host, so each service is seen as the frame and the controls see it.
//
// The one difference from the device's object: IDtm::SetLanguage and IQuelkLocalizationInit::SetLanguage
// share a signature, so the toolkit's SetLanguage is routed through CToolkitLanguageRoute instead of being
// overridden in the complete class (which would replace both).
#include <windows.h>

#include <string>
#include <vector>

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

// Overrides IDtm::SetLanguage alone (this class does not derive IQuelkLocalizationInit).
class CToolkitLanguageRoute : public CQuelkDtm {
public:
    HRESULT STDMETHODCALLTYPE SetLanguage(LCID language, VARIANT_BOOL* accepted) noexcept override {
        return ApplyLanguage(language, accepted);
    }

protected:
    virtual HRESULT ApplyLanguage(LCID language, VARIANT_BOOL* accepted) noexcept = 0;
};

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

// A device that answers every synchronous read of a parameter with a fixed value (or fails).
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

    bool answers = true;
    double value = 0;
    int reads = 0;

private:
    IQuelkVariablesEx& store_;
};

class CServicesTestDtm final : public ql::ComObjectBase<CServicesTestDtm>,
                               public CDtmAutomation,
                               public CToolkitLanguageRoute,
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
    // A DTM whose functions part holds `rows` instead of the device's table.
    CServicesTestDtm(const QuelkUiFunction* rows, size_t count) noexcept;
    HRESULT FinalConstruct() noexcept { return InitParameters(); }

    CDtmUserSettings& Settings() noexcept { return settings_; }

    // What the communication part answers in the device's object: here an invoke id the tests set, and
    // the progress reports recorded.
    bool IsTransferRequestRunning() noexcept { return !TransferInvokeId().IsEmpty(); }
    void ReportTransferProgress(LONG index, LONG count, BSTR title) noexcept;
    struct Progress {
        LONG index;
        LONG count;
        std::wstring title;
    };
    std::vector<Progress> progress;
    IDtmServicesHost& Host() noexcept { return host_; }
    CTestDevice& Device() noexcept { return device_; }

    // ---- IQuelkDtm ----
    HRESULT STDMETHODCALLTYPE InitParameters() noexcept override;
    IUnknown* STDMETHODCALLTYPE GetControllingUnknown() noexcept override;

    // ---- IDtm: the device's additions ----
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
    void AttachParts() noexcept;

    CDtmServicesHostFor<CServicesTestDtm, CQuelkDtm> host_{*this};
    CDtmUserSettings settings_{host_};
    CDtmFunctionCalls calls_{host_, settings_, FunctionTable()};
    CTestDatasetHost datasetHost_{*this};
    CTestDevice device_{*this};
};

}  // namespace svctest
