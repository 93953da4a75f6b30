#include "FakeFrameContainer.h"

#include <gtest/gtest.h>

#include "classlib/Bstr.h"

namespace xmltest {

HRESULT FakeFrameContainer::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IFrameContainer) return E_NOINTERFACE;
    *out = static_cast<IFrameContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT FakeFrameContainer::SetDirtyFlag(BSTR, VARIANT_BOOL*) {
    ADD_FAILURE() << "unexpected IFrameContainer::SetDirtyFlag";
    return E_NOTIMPL;
}

HRESULT FakeFrameContainer::LockDataSet(BSTR, VARIANT_BOOL*) {
    ADD_FAILURE() << "unexpected IFrameContainer::LockDataSet";
    return E_NOTIMPL;
}

HRESULT FakeFrameContainer::UnlockDataSet(BSTR, VARIANT_BOOL*) {
    ADD_FAILURE() << "unexpected IFrameContainer::UnlockDataSet";
    return E_NOTIMPL;
}

HRESULT FakeFrameContainer::GetSchemaFolder(BSTR* folder) {
    ++folderRequests;
    if (!folder) return E_POINTER;
    *folder = nullptr;
    if (FAILED(folderResult)) return folderResult;
    *folder = ql::Bstr(folder_.c_str()).Detach();
    return folderResult;
}

HRESULT PlainUnknown::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown) return E_NOINTERFACE;
    *out = this;
    AddRef();
    return S_OK;
}

}  // namespace xmltest
