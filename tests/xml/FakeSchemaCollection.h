#pragma once
// A schema collection that records what is added and answers as told, and a class factory that registers
// a test double in the test's apartment under an MSXML class id, so the handler creates it through its
// ordinary CoCreateInstance.
#include <windows.h>
#include <msxml2.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/TestObjects.h"
#include "tests/support/TestVariants.h"

namespace xmltest {

class FakeSchemaCollection final : public vtest::CountedDispatch<IXMLDOMSchemaCollection> {
public:
    FakeSchemaCollection() : CountedDispatch({IID_IDispatch, IID_IXMLDOMSchemaCollection}) {}

    struct AddCall {
        std::wstring schemaNamespace;
        std::wstring location;
        VARTYPE locationType;
    };
    std::vector<AddCall> adds;
    // What add answers for a location; every other location answers `defaultAnswer`.
    std::map<std::wstring, HRESULT> answers;
    HRESULT defaultAnswer = S_OK;

    HRESULT STDMETHODCALLTYPE add(BSTR uri, VARIANT var) override {
        const std::wstring location = var.vt == VT_BSTR ? vtest::StringOf(var.bstrVal) : L"";
        adds.push_back({vtest::StringOf(uri), location, var.vt});
        const auto answer = answers.find(location);
        return answer == answers.end() ? defaultAnswer : answer->second;
    }
    HRESULT STDMETHODCALLTYPE get_length(LONG* length) override {
        *length = static_cast<LONG>(adds.size());
        return S_OK;
    }
    VARNOK_UNEXPECTED_CALL(get, BSTR, IXMLDOMNode**)
    VARNOK_UNEXPECTED_CALL(remove, BSTR)
    VARNOK_UNEXPECTED_CALL(get_namespaceURI, LONG, BSTR*)
    VARNOK_UNEXPECTED_CALL(addCollection, IXMLDOMSchemaCollection*)
    VARNOK_UNEXPECTED_CALL(get__newEnum, IUnknown**)
};

// Hands out `instance`, or fails as told. Registered for the lifetime of the object.
class FakeClassFactory final : public vtest::CountedObject<IClassFactory> {
public:
    FakeClassFactory(REFCLSID classId, IUnknown* instance)
        : CountedObject({IID_IClassFactory}), instance_(instance) {
        EXPECT_EQ(S_OK,
                  ::CoRegisterClassObject(classId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~FakeClassFactory() {
        if (cookie_) ::CoRevokeClassObject(cookie_);
    }
    FakeClassFactory(const FakeClassFactory&) = delete;
    FakeClassFactory& operator=(const FakeClassFactory&) = delete;

    // CreateInstance answers this; with a success code it hands out `instance` unless `giveNothing`.
    HRESULT createResult = S_OK;
    bool giveNothing = false;
    int requests = 0;
    int instancesMade = 0;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        ++requests;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (FAILED(createResult) || giveNothing || !instance_) return createResult;
        ++instancesMade;
        return instance_->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* instance_;
    DWORD cookie_ = 0;
};

}  // namespace xmltest
