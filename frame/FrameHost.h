#pragma once
// CFrameHost: our FDT frame application as the DTM sees it. The pointer handed to IDtm::Environment is its
// IFrameContainer; it also answers IFrameEvents, IFrameDialog, IFrameActiveX and IFrameDtmAccess. Every call
// is recorded (method name and arguments as text) and answered from a script that tests and the demo set
// up: the schema folder, whether the frame answers IFrameEvents, the data-set lock, the dialog's answer,
// the other DTMs of the project.
//
// Threading: apartment-threaded, created on the frame's user-interface thread; calls from other threads
// arrive marshalled. A listener, when set, sees each call as it is recorded (the demo prints them).
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FdtInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "idl/OutsideDispatch.h"

// One call the DTM made into the frame.
struct FrameCall {
    std::wstring Method;  // the interface method's name, e.g. L"NotifyPreparedToDelete"
    std::vector<std::wstring> Arguments;
};

// The frame's answers.
struct FrameScript {
    std::wstring SchemaFolder;  // IFrameContainer::GetSchemaFolder
    HRESULT SchemaFolderResult = S_OK;
    bool AnswersFrameEvents = true;  // false: QueryInterface for IFrameEvents fails
    bool GrantsDataSetLock = true;   // IFrameContainer::LockDataSet
    std::wstring DialogAnswer;       // IFrameDialog::UserDialog
    bool OpensActiveX = true;        // IFrameActiveX::OpenActiveXControlRequest
    bool ClosesActiveX = true;       // IFrameActiveX::CloseActiveXControlRequest
};

class CFrameHost final : public ql::ComObjectBase<CFrameHost>,
                         public FdtDispatchImpl<IFrameContainer>,
                         public FdtDispatchImpl<IFrameEvents>,
                         public FdtDispatchImpl<IFrameDialog>,
                         public FdtDispatchImpl<IFrameActiveX>,
                         public FdtDispatchImpl<IFrameDtmAccess> {
    QL_INTERFACE_TABLE(CFrameHost, QL_ENTRY(IFrameContainer), QL_ENTRY_IID(IID_IDispatch, IFrameContainer),
                       QL_ENTRY_FUNC(IID_IFrameEvents, QueryFrameEvents), QL_ENTRY(IFrameDialog),
                       QL_ENTRY(IFrameActiveX), QL_ENTRY(IFrameDtmAccess))

public:
    CFrameHost() noexcept = default;

    FrameScript& Script() noexcept { return script_; }
    const std::vector<FrameCall>& Calls() const noexcept { return calls_; }
    void ClearCalls() noexcept { calls_.clear(); }
    // How many recorded calls have this method name.
    size_t CountCalls(const wchar_t* method) const noexcept;
    // The last recorded call of this method name, null when there is none.
    const FrameCall* LastCall(const wchar_t* method) const noexcept;
    void SetListener(std::function<void(const FrameCall&)> listener) { listener_ = std::move(listener); }

    // The project's other DTMs for IFrameDtmAccess::GetDtm, by system tag.
    void AddProjectDtm(const std::wstring& systemTag, IUnknown* dtm);
    // Who closes an open user interface when the DTM asks to (by invoke id); it must only post the close.
    void SetUiCloser(std::function<void(const std::wstring& invokeId)> closer) {
        uiCloser_ = std::move(closer);
    }
    // Lets the project's DTMs go (they may hold this frame in turn).
    void ClearProjectDtms() noexcept { projectDtms_.clear(); }

    // ---- IFrameContainer ----
    HRESULT STDMETHODCALLTYPE SetDirtyFlag(BSTR systemTag, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE LockDataSet(BSTR systemTag, VARIANT_BOOL* granted) noexcept override;
    HRESULT STDMETHODCALLTYPE UnlockDataSet(BSTR systemTag, VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSchemaFolder(BSTR* folder) noexcept override;

    // ---- IFrameEvents ----
    HRESULT STDMETHODCALLTYPE NotifyParameterDocument(BSTR systemTag,
                                                      BSTR parameterDocument) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyErrorMessage(BSTR systemTag, BSTR message) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyProgress(BSTR systemTag, BSTR title, SHORT percent,
                                             VARIANT_BOOL show) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyUploadFinished(BSTR invokeId, VARIANT_BOOL success) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyDownloadFinished(BSTR invokeId, VARIANT_BOOL success) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyFunctionUiClosed(BSTR invokeId) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyFunctionsChanged(BSTR systemTag) noexcept override;
    HRESULT STDMETHODCALLTYPE EventsReserved14(BSTR systemTag, BSTR channelPath) noexcept override;
    HRESULT STDMETHODCALLTYPE EventsReserved15(BSTR systemTag, BSTR functionCall) noexcept override;
    HRESULT STDMETHODCALLTYPE EventsReserved16(BSTR systemTag) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyOnlineStateChanged(BSTR systemTag, VARIANT_BOOL online) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyPreparedToDelete(BSTR systemTag) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyPreparedToReleaseCommunication(BSTR systemTag) noexcept override;
    HRESULT STDMETHODCALLTYPE NotifyFunctionFinished(BSTR invokeId, VARIANT_BOOL success) noexcept override;
    HRESULT STDMETHODCALLTYPE EventsReserved21(BSTR invokeId, BSTR response) noexcept override;

    // ---- IFrameDialog ----
    HRESULT STDMETHODCALLTYPE UserDialog(BSTR systemTag, BSTR userMessage, BSTR* answer) noexcept override;

    // ---- IFrameActiveX ----
    HRESULT STDMETHODCALLTYPE OpenActiveXControlRequest(BSTR systemTag, BSTR functionCall,
                                                        VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE CloseActiveXControlRequest(BSTR invokeId,
                                                         VARIANT_BOOL* result) noexcept override;

    // ---- IFrameDtmAccess ----
    // The project tree is not modelled: the tree methods answer E_NOTIMPL.
    HRESULT STDMETHODCALLTYPE GetParentNodes(BSTR systemTag, BSTR* nodes) noexcept override;
    HRESULT STDMETHODCALLTYPE GetChildNodes(BSTR systemTag, BSTR protocolId, BSTR* nodes) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateChild(BSTR systemTag, BSTR dtmInfo, BSTR* childTag) noexcept override;
    HRESULT STDMETHODCALLTYPE DeleteChild(BSTR systemTag, BSTR childTag,
                                          VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDtm(BSTR systemTag, IDtm** dtm) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDtmInfoList(BSTR* dtmInfoList) noexcept override;
    HRESULT STDMETHODCALLTYPE MoveChild(BSTR systemTag, BSTR position,
                                        VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseDtm(BSTR systemTag, VARIANT_BOOL* released) noexcept override;

private:
    HRESULT QueryFrameEvents(REFIID iid, void** out) noexcept;
    void Record(const wchar_t* method, std::vector<std::wstring> arguments) noexcept;

    FrameScript script_;
    std::vector<FrameCall> calls_;
    std::function<void(const FrameCall&)> listener_;
    std::function<void(const std::wstring&)> uiCloser_;
    std::map<std::wstring, ql::ComPtr<IUnknown>> projectDtms_;
};
