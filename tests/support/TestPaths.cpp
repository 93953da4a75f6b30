#include "tests/support/TestPaths.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "classlib/Utf8.h"

namespace vtest {

std::wstring WindowsPath(std::string_view path) {
    std::wstring windows = ql::WideFromUtf8(std::string(path));
    if (!windows.empty() && windows[0] == L'/') windows = L"Z:" + windows;
    for (wchar_t& c : windows) {
        if (c == L'/') c = L'\\';
    }
    while (windows.size() > 3 && windows.back() == L'\\') windows.pop_back();
    return windows;
}

std::wstring SourcePath(std::string_view relative) {
    return WindowsPath(std::string(VARNOK_SOURCE_DIR) + "/" + std::string(relative));
}

std::wstring SchemasFolder() { return SourcePath("data/schemas"); }

std::string SourceFileBytes(std::string_view relative) {
    std::ifstream file(std::string(VARNOK_SOURCE_DIR) + "/" + std::string(relative), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::wstring FileBesideProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + name;
}

}  // namespace vtest
