#pragma once
// The frame application's container as a control meets it: it names the schema folder. Counts its
// references so tests can prove the control's container reference is balanced.
#include <windows.h>

#include <string>

#include "FdtInterfaces.h"

namespace xmltest {

class FakeFrameContainer final : public IFrameContainer {
public:
    explicit FakeFrameContainer(std::wstring folder) : folder_(std::move(folder)) {}

    // GetSchemaFolder answers this; on success with a copy of the folder.
    HRESULT folderResult = S_OK;
    int folderRequests = 0;
    ULONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    // Only the folder is asked for; anything else fails the test.
    HRESULT STDMETHODCALLTYPE SetDirtyFlag(BSTR, VARIANT_BOOL*) override;
    HRESULT STDMETHODCALLTYPE LockDataSet(BSTR, VARIANT_BOOL*) override;
    HRESULT STDMETHODCALLTYPE UnlockDataSet(BSTR, VARIANT_BOOL*) override;
    HRESULT STDMETHODCALLTYPE GetSchemaFolder(BSTR* folder) override;

private:
    std::wstring folder_;
};

// A frame object that is no container.
class PlainUnknown final : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

}  // namespace xmltest
