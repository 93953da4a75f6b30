#pragma once
// DtmFunctionsSeam: the functions part (CQuelkFunctions) as the lifecycle sees it: the register of open
// user interfaces, the broadcasts to them and the function table's enable flags. The functions part
// implements it with the very methods of IQuelkFunctions it shares (hence their COM calling convention);
// the lifecycle tests stand a recording double in its place (CQuelkDtm::AttachFunctions).
//
// Called on the DTM object's apartment thread only; the lifecycle does not own the implementation.
#include <windows.h>
#include <oleauto.h>

class DtmFunctionsSeam {
public:
    // The new lifecycle state to every open user interface.
    virtual HRESULT STDMETHODCALLTYPE BroadcastState(ULONG state) noexcept = 0;
    // A notification (code, data) to every open user interface (the data is the caller's; each user
    // interface gets its own copy).
    virtual HRESULT STDMETHODCALLTYPE BroadcastNotification(ULONG code, VARIANT data) noexcept = 0;
    // A message (id, text, argument) to every open user interface.
    virtual HRESULT STDMETHODCALLTYPE BroadcastMessage(ULONG id, BSTR text, VARIANT argument) noexcept = 0;
    // Switches a user-interface function of the function table on or off.
    virtual HRESULT STDMETHODCALLTYPE SetFunctionEnabled(ULONG functionId, BOOL enabled) noexcept = 0;
    // Asks the user interface registered under `invokeId` to close; it unregisters itself when it does.
    virtual HRESULT STDMETHODCALLTYPE CloseFunctionUi(BSTR invokeId, VARIANT_BOOL* result) noexcept = 0;

    // The register of open user interfaces: their number, and a new copy of the invoke id of the record at
    // `index` (E_FAIL when the index is not below the count).
    virtual HRESULT GetOpenUiCount(ULONG* count) noexcept = 0;
    virtual HRESULT GetOpenUiInvokeId(ULONG index, BSTR* invokeId) noexcept = 0;

protected:
    ~DtmFunctionsSeam() = default;
};
