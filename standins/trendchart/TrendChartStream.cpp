#include "TrendChartStream.h"

#include "classlib/HResult.h"

namespace standins {

namespace {

// Far beyond the 32 pens' settings (about 16 KB), small enough to refuse a damaged count at once.
constexpr DWORD kMaxTextBytes = 1024 * 1024;
const HRESULT kInvalidData = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
// The format version that follows the text.
constexpr DWORD kStateVersion = 0x300;

HRESULT ReadExactly(IStream* stream, void* buffer, ULONG size) noexcept {
    auto* bytes = static_cast<BYTE*>(buffer);
    while (size > 0) {
        ULONG read = 0;
        QL_RETURN_IF_FAILED(stream->Read(bytes, size, &read));
        QL_RETURN_HR_IF(kInvalidData, read == 0);
        bytes += read;
        size -= read;
    }
    return S_OK;
}

HRESULT ReadDword(IStream* stream, DWORD& out) noexcept { return ReadExactly(stream, &out, sizeof(out)); }

HRESULT WriteExactly(IStream* stream, const void* data, ULONG size) noexcept {
    ULONG written = 0;
    QL_RETURN_IF_FAILED(stream->Write(data, size, &written));
    return written == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT WriteDword(IStream* stream, DWORD value) noexcept {
    return WriteExactly(stream, &value, sizeof(value));
}

}  // namespace

HRESULT ReadTrendChartState(IStream* stream, TrendChartState& out) noexcept {
    QL_RETURN_IF_NULL_OUT(stream);
    return ql::GuardComCall([&]() -> HRESULT {
        DWORD reserved = 0, textBytes = 0;
        QL_RETURN_IF_FAILED(ReadDword(stream, reserved));
        QL_RETURN_IF_FAILED(ReadDword(stream, textBytes));
        QL_RETURN_HR_IF(kInvalidData, textBytes % sizeof(wchar_t) != 0 || textBytes > kMaxTextBytes);
        std::wstring text(textBytes / sizeof(wchar_t), L'\0');
        QL_RETURN_IF_FAILED(ReadExactly(stream, text.data(), textBytes));
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
        DWORD version = 0, width = 0, height = 0;
        QL_RETURN_IF_FAILED(ReadDword(stream, version));
        QL_RETURN_IF_FAILED(ReadDword(stream, width));
        QL_RETURN_IF_FAILED(ReadDword(stream, height));
        out.settingsText = std::move(text);
        out.extent = SIZEL{static_cast<LONG>(width), static_cast<LONG>(height)};
        return S_OK;
    });
}

HRESULT WriteTrendChartState(IStream* stream, const TrendChartState& state) noexcept {
    QL_RETURN_IF_NULL_OUT(stream);
    const std::wstring& text = state.settingsText;
    const size_t textBytes = (text.size() + 1) * sizeof(wchar_t);
    QL_RETURN_HR_IF(E_INVALIDARG, textBytes > kMaxTextBytes);
    QL_RETURN_IF_FAILED(WriteDword(stream, 0));
    QL_RETURN_IF_FAILED(WriteDword(stream, static_cast<DWORD>(textBytes)));
    QL_RETURN_IF_FAILED(WriteExactly(stream, text.c_str(), static_cast<ULONG>(textBytes)));
    QL_RETURN_IF_FAILED(WriteDword(stream, kStateVersion));
    QL_RETURN_IF_FAILED(WriteDword(stream, static_cast<DWORD>(state.extent.cx)));
    return WriteDword(stream, static_cast<DWORD>(state.extent.cy));
}

}  // namespace standins
