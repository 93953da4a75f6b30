#pragma once
// The IDispatch half of a stand-in's dual interfaces. The system calls every member through its vtable, so
// late binding is not offered: no type information, and names and calls through IDispatch answer E_NOTIMPL.
#include <windows.h>

#include <oaidl.h>

#include "classlib/HResult.h"

namespace standins {

template <class DualInterface>
class DispatchStub : public DualInterface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
        QL_RETURN_IF_NULL_OUT(count);
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept override {
        QL_RETURN_IF_NULL_OUT(out);
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }
};

}  // namespace standins
