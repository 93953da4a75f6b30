#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

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

}  // namespace vtest
