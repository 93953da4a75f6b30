#include "values/Bytes.h"

#include <climits>
#include <cstring>

#include "classlib/HResult.h"

uint64_t ReadBigEndian(const BYTE* bytes, size_t width) noexcept {
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) value = (value << 8) | bytes[i];
    return value;
}

void WriteBigEndian(uint64_t value, size_t width, BYTE* bytes) noexcept {
    for (size_t i = width; i-- > 0;) {
        bytes[i] = static_cast<BYTE>(value);
        value >>= 8;
    }
}

float FloatFromBits(ULONG bits) noexcept {
    static_assert(sizeof(float) == sizeof(ULONG), "a single is 32 bits");
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

ULONG BitsFromFloat(float value) noexcept {
    ULONG bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double DoubleFromBits(uint64_t bits) noexcept {
    static_assert(sizeof(double) == sizeof(uint64_t), "a double is 64 bits");
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint64_t BitsFromDouble(double value) noexcept {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

HRESULT MakeByteArray(const BYTE* bytes, size_t count, ql::Variant& value) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, count > ULONG_MAX || (count != 0 && !bytes));
    ql::SafeArray array;
    QL_RETURN_IF_FAILED(array.Create(VT_UI1, static_cast<ULONG>(count)));
    if (count != 0) {
        ql::SafeArrayData<BYTE> data(array.Get());
        QL_RETURN_IF_FAILED(data.Status());
        std::memcpy(data.Data(), bytes, count);
    }
    value.AttachArray(VT_UI1, array.Detach());
    return S_OK;
}

ByteArrayView::ByteArrayView(SAFEARRAY* array, HRESULT shape) noexcept
    : status_(FAILED(shape) ? shape : CountElements(array, size_)),
      data_(SUCCEEDED(status_) && size_ != 0 ? array : nullptr) {
    if (size_ != 0 && FAILED(data_.Status())) {
        status_ = data_.Status();
        size_ = 0;
    }
}

HRESULT ByteArrayView::CountElements(SAFEARRAY* array, size_t& count) noexcept {
    count = 0;
    QL_RETURN_HR_IF(E_UNEXPECTED, !array);
    QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, !ql::HoldsBytes(*array));
    QL_RETURN_HR_IF(E_INVALIDARG, array->cDims != 1);
    LONG lower = 0, upper = -1;
    QL_RETURN_IF_FAILED(::SafeArrayGetLBound(array, 1, &lower));
    QL_RETURN_IF_FAILED(::SafeArrayGetUBound(array, 1, &upper));
    if (upper >= lower) count = static_cast<size_t>(static_cast<LONGLONG>(upper) - lower + 1);
    return S_OK;
}

namespace {

HRESULT CopyViewed(const ByteArrayView& view, std::vector<BYTE>& bytes) noexcept {
    QL_RETURN_IF_FAILED(view.Status());
    return ql::GuardComCall([&]() -> HRESULT {
        std::vector<BYTE> copy(view.Data(), view.Data() + view.Size());
        bytes.swap(copy);
        return S_OK;
    });
}

}  // namespace

HRESULT CopyByteArray(const VARIANT& value, std::vector<BYTE>& bytes) noexcept {
    return CopyViewed(ByteArrayView(value), bytes);
}

HRESULT CopyByteArray(SAFEARRAY* array, std::vector<BYTE>& bytes) noexcept {
    return CopyViewed(ByteArrayView(array), bytes);
}
