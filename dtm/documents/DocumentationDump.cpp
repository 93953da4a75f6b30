#include "dtm/documents/DocumentationDump.h"

#include <share.h>

#include <cstdio>
#include <memory>
#include <string>

#include "classlib/HResult.h"
#include "values/AnsiText.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};

}  // namespace

HRESULT DumpXmlToFile(const wchar_t* path, std::wstring_view document) noexcept {
    QL_RETURN_HR_IF(E_FAIL, !path);
    std::string text;
    QL_RETURN_IF_FAILED(WideToAnsi(document, text));
    const std::unique_ptr<FILE, FileCloser> file(::_wfsopen(path, L"wb", _SH_DENYNO));
    QL_RETURN_HR_IF(E_FAIL, !file);
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), file.get()) != text.size()) return E_FAIL;
    return S_OK;
}
