#include "frame/FrameHost.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"

namespace {

std::wstring Text(BSTR text) { return std::wstring(text ? text : L"", text ? ::SysStringLen(text) : 0); }

std::wstring Flag(VARIANT_BOOL flag) { return flag == VARIANT_FALSE ? L"FALSE" : L"TRUE"; }

HRESULT CopyText(const std::wstring& text, BSTR* out) noexcept {
    ql::Bstr copy;
    QL_RETURN_IF_FAILED(copy.Assign(text));
    *out = copy.Detach();
    return S_OK;
}

}  // namespace

void CFrameHost::Record(const wchar_t* method, std::vector<std::wstring> arguments) noexcept {
    try {
        calls_.push_back(FrameCall{method, std::move(arguments)});
        if (listener_) listener_(calls_.back());
    } catch (...) {
        // A call the frame cannot record is still answered.
    }
}

size_t CFrameHost::CountCalls(const wchar_t* method) const noexcept {
    size_t count = 0;
    for (const FrameCall& call : calls_) {
        if (call.Method == method) ++count;
    }
    return count;
}

const FrameCall* CFrameHost::LastCall(const wchar_t* method) const noexcept {
    for (auto call = calls_.rbegin(); call != calls_.rend(); ++call) {
        if (call->Method == method) return &*call;
    }
    return nullptr;
}

void CFrameHost::AddProjectDtm(const std::wstring& systemTag, IUnknown* dtm) {
    projectDtms_[systemTag] = ql::ComPtr<IUnknown>(dtm);
}

HRESULT CFrameHost::QueryFrameEvents(REFIID, void** out) noexcept {
    if (!script_.AnswersFrameEvents) return E_NOINTERFACE;
    IFrameEvents* events = this;
    events->AddRef();
    *out = events;
    return S_OK;
}

// ---- IFrameContainer ----

HRESULT CFrameHost::SetDirtyFlag(BSTR systemTag, VARIANT_BOOL* result) noexcept {
    Record(L"SetDirtyFlag", {Text(systemTag)});
    if (result) *result = VARIANT_TRUE;
    return S_OK;
}

HRESULT CFrameHost::LockDataSet(BSTR systemTag, VARIANT_BOOL* granted) noexcept {
    Record(L"LockDataSet", {Text(systemTag)});
    QL_RETURN_IF_NULL_OUT(granted);
    *granted = script_.GrantsDataSetLock ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CFrameHost::UnlockDataSet(BSTR systemTag, VARIANT_BOOL* done) noexcept {
    Record(L"UnlockDataSet", {Text(systemTag)});
    QL_RETURN_IF_NULL_OUT(done);
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT CFrameHost::GetSchemaFolder(BSTR* folder) noexcept {
    Record(L"GetSchemaFolder", {});
    QL_RETURN_IF_NULL_OUT(folder);
    *folder = nullptr;
    QL_RETURN_IF_FAILED(script_.SchemaFolderResult);
    return CopyText(script_.SchemaFolder, folder);
}

// ---- IFrameEvents ----

HRESULT CFrameHost::NotifyParameterDocument(BSTR systemTag, BSTR parameterDocument) noexcept {
    Record(L"NotifyParameterDocument", {Text(systemTag), Text(parameterDocument)});
    return S_OK;
}

HRESULT CFrameHost::NotifyErrorMessage(BSTR systemTag, BSTR message) noexcept {
    Record(L"NotifyErrorMessage", {Text(systemTag), Text(message)});
    return S_OK;
}

HRESULT CFrameHost::NotifyProgress(BSTR systemTag, BSTR title, SHORT percent, VARIANT_BOOL show) noexcept {
    Record(L"NotifyProgress", {Text(systemTag), Text(title), std::to_wstring(percent), Flag(show)});
    return S_OK;
}

HRESULT CFrameHost::NotifyUploadFinished(BSTR invokeId, VARIANT_BOOL success) noexcept {
    Record(L"NotifyUploadFinished", {Text(invokeId), Flag(success)});
    return S_OK;
}

HRESULT CFrameHost::NotifyDownloadFinished(BSTR invokeId, VARIANT_BOOL success) noexcept {
    Record(L"NotifyDownloadFinished", {Text(invokeId), Flag(success)});
    return S_OK;
}

HRESULT CFrameHost::NotifyFunctionUiClosed(BSTR invokeId) noexcept {
    Record(L"NotifyFunctionUiClosed", {Text(invokeId)});
    return S_OK;
}

HRESULT CFrameHost::NotifyFunctionsChanged(BSTR systemTag) noexcept {
    Record(L"NotifyFunctionsChanged", {Text(systemTag)});
    return S_OK;
}

HRESULT CFrameHost::EventsReserved14(BSTR, BSTR) noexcept { return E_NOTIMPL; }
HRESULT CFrameHost::EventsReserved15(BSTR, BSTR) noexcept { return E_NOTIMPL; }
HRESULT CFrameHost::EventsReserved16(BSTR) noexcept { return E_NOTIMPL; }
HRESULT CFrameHost::EventsReserved21(BSTR, BSTR) noexcept { return E_NOTIMPL; }

HRESULT CFrameHost::NotifyOnlineStateChanged(BSTR systemTag, VARIANT_BOOL online) noexcept {
    Record(L"NotifyOnlineStateChanged", {Text(systemTag), Flag(online)});
    return S_OK;
}

HRESULT CFrameHost::NotifyPreparedToDelete(BSTR systemTag) noexcept {
    Record(L"NotifyPreparedToDelete", {Text(systemTag)});
    return S_OK;
}

HRESULT CFrameHost::NotifyPreparedToReleaseCommunication(BSTR systemTag) noexcept {
    Record(L"NotifyPreparedToReleaseCommunication", {Text(systemTag)});
    return S_OK;
}

HRESULT CFrameHost::NotifyFunctionFinished(BSTR invokeId, VARIANT_BOOL success) noexcept {
    Record(L"NotifyFunctionFinished", {Text(invokeId), Flag(success)});
    return S_OK;
}

// ---- IFrameDialog ----

HRESULT CFrameHost::UserDialog(BSTR systemTag, BSTR userMessage, BSTR* answer) noexcept {
    Record(L"UserDialog", {Text(systemTag), Text(userMessage)});
    QL_RETURN_IF_NULL_OUT(answer);
    *answer = nullptr;
    return CopyText(script_.DialogAnswer, answer);
}

// ---- IFrameActiveX ----

HRESULT CFrameHost::OpenActiveXControlRequest(BSTR systemTag, BSTR functionCall,
                                              VARIANT_BOOL* result) noexcept {
    Record(L"OpenActiveXControlRequest", {Text(systemTag), Text(functionCall)});
    QL_RETURN_IF_NULL_OUT(result);
    *result = script_.OpensActiveX ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CFrameHost::CloseActiveXControlRequest(BSTR invokeId, VARIANT_BOOL* result) noexcept {
    Record(L"CloseActiveXControlRequest", {Text(invokeId)});
    QL_RETURN_IF_NULL_OUT(result);
    *result = script_.ClosesActiveX ? VARIANT_TRUE : VARIANT_FALSE;
    // The open user interface closes later, from the message loop: the control is calling us right now.
    if (*result == VARIANT_TRUE && uiCloser_) uiCloser_(Text(invokeId));
    return S_OK;
}

// ---- IFrameDtmAccess ----

HRESULT CFrameHost::GetParentNodes(BSTR, BSTR* nodes) noexcept { return ql::NotImplementedOut(nodes); }
HRESULT CFrameHost::GetChildNodes(BSTR, BSTR, BSTR* nodes) noexcept { return ql::NotImplementedOut(nodes); }
HRESULT CFrameHost::CreateChild(BSTR, BSTR, BSTR* childTag) noexcept {
    return ql::NotImplementedOut(childTag);
}
HRESULT CFrameHost::DeleteChild(BSTR, BSTR, VARIANT_BOOL* result) noexcept {
    return ql::NotImplementedOut(result);
}
HRESULT CFrameHost::GetDtmInfoList(BSTR* dtmInfoList) noexcept { return ql::NotImplementedOut(dtmInfoList); }
HRESULT CFrameHost::MoveChild(BSTR, BSTR, VARIANT_BOOL* result) noexcept {
    return ql::NotImplementedOut(result);
}

HRESULT CFrameHost::GetDtm(BSTR systemTag, IDtm** dtm) noexcept {
    Record(L"GetDtm", {Text(systemTag)});
    QL_RETURN_IF_NULL_OUT(dtm);
    *dtm = nullptr;
    const auto found = projectDtms_.find(Text(systemTag));
    if (found == projectDtms_.end()) return E_INVALIDARG;
    return found->second.QueryTo(__uuidof(IDtm), reinterpret_cast<void**>(dtm));
}

HRESULT CFrameHost::ReleaseDtm(BSTR systemTag, VARIANT_BOOL* released) noexcept {
    Record(L"ReleaseDtm", {Text(systemTag)});
    QL_RETURN_IF_NULL_OUT(released);
    *released = VARIANT_TRUE;
    return S_OK;
}
