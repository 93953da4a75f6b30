#include "classlib/FileStamp.h"

namespace ql {

namespace {

ULONGLONG Join(DWORD high, DWORD low) noexcept { return (static_cast<ULONGLONG>(high) << 32) | low; }

}  // namespace

bool ReadFileStamp(const wchar_t* path, FileStamp& stamp) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!path || !::GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    stamp.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.created = Join(data.ftCreationTime.dwHighDateTime, data.ftCreationTime.dwLowDateTime);
    stamp.written = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool SamePath(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

bool FullPathOf(const wchar_t* path, std::wstring& full) {
    full.clear();
    if (!path || !*path) return false;
    DWORD needed = ::GetFullPathNameW(path, 0, nullptr, nullptr);
    while (needed != 0) {
        full.resize(needed);
        const DWORD written = ::GetFullPathNameW(path, needed, &full[0], nullptr);
        if (written == 0) break;
        if (written < needed) {
            full.resize(written);
            return true;
        }
        needed = written;  // the current folder changed in between: once more with the new size
    }
    full.clear();
    return false;
}

}  // namespace ql
