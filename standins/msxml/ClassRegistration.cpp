#include "standins/msxml/ClassRegistration.h"

#include <string>

#include "classlib/ComModule.h"
#include "classlib/HResult.h"
#include "classlib/RegKey.h"

namespace msxml_standin {

namespace {

constexpr wchar_t kInprocServer[] = L"InprocServer32";
constexpr wchar_t kThreadingModel[] = L"ThreadingModel";
constexpr wchar_t kThreadingBoth[] = L"Both";
// Values beside InprocServer32's own that remember the registration this module replaced.
constexpr wchar_t kReplacedServer[] = L"VarnokReplacedServer";
constexpr wchar_t kReplacedThreadingModel[] = L"VarnokReplacedThreadingModel";

std::wstring ClassKeyPath(const CLSID& clsid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
    return std::wstring(L"CLSID\\") + text;
}

HRESULT SetString(const ql::RegKey& key, const wchar_t* name, const std::wstring& value) noexcept {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    const LONG status =
        ::RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
    return HRESULT_FROM_WIN32(status);
}

void DeleteValue(const ql::RegKey& key, const wchar_t* name) noexcept {
    (void)::RegDeleteValueW(key.Get(), name);
}

bool SamePath(const std::wstring& a, const std::wstring& b) noexcept {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool HasSubKeys(const ql::RegKey& key) noexcept {
    DWORD subKeys = 0;
    return ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                              nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys != 0;
}

HRESULT Register(const std::wstring& classPath, const wchar_t* description, const std::wstring& modulePath) {
    ql::RegKey classKey;
    QL_RETURN_IF_FAILED(classKey.Create(HKEY_CLASSES_ROOT, classPath.c_str()));
    std::wstring existingDescription;
    if (FAILED(classKey.QueryString(nullptr, existingDescription)))
        QL_RETURN_IF_FAILED(SetString(classKey, nullptr, description));

    ql::RegKey serverKey;
    QL_RETURN_IF_FAILED(serverKey.Create(classKey.Get(), kInprocServer));
    std::wstring previousServer;
    if (SUCCEEDED(serverKey.QueryString(nullptr, previousServer)) && !previousServer.empty() &&
        !SamePath(previousServer, modulePath)) {
        std::wstring previousThreading;
        (void)serverKey.QueryString(kThreadingModel, previousThreading);
        QL_RETURN_IF_FAILED(SetString(serverKey, kReplacedServer, previousServer));
        QL_RETURN_IF_FAILED(SetString(serverKey, kReplacedThreadingModel, previousThreading));
    }
    QL_RETURN_IF_FAILED(SetString(serverKey, nullptr, modulePath));
    return SetString(serverKey, kThreadingModel, kThreadingBoth);
}

HRESULT Unregister(const std::wstring& classPath, const std::wstring& modulePath) {
    ql::RegKey classKey;
    if (FAILED(classKey.Open(HKEY_CLASSES_ROOT, classPath.c_str(), KEY_READ | KEY_WRITE))) return S_OK;
    ql::RegKey serverKey;
    if (FAILED(serverKey.Open(classKey.Get(), kInprocServer, KEY_READ | KEY_WRITE))) return S_OK;
    std::wstring currentServer;
    if (FAILED(serverKey.QueryString(nullptr, currentServer)) || !SamePath(currentServer, modulePath))
        return S_OK;

    std::wstring replacedServer;
    if (SUCCEEDED(serverKey.QueryString(kReplacedServer, replacedServer)) && !replacedServer.empty()) {
        std::wstring replacedThreading;
        (void)serverKey.QueryString(kReplacedThreadingModel, replacedThreading);
        QL_RETURN_IF_FAILED(SetString(serverKey, nullptr, replacedServer));
        if (replacedThreading.empty())
            DeleteValue(serverKey, kThreadingModel);
        else
            QL_RETURN_IF_FAILED(SetString(serverKey, kThreadingModel, replacedThreading));
        DeleteValue(serverKey, kReplacedServer);
        DeleteValue(serverKey, kReplacedThreadingModel);
        return S_OK;
    }
    serverKey.Reset();
    (void)::RegDeleteKeyW(classKey.Get(), kInprocServer);
    // A class key that holds nothing else was made by Register alone.
    if (!HasSubKeys(classKey)) {
        classKey.Reset();
        (void)::RegDeleteKeyW(HKEY_CLASSES_ROOT, classPath.c_str());
    }
    return S_OK;
}

}  // namespace

HRESULT UpdateInprocServerRegistration(const CLSID& clsid, const wchar_t* description,
                                       bool doRegister) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        const std::wstring classPath = ClassKeyPath(clsid);
        const std::wstring modulePath = ql::ComModule::Instance().ModulePath();
        QL_RETURN_HR_IF(E_UNEXPECTED, modulePath.empty());
        return doRegister ? Register(classPath, description, modulePath) : Unregister(classPath, modulePath);
    });
}

}  // namespace msxml_standin
