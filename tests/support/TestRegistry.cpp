#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/HResultText.h"

namespace vtest {

bool RegistryKeyExists(HKEY root, const std::wstring& path) {
    ql::RegKey key;
    return SUCCEEDED(key.Open(root, path.c_str()));
}

std::wstring RegistryString(HKEY root, const std::wstring& path, const wchar_t* name) {
    ql::RegKey key;
    std::wstring value;
    if (FAILED(key.Open(root, path.c_str())) || FAILED(key.QueryString(name, value))) return L"<missing>";
    return value;
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, std::wstring path, int emptyParents)
    : root_(root), path_(std::move(path)), emptyParents_(emptyParents) {
    Remove();
}

ql::RegKey ScopedRegistryKey::Create() const {
    ql::RegKey key;
    EXPECT_EQ(S_OK, key.Create(root_, path_.c_str()));
    return key;
}

void ScopedRegistryKey::Remove() const {
    ::RegDeleteTreeW(root_, path_.c_str());
    ::RegDeleteKeyW(root_, path_.c_str());
    std::wstring parent = path_;
    for (int level = 0; level < emptyParents_; ++level) {
        const size_t separator = parent.rfind(L'\\');
        if (separator == std::wstring::npos) break;
        parent.resize(separator);
        ::RegDeleteKeyW(root_, parent.c_str());  // refused while anything is left below it
    }
}

// A key name of this process's own: test programs of one prefix share HKEY_CURRENT_USER and run side by side.
FilesFolderOverride::FilesFolderOverride(DWORD type, const void* data, DWORD bytes)
    : machinePath_(L"Software\\VarnokP3 Tests\\Machine " + std::to_wstring(::GetCurrentProcessId())) {
    Redirect(type, data, bytes);
}

FilesFolderOverride::FilesFolderOverride(const wchar_t* folder)
    : FilesFolderOverride(folder ? REG_SZ : REG_NONE, folder,
                          folder ? static_cast<DWORD>((wcslen(folder) + 1) * sizeof(wchar_t)) : 0) {}

void FilesFolderOverride::Redirect(DWORD type, const void* data, DWORD bytes) {
    (void)::RegDeleteTreeW(HKEY_CURRENT_USER, machinePath_.c_str());
    EXPECT_HR(S_OK, machine_.Create(HKEY_CURRENT_USER, machinePath_.c_str(), KEY_ALL_ACCESS));
    if (data) {
        ql::RegKey files;
        EXPECT_HR(S_OK, files.Create(machine_.Get(), L"Software\\Orvo\\VarnokP3 DTM\\Files"));
        EXPECT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(files.Get(), nullptr, 0, type, static_cast<const BYTE*>(data), bytes));
    }
    EXPECT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.Get()));
}

FilesFolderOverride::~FilesFolderOverride() {
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    machine_.Reset();
    (void)::RegDeleteTreeW(HKEY_CURRENT_USER, machinePath_.c_str());
}

}  // namespace vtest
