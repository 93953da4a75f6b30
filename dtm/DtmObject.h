#pragma once
// CDtmObject: the device type manager of the "Varnok Thermal Mass Flowmeter", the COM object of class
// DtmObject that the frame creates once per device instance in its project.
//
// A facade over its parts: the toolkit base CQuelkDtm (state, frame, FDT lifecycle), the variable store
// part (dataset and its interfaces), the persistence part (dataset image), the DP-V1 client (connection,
// device reads and writes, bus information) with the frame's online requests and the dataset transfer
// (upload, download, progress), the DTM services (the automation interfaces, the DTM information, the
// functions and their user interfaces, the translations, the user settings and the frame's function
// requests) and the document parts (the parameter document, the verification and comparison, the
// parameter list import and export, the documentation). The communication parts reach the object through
// CDtmCommunicationHost, the lifecycle reaches them through CDtmCommunicationClient; the services reach it
// through CDtmServicesHostFor, the document parts through CDtmDocumentsHostFor, and the toolkit reaches
// the services through its seams. This class adds what is specific to the device: the parameter table
// built at creation, the functions that follow the online state, and the interface table in the order the
// frame and the controls rely on.
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
#include "dtm/documents/DtmDataSetCheckPart.h"
#include "dtm/documents/DtmDocumentationPart.h"
#include "dtm/documents/DtmDocumentsHostFor.h"
#include "dtm/documents/DtmImportExportPart.h"
#include "dtm/documents/DtmParameterPart.h"
#include "dtm/services/DtmAutomation.h"
#include "dtm/services/DtmFunctionCalls.h"
#include "dtm/services/DtmInformation.h"
#include "dtm/services/DtmServicesHostFor.h"
#include "dtm/services/DtmUserSettings.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/services/QuelkLocalization.h"

class CDtmObject final : public ql::ComObjectBase<CDtmObject>,
                         public CDtmAutomation,
                         public CQuelkDtm,
                         public CQuelkVariableStorePart,
                         public CQuelkPersist,
                         public COnlineParameterRequests,
                         public CQuelkDpv1Communication,
                         public CDtmInformation,
                         public CQuelkFunctions,
                         public CQuelkLocalization,
                         public CDtmParameterPart,
                         public CDtmDataSetCheckPart,
                         public CDtmImportExportPart,
                         public CDtmDocumentationPart {
    // The order QueryInterface searches, which the frame and the controls rely on.
    QL_INTERFACE_TABLE(CDtmObject,
                       QL_ENTRY(IDtmObject),                      // 1, also the identity
                       QL_ENTRY_IID(IID_IDispatch, IDtmObject),   // 2
                       QL_ENTRY(IQuelkDtm),                       // 3
                       QL_ENTRY(IDtm),                            // 4
                       QL_ENTRY_CHAIN(CDtmInformation),           // 5
                       QL_ENTRY_CHAIN(CDtmParameterPart),         // 6
                       QL_ENTRY(IDtmDataLock),                    // 7
                       QL_ENTRY(IQuelkDtmDispatch),               // 8
                       QL_ENTRY_CHAIN(CQuelkVariableStorePart),   // 9 to 12
                       QL_ENTRY_CHAIN(CQuelkPersist),             // 13 to 15
                       QL_ENTRY_CHAIN(CQuelkFunctions),           // 16, 17
                       QL_ENTRY_CHAIN(COnlineParameterRequests),  // 18
                       QL_ENTRY_CHAIN(CQuelkDpv1Communication),   // 19 to 24
                       QL_ENTRY_CHAIN(CQuelkLocalization),        // 25 to 28
                       QL_ENTRY(IUserInfo),                       // 29
                       QL_ENTRY(ICheckOnlineParameter),           // 30
                       QL_ENTRY_CHAIN(CDtmDocumentationPart),     // 31
                       QL_ENTRY_CHAIN(CDtmDataSetCheckPart),      // 32
                       QL_ENTRY_CHAIN(CDtmImportExportPart),      // 33
                       QL_ENTRY(ISupportErrorInfo))               // 34

public:
    CDtmObject() noexcept;
    CDtmObject(const CDtmObject&) = delete;
    CDtmObject& operator=(const CDtmObject&) = delete;

    // Builds the dataset (InitParameters); a failure fails the creation.
    HRESULT FinalConstruct() noexcept;

    // ---- IQuelkDtm: what the device adds to the toolkit ----
    HRESULT STDMETHODCALLTYPE InitParameters() noexcept override;
    IUnknown* STDMETHODCALLTYPE GetControllingUnknown() noexcept override;

    // ---- IQuelkVariables slots 18 and 19: the values part of the persistence ----
    HRESULT STDMETHODCALLTYPE LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept override;
    // ---- IQuelkVariables slots 20 and 21: the dataset transfer of the communication part (the text is the
    // frame's request text, which the transfer does not use) ----
    HRESULT STDMETHODCALLTYPE UploadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;
    HRESULT STDMETHODCALLTYPE DownloadParameters(BSTR text, VARIANT_BOOL* ok) noexcept override;

    // ---- IDtm: the device's configuration and function requests, through the user settings and the
    // function calls ----
    HRESULT STDMETHODCALLTYPE Config(BSTR userInformation, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE GetFunctions(BSTR operationPhase, BSTR* functions) noexcept override;
    HRESULT STDMETHODCALLTYPE InvokeFunctionRequest(BSTR invokeId, BSTR functionCall,
                                                    VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE PrivateDialogEnabled(VARIANT_BOOL enabled,
                                                   VARIANT_BOOL* result) noexcept override;

    // ---- The online transfer as the services and the document parts see it (their host adapters) ----
    bool IsTransferRequestRunning() noexcept { return IsRequestRunning(); }
    void ReportTransferProgress(LONG index, LONG count, BSTR title) noexcept {
        transfer_.ReportProgress(index, count, title);
    }

protected:
    HRESULT SetUserLevel(const VARIANT& keyword) noexcept override;
    HRESULT ApplyLanguage(LCID language, VARIANT_BOOL* accepted) noexcept override;
    // The functions that follow the online state.
    void ApplyState(ULONG previous, ULONG state) noexcept override;

private:
    // CDtmObject::InitParameterSet: language, parameter table, data-set state, state 1, translations.
    HRESULT InitParameterSet() noexcept;

    CDtmDatasetHost datasetHost_;
    CDtmCommunicationHost communicationHost_;
    CDtmCommunicationClient communicationClient_;
    CQuelkDatasetTransfer transfer_;
    // The services' and the document parts' views of this object. The bases are handed them before they
    // are constructed: they keep the reference and use it only once the object is complete.
    CDtmServicesHostFor<CDtmObject, CQuelkDtm> servicesHost_{*this};
    CDtmDocumentsHostFor<CDtmObject, CQuelkDtm, CQuelkPersist, CQuelkFunctions> documentsHost_{*this};
    CDtmUserSettings userSettings_{servicesHost_};
    CDtmFunctionCalls functionCalls_{servicesHost_, userSettings_, FunctionTable()};
};
