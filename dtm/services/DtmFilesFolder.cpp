#include "dtm/services/DtmFilesFolder.h"

#include <new>

#include "classlib/RegKey.h"

namespace {

constexpr wchar_t kFilesKey[] = L"Software\\Orvo\\VarnokP3 DTM\\Files";
constexpr wchar_t kBuiltInFolder[] = L"C:\\Base\\Orvo\\htm";

}  // namespace

HRESULT GetDtmFilesFolder(std::wstring& folder) noexcept {
    try {
        folder.clear();
        ql::RegKey key;
        if (SUCCEEDED(key.Open(HKEY_LOCAL_MACHINE, kFilesKey, KEY_READ))) {
            // A value of the wrong type counts as missing, like an absent one.
            (void)key.QueryString(nullptr, folder);
        }
        if (folder.empty()) folder = kBuiltInFolder;
        if (folder.back() != L'\\') folder.push_back(L'\\');
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
