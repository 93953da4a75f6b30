#pragma once
// CProjectFile: the frame's project storage for one DTM instance, a file holding the DTM's stream image
// (what IPersistStreamInit::Save writes). Saving goes through a stream over a temporary file beside the
// project, which replaces the project only when the DTM reported the image complete: a failed save never
// leaves a damaged project behind.
#include <windows.h>
#include <objidl.h>

#include <string>

class CProjectFile {
public:
    explicit CProjectFile(std::wstring path) : path_(std::move(path)) {}

    const std::wstring& Path() const noexcept { return path_; }

    // IPersistStreamInit::Save of `dtm` (asked for that interface) into the project; its answer is
    // returned (S_FALSE: the DTM refused, the project is unchanged).
    HRESULT Save(IUnknown* dtm) const noexcept;
    // IPersistStreamInit::Load of `dtm` from the project; its answer is returned.
    HRESULT Load(IUnknown* dtm) const noexcept;
    // The project's bytes (empty when there is no project).
    HRESULT ReadBytes(std::string& bytes) const noexcept;

private:
    std::wstring path_;
};
