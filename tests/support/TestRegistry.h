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

}  // namespace vtest
