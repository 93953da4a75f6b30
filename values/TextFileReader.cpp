#include "values/TextFileReader.h"

#include <share.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "classlib/HResult.h"
#include "values/AnsiText.h"

namespace {

// The file is read in blocks of this many bytes; all of them are gathered before decoding.
constexpr size_t kReadBlockBytes = 4096;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FileOwner = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

HRESULT DecodeAnsiText(std::string_view bytes, ql::Bstr& text) noexcept { return AnsiToBstr(bytes, text); }

HRESULT ReadTextFile(const wchar_t* path, TextDecoder decode, ql::Bstr& text) noexcept {
    QL_RETURN_HR_IF(E_FAIL, path == nullptr || decode == nullptr);
    // Shared for reading only: a file being rewritten is not read half-way.
    FileOwner file(::_wfsopen(path, L"rb", _SH_DENYWR));
    QL_RETURN_HR_IF(E_FAIL, !file);
    try {
        std::string bytes;
        char block[kReadBlockBytes];
        for (;;) {
            const size_t read = std::fread(block, 1, sizeof block, file.get());
            if (read == 0) break;
            bytes.append(block, read);
        }
        // A read that failed part way is no file's text.
        QL_RETURN_HR_IF(E_FAIL, std::ferror(file.get()));
        file.reset();
        ql::Bstr decoded;
        QL_RETURN_IF_FAILED(decode(bytes, decoded));
        text = std::move(decoded);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
