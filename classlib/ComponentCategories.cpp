#include "classlib/ComponentCategories.h"

#include <objbase.h>

#include <string>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/GuidText.h"
#include "classlib/HResult.h"
#include "classlib/RegKey.h"

namespace ql {

namespace {

// Deletes HKCR\CLSID\{clsid}\Implemented Categories when no category is left below it.
void DeleteEmptyCategoriesKey(REFCLSID clsid) {
    const std::wstring classKeyPath = L"CLSID\\" + GuidText(clsid);
    constexpr wchar_t kCategoriesKey[] = L"Implemented Categories";
    RegKey categories;
    if (FAILED(categories.Open(HKEY_CLASSES_ROOT, (classKeyPath + L"\\" + kCategoriesKey).c_str()))) return;
    DWORD subKeys = 0, values = 0;
    if (::RegQueryInfoKeyW(categories.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                           nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    categories.Reset();
    if (subKeys != 0) return;
    RegKey classKey;
    if (SUCCEEDED(classKey.Open(HKEY_CLASSES_ROOT, classKeyPath.c_str(), KEY_READ | KEY_WRITE)))
        ::RegDeleteKeyW(classKey.Get(), kCategoriesKey);
}

}  // namespace

HRESULT RegisterClassCategories(REFCLSID clsid, const CategoryMapEntry* map, bool doRegister) noexcept {
    return GuardComCall([&]() -> HRESULT {
        std::vector<CATID> implemented;
        for (const CategoryMapEntry* entry = map; entry && entry->catid; ++entry)
            implemented.push_back(*entry->catid);
        if (implemented.empty()) return S_OK;

        ComPtr<ICatRegister> registrar;
        QL_RETURN_IF_FAILED(::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_ICatRegister, registrar.PutVoid()));
        const ULONG count = static_cast<ULONG>(implemented.size());
        if (doRegister) return registrar->RegisterClassImplCategories(clsid, count, implemented.data());
        const HRESULT hr = registrar->UnRegisterClassImplCategories(clsid, count, implemented.data());
        DeleteEmptyCategoriesKey(clsid);
        return hr;
    });
}

}  // namespace ql
