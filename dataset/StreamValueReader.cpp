#include "dataset/StreamValueReader.h"

#include <string_view>
#include <vector>

#include "classlib/HResult.h"
#include "dataset/StreamValueFormat.h"

HRESULT CStreamValueReader::Start() noexcept {
    QL_RETURN_HR_IF(E_POINTER, stream_ == nullptr);
    LARGE_INTEGER none = {};
    ULARGE_INTEGER here = {}, end = {};
    QL_RETURN_IF_FAILED(stream_->Seek(none, STREAM_SEEK_CUR, &here));
    QL_RETURN_IF_FAILED(stream_->Seek(none, STREAM_SEEK_END, &end));
    LARGE_INTEGER back;
    back.QuadPart = static_cast<LONGLONG>(here.QuadPart);
    QL_RETURN_IF_FAILED(stream_->Seek(back, STREAM_SEEK_SET, nullptr));
    position_ = here.QuadPart;
    end_ = end.QuadPart;
    remaining_ = end_ > position_ ? end_ - position_ : 0;
    started_ = true;
    return S_OK;
}

HRESULT CStreamValueReader::ReadBytes(void* data, ULONG size) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !started_);
    if (size == 0) return S_OK;
    QL_RETURN_HR_IF(E_FAIL, size > remaining_);
    ULONG read = 0;
    QL_RETURN_IF_FAILED(stream_->Read(data, size, &read));
    position_ += read;
    remaining_ = remaining_ > read ? remaining_ - read : 0;
    return read == size ? S_OK : E_FAIL;
}

HRESULT CStreamValueReader::ReadUInt32(ULONG* number) noexcept {
    ULONG read = 0;
    QL_RETURN_IF_FAILED(ReadBytes(&read, sizeof read));
    *number = read;
    return S_OK;
}

HRESULT CStreamValueReader::ReadText(ql::Bstr& text) noexcept {
    ULONG bytes = 0;
    QL_RETURN_IF_FAILED(ReadUInt32(&bytes));
    if (bytes == kNullTextBytes) {
        text.Reset();
        return S_OK;
    }
    QL_RETURN_HR_IF(E_FAIL, bytes % sizeof(wchar_t) != 0 || bytes > remaining_);
    return ql::GuardComCall([&]() -> HRESULT {
        std::vector<wchar_t> characters(bytes / sizeof(wchar_t));
        QL_RETURN_IF_FAILED(ReadBytes(characters.data(), bytes));
        QL_RETURN_HR_IF(E_FAIL, characters.back() != L'\0');
        return text.Assign(std::wstring_view(characters.data(), characters.size() - 1));
    });
}

HRESULT CStreamValueReader::ReadValue(ql::Variant& value) noexcept {
    VARTYPE type = VT_EMPTY;
    QL_RETURN_IF_FAILED(ReadBytes(&type, sizeof type));
    ql::Variant result;
    const ULONG fixed = FixedPayloadBytes(type);
    if (fixed != 0) {
        VARIANT raw;
        ::VariantInit(&raw);
        QL_RETURN_IF_FAILED(ReadBytes(&raw.bVal, fixed));
        raw.vt = type;  // a plain number: nothing for the owner to release
        result.Attach(raw);
    } else {
        QL_RETURN_HR_IF(DISP_E_BADVARTYPE, !IsTextPayloadType(type));
        ql::Bstr text;
        QL_RETURN_IF_FAILED(ReadText(text));
        result.AttachBstr(text.Detach());
        QL_RETURN_IF_FAILED(result.ChangeType(type, LOCALE_USER_DEFAULT, 0));
    }
    value = std::move(result);
    return S_OK;
}

HRESULT CStreamValueReader::Rewind(ULONGLONG position) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !started_);
    QL_RETURN_HR_IF(E_INVALIDARG, position > end_);
    LARGE_INTEGER target;
    target.QuadPart = static_cast<LONGLONG>(position);
    QL_RETURN_IF_FAILED(stream_->Seek(target, STREAM_SEEK_SET, nullptr));
    position_ = position;
    remaining_ = end_ - position;
    return S_OK;
}
