#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vtest {

TempFolder::TempFolder() {
    static unsigned counter = 0;
    const std::wstring name =
        L"varnok-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path);
    path_ = path.wstring();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = File(name);
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(file.good());
    return path;
}

std::string TempFolder::Read(const std::wstring& name) const {
    std::ifstream file(std::filesystem::path(File(name)), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void TempFolder::CopyFrom(const std::wstring& folder, const std::vector<std::wstring>& names) const {
    for (const std::wstring& name : names) {
        std::error_code error;
        std::filesystem::copy_file(std::filesystem::path(folder) / name, std::filesystem::path(path_) / name,
                                   error);
        EXPECT_FALSE(error) << error.message();
    }
}

}  // namespace vtest
