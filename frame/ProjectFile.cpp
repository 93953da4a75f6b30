#include "frame/ProjectFile.h"

#include <ocidl.h>
#include <shlwapi.h>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"

namespace {

HRESULT OpenFileStream(const std::wstring& path, DWORD mode, ql::ComPtr<IStream>& stream) noexcept {
    const bool create = (mode & STGM_CREATE) != 0;
    return ::SHCreateStreamOnFileEx(path.c_str(), mode, FILE_ATTRIBUTE_NORMAL, create ? TRUE : FALSE, nullptr,
                                    stream.Put());
}

}  // namespace

HRESULT CProjectFile::Save(IUnknown* dtm) const noexcept {
    QL_RETURN_IF_NULL_OUT(dtm);
    ql::ComPtr<IPersistStreamInit> persist;
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
    return ql::GuardComCall([&]() -> HRESULT {
        const std::wstring temporary = path_ + L".saving";
        HRESULT saved = E_FAIL;
        {
            ql::ComPtr<IStream> stream;
            QL_RETURN_IF_FAILED(
                OpenFileStream(temporary, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, stream));
            saved = persist->Save(stream.Get(), TRUE);
            if (saved == S_OK) QL_RETURN_IF_FAILED(stream->Commit(STGC_DEFAULT));
        }  // the file is closed here
        if (saved != S_OK) {
            ::DeleteFileW(temporary.c_str());
            return saved;
        }
        if (!::MoveFileExW(temporary.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            return HRESULT_FROM_WIN32(::GetLastError());
        }
        return S_OK;
    });
}

HRESULT CProjectFile::Load(IUnknown* dtm) const noexcept {
    QL_RETURN_IF_NULL_OUT(dtm);
    ql::ComPtr<IPersistStreamInit> persist;
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(OpenFileStream(path_, STGM_READ | STGM_SHARE_DENY_WRITE, stream));
    return persist->Load(stream.Get());
}

HRESULT CProjectFile::ReadBytes(std::string& bytes) const noexcept {
    bytes.clear();
    ql::ComPtr<IStream> stream;
    QL_RETURN_IF_FAILED(OpenFileStream(path_, STGM_READ | STGM_SHARE_DENY_WRITE, stream));
    return ql::GuardComCall([&]() -> HRESULT {
        char buffer[4096];
        for (;;) {
            ULONG read = 0;
            QL_RETURN_IF_FAILED(stream->Read(buffer, sizeof buffer, &read));
            if (read == 0) return S_OK;
            bytes.append(buffer, read);
        }
    });
}
