#pragma once
// CDtmObject: the device type manager of the "Varnok Thermal Mass Flowmeter", the COM object of class
// DtmObject that the frame creates once per device instance in its project.
//
// A facade over its parts: the toolkit base CQuelkDtm (state, frame, FDT lifecycle), the variable store
// part (dataset and its interfaces), the persistence part (dataset image), the DP-V1 client (connection,
// device reads and writes, bus information) with the frame's online requests and the dataset transfer
// (upload, download, progress); the functions and translation services are attached through the base's
// seams. The communication parts reach the object through CDtmCommunicationHost, the lifecycle reaches
// them through CDtmCommunicationClient. This class adds what is specific to the device: the parameter
// table built at creation, the functions that follow the online state, and the interface table in the
// order the frame and the controls rely on.
//
// Threading: apartment-threaded; all calls arrive on the frame's user-interface thread (the online
// requests' worker reaches the object through marshalled interfaces, so its calls arrive there too).
// Aggregatable: created inside an outer object, every query goes to the outer object's IUnknown.
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/DispatchImpl.h"
#include "comm/OnlineParameterRequests.h"
#include "comm/QuelkDatasetTransfer.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/DtmCommunicationClient.h"
#include "dtm/DtmCommunicationHost.h"
#include "dtm/DtmDatasetHost.h"
#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"

class CDtmObject final : public ql::ComObjectBase<CDtmObject>,
                         public ql::DispatchImpl<IDtmObject>,
                         public CQuelkDtm,
                         public CQuelkVariableStorePart,
                         public CQuelkPersist,
                         public COnlineParameterRequests,
                         public CQuelkDpv1Communication {
    // Entries whose part has not been built answer E_NOINTERFACE in their place, so the order stays the
    // one QueryInterface has always searched.
    QL_INTERFACE_TABLE(CDtmObject,
                       QL_ENTRY(IDtmObject),                                     // 1, also the identity
                       QL_ENTRY_IID(IID_IDispatch, IDtmObject),                  // 2
                       QL_ENTRY(IQuelkDtm),                                      // 3
                       QL_ENTRY(IDtm),                                           // 4
                       QL_ENTRY_FUNC(IID_IDtmInformation, PartNotBuilt),         // 5: information part
                       QL_ENTRY_FUNC(IID_IDtmParameter, PartNotBuilt),           // 6: parameter document part
                       QL_ENTRY(IDtmDataLock),                                   // 7
                       QL_ENTRY(IQuelkDtmDispatch),                              // 8
                       QL_ENTRY_CHAIN(CQuelkVariableStorePart),                  // 9 to 12
                       QL_ENTRY_CHAIN(CQuelkPersist),                            // 13 to 15
                       QL_ENTRY_FUNC(IID_IDtmActiveXInformation, PartNotBuilt),  // 16: functions part
                       QL_ENTRY_FUNC(IID_IQuelkFunctions, PartNotBuilt),         // 17: functions part
                       QL_ENTRY_CHAIN(COnlineParameterRequests),                 // 18
                       QL_ENTRY_CHAIN(CQuelkDpv1Communication),                  // 19 to 24
                       QL_ENTRY_FUNC(IID_IQuelkLocalization, PartNotBuilt),      // 25 to 28: translation
                       QL_ENTRY_FUNC(IID_IQuelkParameterTexts, PartNotBuilt),
                       QL_ENTRY_FUNC(IID_IQuelkLocalizationInit, PartNotBuilt),
                       QL_ENTRY_FUNC(IID_IQuelkAboutFile, PartNotBuilt),
                       QL_ENTRY_FUNC(IID_IUserInfo, PartNotBuilt),  // 29, 30: automation
                       QL_ENTRY_FUNC(IID_ICheckOnlineParameter, PartNotBuilt),
                       QL_ENTRY_FUNC(IID_IDtmDocumentation, PartNotBuilt),  // 31: documentation
                       QL_ENTRY_FUNC(IID_IDtmDataSetCheck, PartNotBuilt),   // 32: verification
                       QL_ENTRY_FUNC(IID_IDtmImportExport, PartNotBuilt),   // 33: import and export
                       QL_ENTRY_FUNC(IID_ISupportErrorInfo, PartNotBuilt))  // 34: automation

public:
    CDtmObject() noexcept;
    CDtmObject(const CDtmObject&) = delete;
    CDtmObject& operator=(const CDtmObject&) = delete;

    // Builds the dataset (InitParameters); a failure fails the creation.
    HRESULT FinalConstruct() noexcept;

    // ---- IQuelkDtm: what the device adds to the toolkit ----
    // The toolkit's SetState, then the functions that follow the online state.
    HRESULT STDMETHODCALLTYPE SetState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE InitParameters() noexcept override;
    IUnknown* STDMETHODCALLTYPE GetControllingUnknown() noexcept override;

    // ---- IQuelkVariables slots 18 and 19: the values part of the persistence ----
    HRESULT STDMETHODCALLTYPE LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    // ---- IQuelkVariables slots 20 and 21: the dataset transfer of the communication part (the text is the
    // frame's request text, which the transfer does not use) ----
    HRESULT STDMETHODCALLTYPE UploadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE DownloadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;

    // ---- IDtmObject: the automation part fills these in ----
    HRESULT STDMETHODCALLTYPE ShowTreeActiveX() noexcept override;
    // The frame's progress display, through the dataset transfer's; always S_OK.
    HRESULT STDMETHODCALLTYPE ShowProgressValue(LONG index, LONG count, BSTR title) noexcept override;
    HRESULT STDMETHODCALLTYPE CompareSingleParameter(VARIANT parameterId, VARIANT* deviceValue,
                                                     VARIANT* dtmValue) noexcept override;
    HRESULT STDMETHODCALLTYPE SetActiveXFunctionID(LONG functionId) noexcept override;
    HRESULT STDMETHODCALLTYPE GetActiveFunctionID(LONG* functionId) noexcept override;

    // ---- The online transfer as the services see it (CDtmServicesHostFor) ----
    bool IsTransferRequestRunning() noexcept { return IsRequestRunning(); }
    void ReportTransferProgress(LONG index, LONG count, BSTR title) noexcept {
        transfer_.ReportProgress(index, count, title);
    }

private:
    HRESULT PartNotBuilt(REFIID, void**) noexcept { return E_NOINTERFACE; }
    // CDtmObject::InitParameterSet: language, parameter table, data-set state, state 1, translations.
    HRESULT InitParameterSet() noexcept;

    CDtmDatasetHost datasetHost_;
    CDtmCommunicationHost communicationHost_;
    CDtmCommunicationClient communicationClient_;
    CQuelkDatasetTransfer transfer_;
};
