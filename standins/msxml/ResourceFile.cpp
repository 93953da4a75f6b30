#include "standins/msxml/ResourceFile.h"

#include <filesystem>
#include <fstream>

#include "classlib/HResult.h"
#include "standins/msxml/core/ErrorCodes.h"

namespace msxml_standin {

namespace {

constexpr std::wstring_view kFileScheme = L"file:";

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// "name:" with a name of two or more characters; a single letter is a drive.
size_t SchemeLength(std::wstring_view location) {
    size_t i = 0;
    while (i < location.size() &&
           (IsAsciiLetter(location[i]) ||
            (i > 0 && (location[i] == L'+' || location[i] == L'-' || location[i] == L'.'))))
        ++i;
    return (i >= 2 && i < location.size() && location[i] == L':') ? i + 1 : 0;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// file:///C:/dir/a%20b.xml -> C:/dir/a b.xml; file://server/share/x -> //server/share/x. Escapes are taken as
// single bytes of the ANSI range, which covers what a schema folder holds.
std::wstring PathFromFileUrl(std::wstring_view url) {
    std::wstring_view rest = url.substr(kFileScheme.size());
    if (rest.substr(0, 3) == L"///")
        rest.remove_prefix(3);
    else if (rest.substr(0, 2) == L"//" && rest.size() > 3 && rest[3] == L':')
        rest.remove_prefix(2);  // file://C:/dir
    std::wstring path;
    path.reserve(rest.size());
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == L'%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
            HexValue(rest[i + 2]) >= 0) {
            path.push_back(static_cast<wchar_t>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2])));
            i += 2;
        } else {
            path.push_back(rest[i]);
        }
    }
    return path;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Rooted: a drive ("C:..."), a UNC or root-relative path ("\\..." or "/...").
bool IsRooted(std::wstring_view path) {
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && IsSeparator(path[0]));
}

}  // namespace

bool ResourceFile::ResolvePath(std::wstring_view location, std::wstring_view baseFolder, std::wstring& path) {
    path.clear();
    std::wstring local;
    const size_t scheme = SchemeLength(location);
    if (scheme != 0) {
        if (::CompareStringOrdinal(location.data(), static_cast<int>(scheme), kFileScheme.data(),
                                   static_cast<int>(kFileScheme.size()), TRUE) != CSTR_EQUAL)
            return false;
        local = PathFromFileUrl(location);
    } else {
        local.assign(location);
    }
    if (local.empty()) return false;
    if (IsRooted(local) || baseFolder.empty()) {
        path = std::move(local);
    } else {
        path.assign(baseFolder);
        if (!IsSeparator(path.back())) path.push_back(L'\\');
        path.append(local);
    }
    return true;
}

bool ResourceFile::IsNetworkPath(std::wstring_view path) {
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::wstring ResourceFile::FolderOf(std::wstring_view path) {
    const size_t last = path.find_last_of(L"\\/");
    return last == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, last + 1));
}

HRESULT ResourceFile::ReadBytes(const std::wstring& path, size_t limit, std::string& bytes) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        bytes.clear();
        WIN32_FILE_ATTRIBUTE_DATA attributes = {};
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH)
                return static_cast<HRESULT>(msxml_core::codes::kObjectNotFound);
            return HRESULT_FROM_WIN32(error);
        }
        if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return static_cast<HRESULT>(msxml_core::codes::kObjectNotFound);
        const ULONGLONG size =
            (static_cast<ULONGLONG>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        if (!file) return E_ACCESSDENIED;
        bytes.resize(static_cast<size_t>(size < limit ? size : limit));
        file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<size_t>(file.gcount()));
        return file.bad() ? E_FAIL : S_OK;
    });
}

HRESULT ResourceFile::WriteBytes(const std::wstring& path, const std::string& bytes) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
        if (!file) return E_ACCESSDENIED;
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        return file.fail() ? E_FAIL : S_OK;
    });
}

}  // namespace msxml_standin
