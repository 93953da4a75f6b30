#pragma once
// The files the server reads and writes: documents (load, save) and schema files (the schema collection's
// add, and the "x-schema:" names a document uses). Only local files: a location of any other URL scheme is
// never fetched, so a document cannot make the server reach into a network.
#include <windows.h>

#include <string>
#include <string_view>

namespace msxml_standin {

class ResourceFile {
public:
    // The file path of a location: a path, or a file: URL. A relative path is taken relative to `baseFolder`
    // (empty: the current directory). False for a location with another scheme.
    static bool ResolvePath(std::wstring_view location, std::wstring_view baseFolder, std::wstring& path);
    // True for a UNC path (\\server\share\...), which would reach into the network.
    static bool IsNetworkPath(std::wstring_view path);
    // The folder part of a file path, with its trailing separator; empty when the path names none.
    static std::wstring FolderOf(std::wstring_view path);

    // Reads at most `limit` bytes (a longer file gives `limit` bytes, for the caller's size check).
    // A missing file answers INET_E_OBJECT_NOT_FOUND (0x800C0006), as MSXML reports a resource it cannot
    // find.
    static HRESULT ReadBytes(const std::wstring& path, size_t limit, std::string& bytes) noexcept;
    // Creates or truncates the file and writes `bytes`.
    static HRESULT WriteBytes(const std::wstring& path, const std::string& bytes) noexcept;
};

}  // namespace msxml_standin
