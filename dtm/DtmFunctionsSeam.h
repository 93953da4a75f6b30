#pragma once
// DtmFunctionsSeam: what the lifecycle and the dataset need of the functions and user-interface service
// (the register of open user interfaces, the broadcasts to them, the function table's enable flags). The
// DTM object's functions part implements it; until one is attached the DTM runs with this do-nothing
// default: no user interface is open, broadcasts reach nobody, enabling changes nothing.
//
// Called on the DTM object's apartment thread only; the DTM does not own the implementation.
#include <windows.h>
#include <oleauto.h>

class DtmFunctionsSeam {
public:
    virtual ~DtmFunctionsSeam() = default;

    // The new lifecycle state to every open user interface.
    virtual HRESULT BroadcastState(ULONG /*state*/) noexcept { return S_OK; }
    // A notification (code, data) to every open user interface; the first failure is returned.
    virtual HRESULT BroadcastNotification(ULONG /*code*/, const VARIANT& /*data*/) noexcept { return S_OK; }
    // A message (id, text, argument) to every open user interface.
    virtual HRESULT BroadcastMessage(ULONG /*id*/, BSTR /*text*/, const VARIANT& /*argument*/) noexcept {
        return S_OK;
    }
    // Switches a user-interface function of the function table on or off.
    virtual HRESULT SetFunctionEnabled(ULONG /*functionId*/, BOOL /*enabled*/) noexcept { return S_OK; }

    // The register of open user interfaces.
    virtual HRESULT GetOpenUiCount(ULONG* count) noexcept {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    // A new copy of the invoke id of the record at `index`; E_FAIL when the index is not below the count.
    virtual HRESULT GetOpenUiInvokeId(ULONG /*index*/, BSTR* invokeId) noexcept {
        if (!invokeId) return E_POINTER;
        *invokeId = nullptr;
        return E_FAIL;
    }
    // Asks the user interface registered under `invokeId` to close; it unregisters itself when it does.
    virtual HRESULT CloseFunctionUi(BSTR /*invokeId*/, VARIANT_BOOL* result) noexcept {
        if (!result) return E_POINTER;
        *result = VARIANT_FALSE;
        return S_FALSE;
    }
};
