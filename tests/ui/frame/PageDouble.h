#pragma once
// A property page of the test's own in the place of one of the window's page classes: the test registers a
// class object for the class id in its apartment (CoCreateInstance finds it before the registry), so the
// window creates this page, or fails to, as the test decides. The page reports what the test sets (title,
// size, help file, dirty state, Apply's answer) and records what the window does with it; its counted
// references prove that the window gave it back.
#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/WindowOwner.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestObjects.h"

namespace frametest {

inline LPOLESTR TaskMemoryCopy(const std::wstring& text) {
    if (text.empty()) return nullptr;
    auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (copy) ::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return copy;
}

class PageDouble final : public vtest::CountedObject<IPropertyPage> {
public:
    PageDouble() : CountedObject({IID_IPropertyPage}) {}

    std::wstring title;
    std::wstring helpFile;
    SIZE size{300, 200};
    bool dirty = false;
    HRESULT applyResult = S_OK;
    int applies = 0;
    HRESULT keyAnswer = S_OK;
    std::vector<WPARAM> keys;
    std::vector<std::string> calls;
    ql::ComPtr<IPropertyPageSite> site;
    std::vector<ql::ComPtr<IUnknown>> objects;
    ql::WindowOwner window;

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* newSite) override {
        calls.push_back(newSite ? "SetPageSite" : "SetPageSite(null)");
        site = ql::ComPtr<IPropertyPageSite>(newSite);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL) override {
        calls.push_back("Activate");
        window.Attach(::CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", title.c_str(), WS_CHILD, rect->left,
                                        rect->top, rect->right - rect->left, rect->bottom - rect->top, parent,
                                        nullptr, nullptr, nullptr));
        return window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE Deactivate() override {
        calls.push_back("Deactivate");
        window.Reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override {
        info->cb = sizeof(*info);
        info->pszTitle = TaskMemoryCopy(title);
        info->size = size;
        info->pszDocString = nullptr;
        info->pszHelpFile = TaskMemoryCopy(helpFile);
        info->dwHelpContext = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** given) override {
        calls.push_back(count ? "SetObjects" : "SetObjects(0)");
        objects.clear();
        for (ULONG i = 0; i < count; ++i) objects.emplace_back(given[i]);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Show(UINT command) override {
        calls.push_back(command == SW_HIDE ? "Show(hide)" : "Show");
        ::ShowWindow(window.Get(), static_cast<int>(command));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return dirty ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override {
        ++applies;
        if (applyResult == S_OK) dirty = false;
        return applyResult;
    }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    // Keys the window offers the page, as the key codes pressed.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override {
        if (message->message != WM_KEYDOWN) return S_FALSE;
        keys.push_back(message->wParam);
        return keyAnswer;
    }

    bool Shown() const { return window && ::IsWindowVisible(window.Get()); }
};

// The class object that hands out the double, or refuses to create anything, while it is registered.
class PageClass final : public vtest::CountedObject<IClassFactory> {
public:
    PageClass(REFCLSID classId, PageDouble* page) : CountedObject({IID_IClassFactory}), page_(page) {
        EXPECT_HR(S_OK,
                  ::CoRegisterClassObject(classId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~PageClass() { EXPECT_HR(S_OK, ::CoRevokeClassObject(cookie_)); }
    PageClass(const PageClass&) = delete;
    PageClass& operator=(const PageClass&) = delete;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        *out = nullptr;
        return page_ ? page_->QueryInterface(iid, out) : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    PageDouble* page_;  // null: creation fails
    DWORD cookie_ = 0;
};

}  // namespace frametest
