// CQuelkFunctions: what goes to the frame (opening and closing function user interfaces, the status of
// functions), user messages, the ActiveX information, documents and the slots without a role.
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "dtm/services/FormatBstr.h"
#include "dtm/services/QuelkFunctions.h"
#include "dtm/QuelkDtm.h"

namespace {

constexpr wchar_t kFunctionCallTemplate[] =
    L"<?xml version=\"1.0\"?> <FDT \txmlns\t\t=\"x-schema:DTMFunctionCallSchema.xml\" "
    L"\txmlns:func\t=\"x-schema:DTMFunctionsSchema.xml\" "
    L"\txmlns:appId\t=\"x-schema:FDTApplicationIdSchema.xml\" "
    L"\txmlns:ops\t=\"x-schema:FDTOperationPhaseSchema.xml\"> \t<FDTFunctionCall func:functionId=\"%d\"/> "
    L"</FDT>";

constexpr BYTE kStatusBitsOfCaller = kUiStatusEnabled | kUiStatusHidden | kUiStatusToggle | kUiStatusChecked;

BYTE StatusBit(BOOL set, BYTE bit) noexcept { return set ? bit : 0; }

}  // namespace

HRESULT CQuelkFunctions::ChangeFunctionStatus(ULONG functionId, BYTE clear, BYTE set) noexcept {
    // Before the environment step nothing changes: the frame that would be told is not known yet.
    IFrameContainer* frame = host_.Lifecycle().Frame();
    if (!frame) return S_OK;
    ql::ComPtr<IFrameEvents> events;
    const HRESULT asked = frame->QueryInterface(IID_IFrameEvents, events.PutVoid());
    QL_RETURN_IF_FAILED(asked);
    if (asked != S_OK || !events) return asked;

    QuelkUiFunction* row = nullptr;
    QL_RETURN_IF_FAILED(table_.FindFunctionRow(functionId, &row));
    row->Status = static_cast<BYTE>((row->Status & ~clear) | set);
    ql::Bstr tag;
    QL_RETURN_IF_FAILED(host_.Lifecycle().SystemTag().CopyTo(tag.Put()));
    const ql::SelfHold hold(host_.ControllingUnknown());
    return events->NotifyFunctionsChanged(tag.Get());
}

HRESULT CQuelkFunctions::SetFunctionEnabled(ULONG functionId, BOOL enabled) noexcept {
    return ChangeFunctionStatus(functionId, kUiStatusEnabled, StatusBit(enabled, kUiStatusEnabled));
}

HRESULT CQuelkFunctions::SetFunctionStatus(ULONG functionId, BOOL enabled, BOOL hidden, BOOL toggle,
                                           BOOL checked) noexcept {
    // The data-set lock bit belongs to the table, not to the caller.
    const BYTE set = StatusBit(enabled, kUiStatusEnabled) | StatusBit(hidden, kUiStatusHidden) |
                     StatusBit(toggle, kUiStatusToggle) | StatusBit(checked, kUiStatusChecked);
    return ChangeFunctionStatus(functionId, kStatusBitsOfCaller, set);
}

HRESULT CQuelkFunctions::OpenFunctionUi(ULONG functionId, VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    IFrameContainer* frame = host_.Lifecycle().Frame();
    ql::ComPtr<IFrameActiveX> activeX;
    if (!frame || frame->QueryInterface(IID_IFrameActiveX, activeX.PutVoid()) != S_OK || !activeX)
        return S_FALSE;
    QuelkUiFunction* row = nullptr;
    QL_RETURN_IF_FAILED(table_.FindFunctionRow(functionId, &row));
    if (!(row->Status & kUiStatusEnabled)) {
        // Answered as handled, without asking the frame; callers have always read it so.
        *result = VARIANT_TRUE;
        return S_FALSE;
    }
    ql::Bstr tag;
    QL_RETURN_IF_FAILED(host_.Lifecycle().SystemTag().CopyTo(tag.Put()));
    ql::Bstr functionCall;
    QL_RETURN_IF_FAILED(FormatBstr(functionCall, kFunctionCallTemplate, static_cast<int>(functionId)));
    const ql::SelfHold hold(host_.ControllingUnknown());
    return activeX->OpenActiveXControlRequest(tag.Get(), functionCall.Get(), result);
}

HRESULT CQuelkFunctions::CloseFunctionUi(BSTR invokeId, VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_FALSE;
    IFrameContainer* frame = host_.Lifecycle().Frame();
    ql::ComPtr<IFrameActiveX> activeX;
    if (!frame || FAILED(frame->QueryInterface(IID_IFrameActiveX, activeX.PutVoid())) || !activeX)
        return S_OK;
    // The frame destroys the control, whose release unregisters it.
    const ql::SelfHold hold(host_.ControllingUnknown());
    QL_RETURN_IF_FAILED(activeX->CloseActiveXControlRequest(invokeId, result));
    return S_OK;
}

HRESULT CQuelkFunctions::ShowMessageVariant(BSTR text, BSTR title, VARIANT style, ULONG* result) noexcept {
    return messages_.ShowMessageVariant(text, title, style, result);
}

HRESULT CQuelkFunctions::ShowMessage(BSTR text, BSTR title, ULONG style, ULONG* result) noexcept {
    return messages_.ShowMessage(text, title, style, result);
}

HRESULT CQuelkFunctions::GetActiveXGuid(BSTR functionCall, BSTR* classId) noexcept {
    return activeX_.GetActiveXGuid(functionCall, classId);
}

HRESULT CQuelkFunctions::GetActiveXProgId(BSTR functionCall, BSTR* progId) noexcept {
    return activeX_.GetActiveXProgId(functionCall, progId);
}

HRESULT CQuelkFunctions::OpenDocument(ULONG, BSTR functionCall, ULONG, VARIANT_BOOL* opened) noexcept {
    return activeX_.OpenDocument(functionCall, opened);
}

HRESULT CQuelkFunctions::FunctionsReserved18(ULONG, VARIANT_BOOL* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkFunctions::FunctionsReserved19(ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG,
                                             ULONG) noexcept {
    return S_OK;
}

HRESULT CQuelkFunctions::FunctionsReserved20(ULONG, ULONG, ULONG, ULONG, ULONG, ULONG) noexcept {
    return S_OK;
}
