#pragma once
// ql::FileStamp: what tells one state of a file from another without reading it (its size, and the times
// it was created and last written), for caches that must notice a file changed on disk. One attribute
// query, no open: far cheaper than reading the file, and possible while someone else holds it.
#include <windows.h>

#include <string>
#include <string_view>

namespace ql {

struct FileStamp {
    ULONGLONG size = 0;
    ULONGLONG created = 0;
    ULONGLONG written = 0;

    bool operator==(const FileStamp& other) const noexcept {
        return size == other.size && created == other.created && written == other.written;
    }
    bool operator!=(const FileStamp& other) const noexcept { return !(*this == other); }
};

// The stamp of the regular file at `path`; false when there is none (no such file, a folder, a path the
// file system does not take).
bool ReadFileStamp(const wchar_t* path, FileStamp& stamp) noexcept;

// Whether two full paths name the same file as the file system compares names: ordinally, ignoring case
// (which maps each UTF-16 unit to one, so paths of different lengths never match).
bool SamePath(std::wstring_view a, std::wstring_view b) noexcept;

// `path` as an absolute path (GetFullPathName), so that a relative path is taken against the current
// folder of the moment; false when it has none. May throw bad_alloc.
bool FullPathOf(const wchar_t* path, std::wstring& full);

}  // namespace ql
