#pragma once
// Registry scripts (.rgs text) run through the system's registrar component, the one that atl.dll serves on
// Windows and under Wine alike. Scripts see %MODULE% replaced by the module's path.
#include <unknwn.h>
#include <windows.h>

#include <string>

namespace ql {

// {44EC053A-400F-11D0-9DCD-00A0C90391D3}
inline constexpr CLSID kClsidRegistrar = {
    0x44ec053a, 0x400f, 0x11d0, {0x9d, 0xcd, 0x00, 0xa0, 0xc9, 0x03, 0x91, 0xd3}};
// {44EC053B-400F-11D0-9DCD-00A0C90391D3}
inline constexpr IID kIidRegistrar = {
    0x44ec053b, 0x400f, 0x11d0, {0x9d, 0xcd, 0x00, 0xa0, 0xc9, 0x03, 0x91, 0xd3}};

// The registrar's interface, in its vtable order (the replacement methods of its base interface first).
struct IRegistrar : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) = 0;
    virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR resourceFile, LPCOLESTR resourceId,
                                                         LPCOLESTR resourceType) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR resourceFile, LPCOLESTR resourceId,
                                                           LPCOLESTR resourceType) = 0;
    virtual HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR fileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR fileName) = 0;
    virtual HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR script) = 0;
    virtual HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR script) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR resourceFile, UINT resourceId,
                                                       LPCOLESTR resourceType) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR resourceFile, UINT resourceId,
                                                         LPCOLESTR resourceType) = 0;

protected:
    ~IRegistrar() = default;
};

// Runs the script resource `resourceId` of type "REGISTRY" in `modulePath` for registration or removal, with
// %MODULE% standing for `modulePath`. Needs COM initialised on the calling thread.
HRESULT RunRegistryScriptResource(const std::wstring& modulePath, UINT resourceId, bool doRegister) noexcept;
// The same for a script given as text.
HRESULT RunRegistryScriptText(const std::wstring& modulePath, const wchar_t* script,
                              bool doRegister) noexcept;

}  // namespace ql
