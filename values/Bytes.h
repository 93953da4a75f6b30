#pragma once
// Bytes as the device and the stored values hold them: numbers most significant byte first (the PROFIBUS
// order), IEEE 754 numbers moved as their raw bits, and byte strings as one-dimensional VT_ARRAY|VT_UI1
// SAFEARRAYs, made and read here only. Stateless; any thread that may touch the VARIANTs passed.
#include <windows.h>
#include <oleauto.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

// The type of a byte string: exactly VT_ARRAY|VT_UI1, one dimension.
constexpr VARTYPE kByteArrayType = VT_ARRAY | VT_UI1;

// The unsigned number of the `width` bytes at `bytes`, most significant first; `width` is at most 8.
uint64_t ReadBigEndian(const BYTE* bytes, size_t width) noexcept;
// Writes the low `width` bytes of `value` to `bytes`, most significant first; `width` is at most 8.
void WriteBigEndian(uint64_t value, size_t width, BYTE* bytes) noexcept;

inline USHORT ReadBigEndian16(const BYTE* bytes) noexcept {
    return static_cast<USHORT>(ReadBigEndian(bytes, 2));
}
inline ULONG ReadBigEndian32(const BYTE* bytes) noexcept {
    return static_cast<ULONG>(ReadBigEndian(bytes, 4));
}
inline void WriteBigEndian16(USHORT value, BYTE* bytes) noexcept { WriteBigEndian(value, 2, bytes); }
inline void WriteBigEndian32(ULONG value, BYTE* bytes) noexcept { WriteBigEndian(value, 4, bytes); }

// IEEE 754 single and double precision numbers moved as their raw bits.
float FloatFromBits(ULONG bits) noexcept;
ULONG BitsFromFloat(float value) noexcept;
double DoubleFromBits(uint64_t bits) noexcept;
uint64_t BitsFromDouble(double value) noexcept;

// A new one-dimensional byte array (lower bound 0) holding the `count` bytes at `bytes` (which may be null
// only when `count` is 0), into `value`, which is replaced only on success. E_OUTOFMEMORY when the array
// cannot be made, E_INVALIDARG for more bytes than an array holds, the lock's failure.
HRESULT MakeByteArray(const BYTE* bytes, size_t count, ql::Variant& value) noexcept;

// The elements of a one-dimensional byte array in storage order (the lower bound is not looked at), locked
// for as long as the view lives. Status():
//   S_OK                 the bytes are Data()[0 .. Size()); an array without elements has none (Size() 0,
//                        Data() null);
//   DISP_E_TYPEMISMATCH  the VARIANT is not exactly VT_ARRAY|VT_UI1, or the array does not hold bytes
//                        (ql::HoldsBytes: elements of another width, texts, VARIANTs or objects that the
//                        platform owns, elements counted without data, no dimension), which is then not
//                        read at all;
//   E_UNEXPECTED         a byte array without its array;
//   E_INVALIDARG         an array of other than one dimension;
//   the platform's failure to read the bounds or to lock the data otherwise.
class ByteArrayView {
public:
    explicit ByteArrayView(const VARIANT& value) noexcept
        : ByteArrayView(V_VT(&value) == kByteArrayType ? V_ARRAY(&value) : nullptr,
                        V_VT(&value) == kByteArrayType ? S_OK : DISP_E_TYPEMISMATCH) {}
    explicit ByteArrayView(SAFEARRAY* array) noexcept : ByteArrayView(array, S_OK) {}
    ByteArrayView(const ByteArrayView&) = delete;
    ByteArrayView& operator=(const ByteArrayView&) = delete;
    ~ByteArrayView() = default;

    HRESULT Status() const noexcept { return status_; }
    const BYTE* Data() const noexcept { return size_ != 0 ? data_.Data() : nullptr; }
    size_t Size() const noexcept { return size_; }

private:
    ByteArrayView(SAFEARRAY* array, HRESULT shape) noexcept;
    static HRESULT CountElements(SAFEARRAY* array, size_t& count) noexcept;

    size_t size_ = 0;
    HRESULT status_ = S_OK;
    ql::SafeArrayData<BYTE> data_;
};

// The bytes of a one-dimensional byte array, copied into `bytes`, which is replaced only on success. The
// failures are ByteArrayView's, and E_OUTOFMEMORY.
HRESULT CopyByteArray(const VARIANT& value, std::vector<BYTE>& bytes) noexcept;
HRESULT CopyByteArray(SAFEARRAY* array, std::vector<BYTE>& bytes) noexcept;
