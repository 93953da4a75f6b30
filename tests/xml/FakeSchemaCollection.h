#pragma once
// A schema collection that records what is added and answers as told, and a class factory that
// registers a test double in the test's apartment under an MSXML class id, so the handler creates it
// through its ordinary CoCreateInstance.
#include <windows.h>
#include <msxml2.h>

#include <map>
#include <string>
#include <vector>

namespace xmltest {

class FakeSchemaCollection final : public IXMLDOMSchemaCollection {
public:
    struct AddCall {
        std::wstring schemaNamespace;
        std::wstring location;
        VARTYPE locationType;
    };

    std::vector<AddCall> adds;
    // What add answers for a location; every other location answers `defaultAnswer`.
    std::map<std::wstring, HRESULT> answers;
    HRESULT defaultAnswer = S_OK;
    ULONG refs = 1;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    // IDispatch: not used by the handler
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    // IXMLDOMSchemaCollection
    HRESULT STDMETHODCALLTYPE add(BSTR uri, VARIANT var) override;
    HRESULT STDMETHODCALLTYPE get(BSTR, IXMLDOMNode**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE remove(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_length(LONG* length) override;
    HRESULT STDMETHODCALLTYPE get_namespaceURI(LONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE addCollection(IXMLDOMSchemaCollection*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown**) override { return E_NOTIMPL; }
};

// Hands out `instance`, or fails as told. Registered for the lifetime of the object.
class FakeClassFactory final : public IClassFactory {
public:
    FakeClassFactory(REFCLSID classId, IUnknown* instance);
    ~FakeClassFactory();
    FakeClassFactory(const FakeClassFactory&) = delete;
    FakeClassFactory& operator=(const FakeClassFactory&) = delete;

    // CreateInstance answers this; with a success code it hands out `instance` unless `giveNothing`.
    HRESULT createResult = S_OK;
    bool giveNothing = false;
    int requests = 0;
    int instancesMade = 0;
    ULONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* instance_;
    DWORD cookie_ = 0;
};

}  // namespace xmltest
