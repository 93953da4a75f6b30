#include "values/AnsiText.h"

#include <climits>

namespace {

bool FitsInt(size_t length) noexcept { return length <= static_cast<size_t>(INT_MAX); }

// The code of the last Win32 failure, never a success code.
HRESULT LastWin32Failure() noexcept {
    const DWORD error = ::GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

}  // namespace

HRESULT AnsiToBstr(std::string_view text, ql::Bstr& out) noexcept {
    const HRESULT hr = CodePageToBstr(CP_ACP, text, out);
    return FAILED(hr) && hr != E_OUTOFMEMORY ? E_OUTOFMEMORY : hr;
}

HRESULT CodePageToBstr(UINT codePage, std::string_view text, ql::Bstr& out) noexcept {
    out.Reset();
    if (!FitsInt(text.size())) return E_OUTOFMEMORY;
    const int bytes = static_cast<int>(text.size());
    const int chars = bytes == 0 ? 0 : ::MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
    if (bytes > 0 && chars <= 0) return LastWin32Failure();
    out.Attach(::SysAllocStringLen(nullptr, static_cast<UINT>(chars)));
    if (out.IsNull()) return E_OUTOFMEMORY;
    if (chars > 0) ::MultiByteToWideChar(codePage, 0, text.data(), bytes, out.Get(), chars);
    return S_OK;
}

HRESULT WideToAnsi(std::wstring_view text, std::string& out) noexcept {
    out.clear();
    if (text.empty()) return S_OK;
    if (!FitsInt(text.size())) return E_OUTOFMEMORY;
    const int chars = static_cast<int>(text.size());
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), chars, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return LastWin32Failure();
    try {
        out.resize(static_cast<size_t>(bytes));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), chars, out.data(), bytes, nullptr, nullptr);
    return S_OK;
}
