#pragma once
// CDtmFunctionCalls: the frame's function requests of IDtm: the functions document for an operation phase
// (GetFunctions), running a function without user interface (InvokeFunctionRequest) and the private-dialog
// flag (PrivateDialogEnabled). The lifecycle's IDtm methods call these.
//
// Used on the DTM object's apartment thread only. Not owned: the host, the settings and the functions part.
#include <windows.h>

#include "dtm/DtmHost.h"
#include "dtm/services/DtmUserSettings.h"
#include "dtm/services/QuelkUiFunctionTable.h"

class CDtmFunctionCalls {
public:
    CDtmFunctionCalls(DtmHost& host, CDtmUserSettings& settings, CQuelkUiFunctionTable& table) noexcept
        : host_(host), settings_(settings), table_(table) {}
    CDtmFunctionCalls(const CDtmFunctionCalls&) = delete;
    CDtmFunctionCalls& operator=(const CDtmFunctionCalls&) = delete;

    // States 7 to 12. The phase of the operation-phase document becomes the DTM's operation phase, then the
    // functions document filtered by it and the user level. Every failure but a missing out-pointer
    // (E_INVALIDARG) is S_FALSE without a document.
    HRESULT GetFunctions(BSTR operationPhase, BSTR* functions) noexcept;
    // States 8 to 12, a user level above observer: runs the handler of the called function's row and tells
    // the frame how it ended (IFrameEvents::NotifyFunctionFinished). S_FALSE for a function without
    // handler; once a handler ran the result is TRUE whatever it returned.
    HRESULT InvokeFunctionRequest(BSTR invokeId, BSTR functionCall, VARIANT_BOOL* result) noexcept;
    // States 8 to 12: notes whether the frame allows the DTM's own dialogs (only VARIANT_TRUE counts).
    HRESULT PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) noexcept;

private:
    DtmHost& host_;
    CDtmUserSettings& settings_;
    CQuelkUiFunctionTable& table_;
};
