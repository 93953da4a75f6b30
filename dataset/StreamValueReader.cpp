#include "dataset/StreamValueReader.h"

#include <algorithm>
#include <cstring>

#include "classlib/HResult.h"
#include "dataset/StreamValueFormat.h"

namespace {

// The first block read ahead holds a whole image of this device; a larger one doubles the block as it goes.
constexpr ULONG kFirstBlockBytes = 16 * 1024;

}  // namespace

CStreamValueReader::~CStreamValueReader() {
    // Only a reading that stopped early gets here with the stream elsewhere; its failure is already on its
    // way to the caller, and a stream that cannot seek any more has nothing better to offer.
    (void)HandBack();
}

HRESULT CStreamValueReader::Start() noexcept {
    QL_RETURN_HR_IF(E_POINTER, stream_ == nullptr);
    LARGE_INTEGER none = {};
    ULARGE_INTEGER here = {}, end = {};
    QL_RETURN_IF_FAILED(stream_->Seek(none, STREAM_SEEK_CUR, &here));
    QL_RETURN_IF_FAILED(stream_->Seek(none, STREAM_SEEK_END, &end));
    QL_RETURN_IF_FAILED(SeekStream(here.QuadPart));
    position_ = here.QuadPart;
    end_ = end.QuadPart;
    remaining_ = end_ > position_ ? end_ - position_ : 0;
    started_ = true;
    return S_OK;
}

HRESULT CStreamValueReader::Fill(ULONG size) noexcept {
    if (Available() >= size) return S_OK;
    const ULONGLONG blockEnd = blockStart_ + block_.size();
    if (streamEnded_ || blockEnd >= end_) return S_FALSE;
    const ULONGLONG missing = size - Available();
    const ULONGLONG wanted =
        std::min(std::max<ULONGLONG>({missing, kFirstBlockBytes, block_.size()}), end_ - blockEnd);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, wanted > MAXDWORD);
    const size_t kept = block_.size();
    HRESULT hr = ql::GuardComCall([&]() -> HRESULT {
        block_.resize(kept + static_cast<size_t>(wanted));
        return S_OK;
    });
    QL_RETURN_IF_FAILED(hr);
    ULONG read = 0;
    hr = stream_->Read(block_.data() + kept, static_cast<ULONG>(wanted), &read);
    if (FAILED(hr)) read = 0;
    block_.resize(kept + std::min<ULONG>(read, static_cast<ULONG>(wanted)));
    QL_RETURN_IF_FAILED(hr);
    if (read < wanted) streamEnded_ = true;
    return Available() >= size ? S_OK : S_FALSE;
}

void CStreamValueReader::Advance(ULONGLONG bytes) noexcept {
    position_ += bytes;
    remaining_ = remaining_ > bytes ? remaining_ - bytes : 0;
}

HRESULT CStreamValueReader::ReadBytes(void* data, ULONG size) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !started_);
    if (size == 0) return S_OK;
    QL_RETURN_HR_IF(E_FAIL, size > remaining_);
    QL_RETURN_IF_FAILED(Fill(size));
    // A stream that ends early gives what it has, and the reading stands behind it.
    const ULONG taken = static_cast<ULONG>(std::min<ULONGLONG>(size, Available()));
    std::memcpy(data, Next(), taken);
    Advance(taken);
    return taken == size ? S_OK : E_FAIL;
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
    QL_RETURN_IF_FAILED(Fill(bytes));
    if (Available() < bytes) {
        Advance(Available());
        return E_FAIL;
    }
    const UINT length = bytes / sizeof(wchar_t) - 1;
    wchar_t last = L'\0';
    std::memcpy(&last, Next() + length * sizeof(wchar_t), sizeof last);
    // The text is taken whole before its end is judged, as a reading of its bytes would take it.
    const BYTE* characters = Next();
    Advance(bytes);
    QL_RETURN_HR_IF(E_FAIL, last != L'\0');
    ql::Bstr result;
    BSTR allocated = ::SysAllocStringLen(nullptr, length);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, allocated == nullptr);
    result.Attach(allocated);
    // The block holds the characters at any byte offset, so they are copied as bytes.
    std::memcpy(allocated, characters, length * sizeof(wchar_t));
    text = std::move(result);
    return S_OK;
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
        // A text converted to a text would be the same text.
        if (type != VT_BSTR) QL_RETURN_IF_FAILED(result.ChangeType(type, LOCALE_USER_DEFAULT, 0));
    }
    value = std::move(result);
    return S_OK;
}

HRESULT CStreamValueReader::Rewind(ULONGLONG position) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !started_);
    QL_RETURN_HR_IF(E_INVALIDARG, position > end_);
    if (position < blockStart_ || position > blockStart_ + block_.size())
        QL_RETURN_IF_FAILED(SeekStream(position));
    position_ = position;
    remaining_ = end_ - position;
    return S_OK;
}

HRESULT CStreamValueReader::HandBack() noexcept {
    if (!started_ || blockStart_ + block_.size() == position_) return S_OK;
    return SeekStream(position_);
}

HRESULT CStreamValueReader::SeekStream(ULONGLONG position) noexcept {
    LARGE_INTEGER target;
    target.QuadPart = static_cast<LONGLONG>(position);
    QL_RETURN_IF_FAILED(stream_->Seek(target, STREAM_SEEK_SET, nullptr));
    block_.clear();
    blockStart_ = position;
    streamEnded_ = false;
    return S_OK;
}
