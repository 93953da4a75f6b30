#include "dtm/services/DtmFunctionCalls.h"

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dtm/services/FunctionCallDocument.h"
#include "dtm/services/FunctionStatus.h"
#include "dtm/services/FunctionsDocument.h"
#include "dtm/DtmState.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/QuelkFunctions.h"

namespace {

constexpr wchar_t kOperationPhasePath[] = L"FDT/@operationPhase";

}  // namespace

HRESULT CDtmFunctionCalls::GetFunctions(BSTR operationPhase, BSTR* functions) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, functions == nullptr);
    *functions = nullptr;
    if (!IsStateBetween(host_.Lifecycle().State(), kStateInitialised, kStateConnected) || !operationPhase)
        return S_FALSE;

    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(host_.Lifecycle().LoadXMLDocument(operationPhase, document.Put(), &loaded)) ||
        loaded != VARIANT_TRUE) {
        return S_FALSE;
    }
    ql::Bstr path(kOperationPhasePath);
    ql::ComPtr<IXMLDOMNode> phaseNode;
    if (path.IsNull() || FAILED(document->selectSingleNode(path.Get(), phaseNode.Put())) || !phaseNode) {
        return S_FALSE;
    }
    ql::Variant phase;
    if (FAILED(phaseNode->get_nodeValue(phase.Put())) || FAILED(phase.ChangeType(VT_BSTR)) ||
        FAILED(settings_.SetOperationPhase(*phase.Get()))) {
        return S_FALSE;
    }

    ql::Bstr body;
    if (FAILED(host_.Functions().GetFunctions(body.Put()))) return S_FALSE;
    ql::Bstr wrapped;
    if (FAILED(WrapFunctionsDocument(body.Get(), wrapped))) return S_FALSE;
    *functions = wrapped.Detach();
    return S_OK;
}

HRESULT CDtmFunctionCalls::InvokeFunctionRequest(BSTR invokeId, BSTR functionCall,
                                                 VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    if (!IsStateBetween(host_.Lifecycle().State(), kStateConfigured, kStateConnected)) return S_FALSE;
    // An observer cannot invoke functions.
    if (host_.Lifecycle().UserLevel() <= kUserLevelObserver) return S_FALSE;

    LONG functionId = 0;
    if (ReadFunctionCallId(host_, functionCall, kFunctionIdBelowAnyRoot, VT_I4, functionId) != S_OK)
        return S_FALSE;
    QuelkUiFunction* row = nullptr;
    if (FAILED(table_.FindFunctionRow(static_cast<ULONG>(functionId), &row)) || !row->Handler) return S_FALSE;

    // NotifyFunctionStatus always answers S_OK.
    (void)NotifyFunctionStatus(host_, row->Name, L"");
    // The handler receives the object's identity, held while it runs.
    const ql::ComPtr<IUnknown> dtm(host_.ControllingUnknown());
    const HRESULT handled = row->Handler(dtm.Get());
    if (const ql::ComPtr<IFrameEvents> events(host_.Lifecycle().FrameEvents()); events) {
        const ql::SelfHold hold(host_.ControllingUnknown());
        // A notice: the function ran, and its result is the answer.
        (void)events->NotifyFunctionFinished(invokeId, SUCCEEDED(handled) ? VARIANT_TRUE : VARIANT_FALSE);
    }
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CDtmFunctionCalls::PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, result == nullptr);
    *result = VARIANT_FALSE;
    if (!IsStateBetween(host_.Lifecycle().State(), kStateConfigured, kStateConnected)) return S_FALSE;
    host_.Lifecycle().SetPrivateDialogsEnabled(enabled == VARIANT_TRUE ? 1 : 0);
    *result = VARIANT_TRUE;
    return S_OK;
}
