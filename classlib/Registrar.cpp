#include "classlib/Registrar.h"

#include <objbase.h>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"

namespace ql {

namespace {

constexpr wchar_t kRegistryResourceType[] = L"REGISTRY";

// Scripts quote the module path as '%MODULE%'; a quote inside the path (C:\Users\O'Brien\...) would end the
// text early and corrupt the whole script, so it is doubled, which the registrar reads as one quote.
std::wstring QuotedForScript(const std::wstring& text) {
    std::wstring quoted;
    quoted.reserve(text.size());
    for (const wchar_t c : text) {
        quoted += c;
        if (c == L'\'') quoted += c;
    }
    return quoted;
}

HRESULT CreateRegistrar(const std::wstring& modulePath, ComPtr<IRegistrar>& out) {
    QL_RETURN_IF_FAILED(
        ::CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar, out.PutVoid()));
    return out->AddReplacement(L"MODULE", QuotedForScript(modulePath).c_str());
}

}  // namespace

HRESULT RunRegistryScriptResource(const std::wstring& modulePath, UINT resourceId, bool doRegister) noexcept {
    return GuardComCall([&]() -> HRESULT {
        ComPtr<IRegistrar> registrar;
        QL_RETURN_IF_FAILED(CreateRegistrar(modulePath, registrar));
        return doRegister
                   ? registrar->ResourceRegister(modulePath.c_str(), resourceId, kRegistryResourceType)
                   : registrar->ResourceUnregister(modulePath.c_str(), resourceId, kRegistryResourceType);
    });
}

HRESULT RunRegistryScriptText(const std::wstring& modulePath, const wchar_t* script,
                              bool doRegister) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, script == nullptr);
    return GuardComCall([&]() -> HRESULT {
        ComPtr<IRegistrar> registrar;
        QL_RETURN_IF_FAILED(CreateRegistrar(modulePath, registrar));
        return doRegister ? registrar->StringRegister(script) : registrar->StringUnregister(script);
    });
}

}  // namespace ql
