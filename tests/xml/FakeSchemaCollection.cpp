#include "FakeSchemaCollection.h"

#include <gtest/gtest.h>

namespace xmltest {

HRESULT FakeSchemaCollection::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IXMLDOMSchemaCollection) {
        return E_NOINTERFACE;
    }
    *out = static_cast<IXMLDOMSchemaCollection*>(this);
    AddRef();
    return S_OK;
}

HRESULT FakeSchemaCollection::add(BSTR uri, VARIANT var) {
    const std::wstring location = (var.vt == VT_BSTR && var.bstrVal) ? var.bstrVal : L"";
    adds.push_back({uri ? uri : L"", location, var.vt});
    const auto answer = answers.find(location);
    return answer == answers.end() ? defaultAnswer : answer->second;
}

HRESULT FakeSchemaCollection::get_length(LONG* length) {
    if (!length) return E_POINTER;
    *length = static_cast<LONG>(adds.size());
    return S_OK;
}

FakeClassFactory::FakeClassFactory(REFCLSID classId, IUnknown* instance) : instance_(instance) {
    EXPECT_EQ(S_OK,
              ::CoRegisterClassObject(classId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
}

FakeClassFactory::~FakeClassFactory() {
    if (cookie_) ::CoRevokeClassObject(cookie_);
}

HRESULT FakeClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

HRESULT FakeClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    ++requests;
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (FAILED(createResult) || giveNothing || !instance_) return createResult;
    ++instancesMade;
    return instance_->QueryInterface(iid, out);
}

}  // namespace xmltest
