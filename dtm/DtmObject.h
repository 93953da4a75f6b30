#pragma once
// CDtmObject: the device type manager of the "Varnok Thermal Mass Flowmeter", the COM object of class
// DtmObject that the frame creates once per device instance in its project.
//
// A house of parts: it holds each part as a member and maps every interface it answers straight to the
// member that implements it (the table below; dtm/README.md lists each row with its class and file). The
// parts reach each other through the one host the object provides (DtmHost: an accessor per part), and
// their IUnknown is the object's. The object adds nothing of its own but the accessors and its creation,
// which builds the parameter set (IQuelkDtm::InitParameters); a failure fails the creation.
//
// Threading: apartment-threaded; all calls arrive on the frame's user-interface thread (the online
// requests' worker reaches the object through marshalled interfaces, so its calls arrive there too).
// Aggregatable: created inside an outer object, every query of any of its interfaces goes to the outer
// object's IUnknown.
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "comm/OnlineParameterRequests.h"
#include "comm/QuelkDatasetTransfer.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/DtmHost.h"
#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"
#include "dtm/documents/DtmDataSetCheckPart.h"
#include "dtm/documents/DtmDocumentationPart.h"
#include "dtm/documents/DtmImportExportPart.h"
#include "dtm/documents/DtmParameterPart.h"
#include "dtm/services/DtmAutomation.h"
#include "dtm/services/DtmFunctionCalls.h"
#include "dtm/services/DtmInformation.h"
#include "dtm/services/DtmUserSettings.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/services/QuelkLocalization.h"

class CDtmObject final : public ql::ComObjectBase<CDtmObject>, public DtmHost {
    // The order the interfaces are searched in, which the frame and the controls rely on; each row names
    // the member that answers.
    QL_MEMBER_TABLE(CDtmObject, QL_ENTRY_MEMBER(IDtmObject, automation_),         // 1, also the identity
                    QL_ENTRY_MEMBER_IID(IID_IDispatch, IDtmObject, automation_),  // 2
                    QL_ENTRY_MEMBER(IQuelkDtm, lifecycle_),                       // 3
                    QL_ENTRY_MEMBER(IDtm, lifecycle_),                            // 4
                    QL_ENTRY_MEMBER(IDtmInformation, information_),               // 5
                    QL_ENTRY_MEMBER(IDtmParameter, parameterDocument_),           // 6
                    QL_ENTRY_MEMBER(IDtmDataLock, lifecycle_),                    // 7
                    QL_ENTRY_MEMBER(IQuelkDtmDispatch, lifecycle_),               // 8
                    QL_ENTRY_MEMBER_IID(IID_IQuelkVariables, IQuelkVariablesEx, store_),  // 9
                    QL_ENTRY_MEMBER(IQuelkVariablesEx, store_),                           // 10
                    QL_ENTRY_MEMBER(IQuelkVariableFields, store_),                        // 11
                    QL_ENTRY_MEMBER(IQuelkValueCheck, store_),                            // 12
                    QL_ENTRY_MEMBER(IQuelkPersistData, persistence_),                     // 13
                    QL_ENTRY_MEMBER(IPersistStreamInit, persistence_),                    // 14
                    QL_ENTRY_MEMBER(IPersistPropertyBag, persistence_),                   // 15
                    QL_ENTRY_MEMBER(IDtmActiveXInformation, functions_),                  // 16
                    QL_ENTRY_MEMBER(IQuelkFunctions, functions_),                         // 17
                    QL_ENTRY_MEMBER(IDtmOnlineParameter, onlineRequests_),                // 18
                    QL_ENTRY_MEMBER(IQuelkDpv1Communication, client_),                    // 19
                    QL_ENTRY_MEMBER(IQuelkDpv1Client, client_),                           // 20
                    QL_ENTRY_MEMBER(IQuelkOnlineAccess, client_),                         // 21
                    QL_ENTRY_MEMBER(IQuelkOnlineState, client_),                          // 22
                    QL_ENTRY_MEMBER(IQuelkBusInformation, client_),                       // 23
                    QL_ENTRY_MEMBER(IFdtCommunicationEvents, client_),                    // 24
                    QL_ENTRY_MEMBER(IQuelkLocalization, localization_),                   // 25
                    QL_ENTRY_MEMBER(IQuelkParameterTexts, localization_),                 // 26
                    QL_ENTRY_MEMBER(IQuelkLocalizationInit, localization_),               // 27
                    QL_ENTRY_MEMBER(IQuelkAboutFile, localization_),                      // 28
                    QL_ENTRY_MEMBER(IUserInfo, automation_),                              // 29
                    QL_ENTRY_MEMBER(ICheckOnlineParameter, automation_),                  // 30
                    QL_ENTRY_MEMBER(IDtmDocumentation, documentation_),                   // 31
                    QL_ENTRY_MEMBER(IDtmDataSetCheck, dataSetCheck_),                     // 32
                    QL_ENTRY_MEMBER(IDtmImportExport, importExport_),                     // 33
                    QL_ENTRY_MEMBER(ISupportErrorInfo, automation_))                      // 34

public:
    CDtmObject() noexcept;
    CDtmObject(const CDtmObject&) = delete;
    CDtmObject& operator=(const CDtmObject&) = delete;

    // Builds the parameter set (IQuelkDtm::InitParameters); a failure fails the creation.
    HRESULT FinalConstruct() noexcept;

    // ---- DtmHost: the parts ----
    IUnknown* ControllingUnknown() noexcept override { return GetControllingUnknown(); }
    CQuelkDtm& Lifecycle() noexcept override { return lifecycle_; }
    CQuelkVariableStorePart& StorePart() noexcept override { return store_; }
    CQuelkPersist& Persistence() noexcept override { return persistence_; }
    CQuelkFunctions& Functions() noexcept override { return functions_; }
    CQuelkLocalization& Localization() noexcept override { return localization_; }
    CQuelkDpv1Communication& Client() noexcept override { return client_; }
    COnlineParameterRequests& OnlineRequests() noexcept override { return onlineRequests_; }
    CQuelkDatasetTransfer& Transfer() noexcept override { return transfer_; }
    CDtmUserSettings& UserSettings() noexcept override { return userSettings_; }
    CDtmFunctionCalls& FunctionCalls() noexcept override { return functionCalls_; }
    CDtmAutomation& Automation() noexcept override { return automation_; }
    CDtmParameterPart& ParameterDocument() noexcept override { return parameterDocument_; }
    // The rest, for tests and the walk from an interface to its code.
    CDtmInformation& Information() noexcept { return information_; }
    CDtmDataSetCheckPart& DataSetCheck() noexcept { return dataSetCheck_; }
    CDtmImportExportPart& ImportExport() noexcept { return importExport_; }
    CDtmDocumentationPart& Documentation() noexcept { return documentation_; }

private:
    // Declared (so constructed, and destroyed in reverse) in the order the parts always had. Each member
    // part gets the object twice: as the owner of its IUnknown and as its host.
    CDtmAutomation automation_{*this, *this};
    CQuelkDtm lifecycle_{*this, *this};
    CQuelkVariableStorePart store_{*this};
    CQuelkPersist persistence_{*this, *this};
    COnlineParameterRequests onlineRequests_{*this, *this};
    CQuelkDpv1Communication client_{*this, *this};
    CDtmInformation information_{*this, *this};
    CQuelkFunctions functions_{*this, *this};
    CQuelkLocalization localization_{*this, *this};
    CDtmParameterPart parameterDocument_{*this, *this};
    CDtmDataSetCheckPart dataSetCheck_{*this, *this};
    CDtmImportExportPart importExport_{*this, *this};
    CDtmDocumentationPart documentation_{*this, *this};
    CQuelkDatasetTransfer transfer_{*this};
    CDtmUserSettings userSettings_{*this};
    CDtmFunctionCalls functionCalls_{*this, userSettings_, functions_.FunctionTable()};
};
