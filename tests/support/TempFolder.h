#pragma once
// A folder of the test's own in the temporary folder, removed with everything in it when the owner goes.
#include <string>
#include <vector>

namespace vtest {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    // Writes `bytes` as the file `name` and answers its path.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;
    std::string Read(const std::wstring& name) const;
    // Copies the named files of `folder` in.
    void CopyFrom(const std::wstring& folder, const std::vector<std::wstring>& names) const;

private:
    std::wstring path_;
};

}  // namespace vtest
