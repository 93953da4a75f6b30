#pragma once
// CQuelkFunctions: the DTM object's service for its functions and their user interfaces (IQuelkFunctions)
// and the ActiveX information of the functions (IDtmActiveXInformation). It keeps the object's copy of the
// UI-function table, the register of open user interfaces with the frame's data-set lock they hold, and a
// copy of the DTM state; it broadcasts state changes, notifications and messages to every open control,
// asks the frame to open and close function user interfaces and shows user messages through the frame.
//
// A member part of the DTM object (QL_ENTRY_MEMBER rows for IDtmActiveXInformation and IQuelkFunctions);
// the other parts reach it through the host (DtmHost::Functions), the lifecycle through its view
// DtmFunctionsSeam, which this part implements with the same methods of IQuelkFunctions.
// Threading: the DTM object's apartment thread (the frame's user-interface thread); nothing is locked.
// Controls may call back into the DTM while they are told something: every walk over the register re-reads
// its length before each record and holds the control while it calls it.
// Ownership: the register holds one reference per control; the host is not owned.
#include <windows.h>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "idl/OutsideDispatch.h"
#include "dtm/DtmFunctionsSeam.h"
#include "dtm/services/DataSetLock.h"
#include "dtm/DtmHost.h"
#include "dtm/services/FunctionsDocument.h"
#include "dtm/services/QuelkActiveXInfo.h"
#include "dtm/services/QuelkOpenUiList.h"
#include "dtm/services/QuelkUiFunctionTable.h"
#include "dtm/services/QuelkUserMessage.h"
#include "dtm/DtmState.h"

class CQuelkFunctions : public ql::MemberPart,
                        public FdtDispatchImpl<IDtmActiveXInformation>,
                        public ToolkitDispatchImpl<IQuelkFunctions>,
                        public DtmFunctionsSeam {
    QL_MEMBER_IUNKNOWN()

public:
    // With a copy of this DTM's UI-function table.
    CQuelkFunctions(ql::PartOwner& owner, DtmHost& host) noexcept;
    // With a copy of another table (tests).
    CQuelkFunctions(ql::PartOwner& owner, DtmHost& host, const QuelkUiFunction* rows, size_t count) noexcept;
    CQuelkFunctions(const CQuelkFunctions&) = delete;
    CQuelkFunctions& operator=(const CQuelkFunctions&) = delete;

    CQuelkUiFunctionTable& FunctionTable() noexcept { return table_; }
    // The functions service's copy of the DTM state (set by BroadcastState).
    ULONG StateCopy() const noexcept { return stateCopy_; }
    ULONG DataLockHolders() const noexcept { return lock_.HolderCount(); }
    size_t OpenUiCount() const noexcept { return openUis_.Count(); }
    // Whether the UI-function table has a row for `functionId` (false without a table).
    bool HasUiFunction(LONG functionId) noexcept {
        QuelkUiFunction* row = nullptr;
        return functionId > 0 && SUCCEEDED(table_.FindFunctionRow(static_cast<ULONG>(functionId), &row));
    }

    // ---- The register of open user interfaces, for the lifecycle (DtmFunctionsSeam) ----
    HRESULT GetOpenUiCount(ULONG* count) noexcept override;
    HRESULT GetOpenUiInvokeId(ULONG index, BSTR* invokeId) noexcept override;

    // ---- IDtmActiveXInformation ----
    HRESULT STDMETHODCALLTYPE GetActiveXGuid(BSTR functionCall, BSTR* classId) noexcept override;
    HRESULT STDMETHODCALLTYPE GetActiveXProgId(BSTR functionCall, BSTR* progId) noexcept override;

    // ---- IQuelkFunctions ----
    // 7: the inner part of the functions document for the current user level and operation phase; S_OK
    // with a null text when there is no table.
    HRESULT STDMETHODCALLTYPE GetFunctions(BSTR* body) noexcept override;
    // 8: a control registers under its invoke id (with the control) or leaves (without).
    HRESULT STDMETHODCALLTYPE ActiveXControlEvent(BSTR invokeId, IUnknown* control) noexcept override;
    HRESULT STDMETHODCALLTYPE BroadcastState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE BroadcastMessageVariant(VARIANT id, BSTR text,
                                                      VARIANT argument) noexcept override;
    HRESULT STDMETHODCALLTYPE BroadcastNotificationVariant(VARIANT code, VARIANT argument) noexcept override;
    HRESULT STDMETHODCALLTYPE CloseFunctionUi(BSTR invokeId, VARIANT_BOOL* result) noexcept override;
    // 13: asks the frame to open the function's user interface. A disabled function answers S_FALSE with
    // the result TRUE and the frame is not asked.
    HRESULT STDMETHODCALLTYPE OpenFunctionUi(ULONG functionId, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE SetFunctionEnabled(ULONG functionId, BOOL enabled) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowMessageVariant(BSTR text, BSTR title, VARIANT style,
                                                 ULONG* result) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowMessage(BSTR text, BSTR title, ULONG style,
                                          ULONG* result) noexcept override;
    HRESULT STDMETHODCALLTYPE OpenDocument(ULONG unused1, BSTR functionCall, ULONG unused2,
                                           VARIANT_BOOL* opened) noexcept override;
    HRESULT STDMETHODCALLTYPE FunctionsReserved18(ULONG unused, VARIANT_BOOL* result) noexcept override;
    HRESULT STDMETHODCALLTYPE FunctionsReserved19(ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG, ULONG,
                                                  ULONG, ULONG) noexcept override;
    HRESULT STDMETHODCALLTYPE FunctionsReserved20(ULONG, ULONG, ULONG, ULONG, ULONG, ULONG) noexcept override;
    // 21: a notification to every open control. A control that no longer answers does not stop the walk:
    // the others are still served, and the last failure is returned.
    HRESULT STDMETHODCALLTYPE BroadcastNotification(ULONG code, VARIANT argument) noexcept override;
    HRESULT STDMETHODCALLTYPE SetFunctionStatus(ULONG functionId, BOOL enabled, BOOL hidden, BOOL toggle,
                                                BOOL checked) noexcept override;
    HRESULT STDMETHODCALLTYPE BroadcastMessage(ULONG id, BSTR text, VARIANT argument) noexcept override;
    // 24 (internal): the translation of a function's attribute, else the text of `defaultText`.
    HRESULT STDMETHODCALLTYPE GetLocalizedFunctionText(LPCSTR defaultText, LONG functionId,
                                                       LPCSTR attributeName, BSTR* text) noexcept override;

private:
    class Texts final : public IFunctionTextSource {
    public:
        explicit Texts(CQuelkFunctions& owner) noexcept : owner_(owner) {}
        HRESULT GetFunctionText(LPCSTR defaultText, LONG functionId, LPCSTR attribute,
                                ql::Bstr& text) noexcept override;
        HRESULT GetReferenceText(LPCSTR reference, ql::Bstr& text) noexcept override;

    private:
        CQuelkFunctions& owner_;
    };

    // How one control of the register is served by a broadcast.
    using ControlCall = HRESULT (*)(IQuelkControl* control, void* context) noexcept;
    HRESULT Broadcast(ControlCall call, void* context) noexcept;

    HRESULT RegisterControl(BSTR invokeId, IUnknown* control) noexcept;
    HRESULT UnregisterControl(BSTR invokeId) noexcept;
    // Reads the function id of a control's function-call document (0 without one); S_FALSE refuses it.
    HRESULT ReadControlFunctionId(IQuelkControlInfo* info, ql::Bstr& functionCall, LONG& functionId) noexcept;
    // The lock step of a registration for a user interface whose record is `holdsLock`.
    void TakeDataSetLock(bool& holdsLock) noexcept;
    // Tells a newly registered control the state, (without IQuelkControlInfo) the schema folder and the
    // language.
    HRESULT GreetControl(IUnknown* control, bool hasControlInfo) noexcept;
    // Changes status bits of a row after asking the frame's events interface; SetFunctionEnabled and
    // SetFunctionStatus.
    HRESULT ChangeFunctionStatus(ULONG functionId, BYTE clear, BYTE set) noexcept;

    DtmHost& host_;
    CQuelkUiFunctionTable table_;
    CQuelkOpenUiList openUis_;
    CDataSetLock lock_;
    ULONG stateCopy_ = kStateConstructed;
    CQuelkUserMessage messages_;
    CQuelkActiveXInfo activeX_;
    Texts texts_{*this};
};
