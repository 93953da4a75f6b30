// CQuelkFunctions: construction, the seams, the functions document and the register of open user
// interfaces (registration and removal with the data-set lock).
#include "dtm/services/QuelkFunctions.h"

#include <string_view>
#include <utility>

#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dtm/services/FormatBstr.h"
#include "dtm/services/FunctionCallDocument.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/FunctionStatus.h"
#include "dtm/services/QuelkLocalization.h"
#include "values/AnsiText.h"

CQuelkFunctions::CQuelkFunctions(ql::PartOwner& owner, DtmHost& host) noexcept
    : ql::MemberPart(owner), host_(host), lock_(host), messages_(host), activeX_(host, table_, stateCopy_) {}

CQuelkFunctions::CQuelkFunctions(ql::PartOwner& owner, DtmHost& host, const QuelkUiFunction* rows,
                                 size_t count) noexcept
    : ql::MemberPart(owner),
      host_(host),
      table_(rows, count),
      lock_(host),
      messages_(host),
      activeX_(host, table_, stateCopy_) {}

// ---- The register, for the lifecycle ----

HRESULT CQuelkFunctions::GetOpenUiCount(ULONG* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    *count = static_cast<ULONG>(openUis_.Count());
    return S_OK;
}

HRESULT CQuelkFunctions::GetOpenUiInvokeId(ULONG index, BSTR* invokeId) noexcept {
    QL_RETURN_IF_NULL_OUT(invokeId);
    *invokeId = nullptr;
    QL_RETURN_HR_IF(E_FAIL, index >= openUis_.Count());
    return openUis_.At(index).InvokeId.CopyTo(invokeId);
}

HRESULT CQuelkFunctions::Texts::GetFunctionText(LPCSTR defaultText, LONG functionId, LPCSTR attribute,
                                                ql::Bstr& text) noexcept {
    return owner_.GetLocalizedFunctionText(defaultText, functionId, attribute, text.Put());
}

HRESULT CQuelkFunctions::Texts::GetReferenceText(LPCSTR reference, ql::Bstr& text) noexcept {
    return owner_.host_.Lifecycle().LoadMessageText(reference, text.Put());
}

// ---- The functions document ----

HRESULT CQuelkFunctions::GetFunctions(BSTR* body) noexcept {
    QL_RETURN_IF_NULL_OUT(body);
    *body = nullptr;
    if (!table_.HasTable()) return S_OK;
    ql::Bstr elements;
    QL_RETURN_IF_FAILED(BuildFunctionElements(table_.Rows(), host_.Lifecycle().UserLevel(),
                                              host_.Lifecycle().OperationPhase(), texts_, elements));
    *body = elements.Detach();
    return S_OK;
}

HRESULT CQuelkFunctions::GetLocalizedFunctionText(LPCSTR defaultText, LONG functionId, LPCSTR attributeName,
                                                  BSTR* text) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    *text = nullptr;
    ql::Bstr attribute;
    QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(attributeName ? attributeName : ""), attribute));
    ql::Bstr path;
    QL_RETURN_IF_FAILED(FormatBstr(path, L"localization/DTM/FunctionList/Function[@id=\"%d\"]/%ls",
                                   static_cast<int>(functionId), attribute.CStr()));
    ql::Bstr translation;
    VARIANT_BOOL found = VARIANT_FALSE;
    if (SUCCEEDED(host_.Localization().GetLocaleText(path.Get(), translation.Put(), &found)) &&
        found == VARIANT_TRUE) {
        *text = translation.Detach();
        return S_OK;
    }
    return host_.Lifecycle().LoadMessageText(defaultText, text);
}

// ---- The register of open user interfaces ----

HRESULT CQuelkFunctions::ActiveXControlEvent(BSTR invokeId, IUnknown* control) noexcept {
    // Registering and leaving call the control and the frame at every step.
    const ql::SelfHold hold(host_.ControllingUnknown());
    return control ? RegisterControl(invokeId, control) : UnregisterControl(invokeId);
}

HRESULT CQuelkFunctions::ReadControlFunctionId(IQuelkControlInfo* info, ql::Bstr& functionCall,
                                               LONG& functionId) noexcept {
    functionId = 0;
    ql::Variant selector;
    selector.SetI4(1);  // the function-call document the control was opened with
    ql::Variant document;
    // A control that cannot tell its document is registered as one without function.
    if (FAILED(info->GetInfo(*selector.Get(), document.Put())) || FAILED(document.ChangeType(VT_BSTR)) ||
        document.Type() != VT_BSTR || ::SysStringLen(document->bstrVal) == 0) {
        return S_OK;
    }
    if (ReadFunctionCallId(host_, document->bstrVal, kFunctionIdBelowAnyRoot, VT_I2, functionId) != S_OK) {
        return S_FALSE;
    }
    return functionCall.AssignCopy(document->bstrVal);
}

void CQuelkFunctions::TakeDataSetLock(bool& holdsLock) noexcept {
    // A user interface counts once however often it registers.
    if (holdsLock || lock_.Take() != S_OK) return;
    holdsLock = true;
    if (!host_.Lifecycle().FrameLocked()) {
        // The frame did not grant the lock (or the DTM's data is locked): the user interfaces already open
        // make their inputs read-only.
        ql::Variant locked;
        locked.SetBool(false);
        (void)BroadcastNotification(kNotifyDataLock, *locked.Get());
    }
}

HRESULT CQuelkFunctions::RegisterControl(BSTR invokeId, IUnknown* control) noexcept {
    ql::ComPtr<IUnknown> identity;
    QL_RETURN_IF_FAILED(control->QueryInterface(IID_IUnknown, identity.PutVoid()));
    ql::Bstr key;
    QL_RETURN_IF_FAILED(key.AssignCopy(invokeId));

    const long existing = openUis_.Find(invokeId);
    bool holdsLock = existing >= 0 && openUis_.At(static_cast<size_t>(existing)).HoldsDataLock;
    const bool heldBefore = holdsLock;
    ql::Bstr functionCall;
    LONG functionId = 0;
    ql::ComPtr<IQuelkControlInfo> info;
    const bool hasControlInfo =
        SUCCEEDED(control->QueryInterface(IID_IQuelkControlInfo, info.PutVoid())) && info;
    if (hasControlInfo) {
        // A control whose schema cache cannot be set up reads its function call below and fails there if it
        // must.
        if (IFrameContainer* frame = host_.Lifecycle().Frame()) (void)info->InitSchemaCacheFromFrame(frame);
        const HRESULT read = ReadControlFunctionId(info.Get(), functionCall, functionId);
        QL_RETURN_IF_FAILED(read);
        if (read != S_OK) return S_FALSE;  // a document that names no function: not registered
        QuelkUiFunction* row = nullptr;
        if (functionId > 0 && SUCCEEDED(table_.FindFunctionRow(static_cast<ULONG>(functionId), &row))) {
            if (!(row->Status & kUiStatusNoDataLock)) TakeDataSetLock(holdsLock);
            // NotifyFunctionStatus always answers S_OK.
            (void)NotifyFunctionStatus(host_, row->Label, kStatusFunctionStarted);
        }
    }

    // The lock step may have called into the open controls: look the key up again.
    const long index = openUis_.Find(invokeId);
    if (index >= 0) {
        // A second registration under the same invoke id leaves its record as it was.
        openUis_.At(static_cast<size_t>(index)).HoldsDataLock = holdsLock;
    } else {
        QuelkOpenUi record;
        record.InvokeId = std::move(key);
        record.FunctionCall = std::move(functionCall);
        record.FunctionId = functionId;
        record.Control = std::move(identity);
        record.HoldsDataLock = holdsLock;
        const HRESULT added = openUis_.Append(std::move(record));
        if (FAILED(added)) {
            if (holdsLock && !heldBefore) lock_.Release();
            return added;
        }
    }
    return GreetControl(control, hasControlInfo);
}

HRESULT CQuelkFunctions::GreetControl(IUnknown* control, bool hasControlInfo) noexcept {
    ql::ComPtr<IQuelkControlCompat> ui;
    if (FAILED(control->QueryInterface(IID_IQuelkControlCompat, ui.PutVoid())) || !ui) return S_OK;
    QL_RETURN_IF_FAILED(ui->SetDtmState(stateCopy_));

    ql::Variant code;
    IFrameContainer* frame = host_.Lifecycle().Frame();
    if (!hasControlInfo && frame) {
        // A control without the framework's information interface builds its schema cache from the folder.
        ql::Bstr folder;
        QL_RETURN_IF_FAILED(frame->GetSchemaFolder(folder.Put()));
        ql::Variant data;
        data.AttachBstr(folder.Detach());
        code.SetUI4(kNotifySchemaFolder);
        QL_RETURN_IF_FAILED(ui->NotifyVariant(*code.Get(), *data.Get()));
    }
    ql::Variant language;
    language.SetI4(static_cast<LONG>(host_.Lifecycle().Language()));
    code.SetUI4(kNotifyLanguage);
    return ui->NotifyVariant(*code.Get(), *language.Get());
}

HRESULT CQuelkFunctions::UnregisterControl(BSTR invokeId) noexcept {
    const long found = openUis_.Find(invokeId);
    if (found < 0) return S_OK;
    QuelkOpenUi& record = openUis_.At(static_cast<size_t>(found));
    const LONG functionId = record.FunctionId;
    // Only a user interface that was counted among the lock's holders is counted down.
    if (record.HoldsDataLock) {
        record.HoldsDataLock = false;
        lock_.Release();
    }
    if (functionId > 0) {
        QuelkUiFunction* row = nullptr;
        if (SUCCEEDED(table_.FindFunctionRow(static_cast<ULONG>(functionId), &row))) {
            // NotifyFunctionStatus always answers S_OK.
            (void)NotifyFunctionStatus(host_, row->Label, kStatusFunctionFinished);
        }
    }

    HRESULT result = S_OK;
    if (IFrameContainer* frame = host_.Lifecycle().Frame()) {
        ql::ComPtr<IFrameEvents> events;
        result = frame->QueryInterface(IID_IFrameEvents, events.PutVoid());
        if (SUCCEEDED(result) && events) result = events->NotifyFunctionUiClosed(invokeId);
    }
    // The frame may have called back into the DTM: look the key up again.
    const long index = openUis_.Find(invokeId);
    if (index >= 0) openUis_.RemoveAt(static_cast<size_t>(index));
    return result;
}
