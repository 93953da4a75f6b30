#pragma once
// The registry in tests: reads that say what is missing, and keys of the test's own.
#include <windows.h>

#include <string>

#include "classlib/RegKey.h"

namespace vtest {

bool RegistryKeyExists(HKEY root, const std::wstring& path);
// A string value (`name` null: the default value), or "<missing>" when the key or the value is absent.
std::wstring RegistryString(HKEY root, const std::wstring& path, const wchar_t* name = nullptr);

// A key of the test's own: removed with everything below it when the owner is made and again when it goes,
// so every test starts and ends without it. Parents that only the test made can go too.
class ScopedRegistryKey {
public:
    // `emptyParents`: how many levels above the key are removed as well once nothing is left in them.
    ScopedRegistryKey(HKEY root, std::wstring path, int emptyParents = 0);
    ~ScopedRegistryKey() { Remove(); }
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

    // The key, created when absent, open for writing.
    ql::RegKey Create() const;
    bool Exists() const { return RegistryKeyExists(root_, path_); }
    void Remove() const;

private:
    HKEY root_;
    std::wstring path_;
    int emptyParents_;
};

// The DTM's files folder as this process sees it: HKEY_LOCAL_MACHINE is redirected, for this process only, to
// a key of the test's own below HKEY_CURRENT_USER that holds only "Software\Orvo\VarnokP3 DTM\Files" with the
// given default value (no value at all for a null folder). Undone, and the key removed, when it goes.
class FilesFolderOverride {
public:
    FilesFolderOverride(DWORD type, const void* data, DWORD bytes);
    explicit FilesFolderOverride(const wchar_t* folder);
    explicit FilesFolderOverride(const std::wstring& folder) : FilesFolderOverride(folder.c_str()) {}
    ~FilesFolderOverride();
    FilesFolderOverride(const FilesFolderOverride&) = delete;
    FilesFolderOverride& operator=(const FilesFolderOverride&) = delete;

private:
    void Redirect(DWORD type, const void* data, DWORD bytes);

    std::wstring machinePath_;
    ql::RegKey machine_;
};

}  // namespace vtest
