#include "dtm/documents/PaRecordBytes.h"

#include <cstring>

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "values/HexText.h"

PaRecordRead ReadPaRecord(const VARIANT& record, size_t length, BYTE* bytes) noexcept {
    if (V_VT(&record) != kByteArrayType) return PaRecordRead::Defaults;
    SAFEARRAY* array = V_ARRAY(&record);
    if (!array) return PaRecordRead::NoArray;
    if (::SafeArrayGetDim(array) != 1 || ::SafeArrayGetElemsize(array) != 1) return PaRecordRead::Defaults;
    LONG lower = 0, upper = -1;
    if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper)))
        return PaRecordRead::Defaults;
    const LONGLONG count = static_cast<LONGLONG>(upper) - lower + 1;
    if (count < static_cast<LONGLONG>(length)) return PaRecordRead::Defaults;
    ql::SafeArrayData<BYTE> data(array);
    if (FAILED(data.Status()) || !data.Data()) return PaRecordRead::Defaults;
    if (length != 0) std::memcpy(bytes, data.Data(), length);
    return PaRecordRead::Bytes;
}

USHORT ReadBigEndian16(const BYTE* bytes) noexcept { return static_cast<USHORT>((bytes[0] << 8) | bytes[1]); }

ULONG ReadBigEndian32(const BYTE* bytes) noexcept {
    return (static_cast<ULONG>(bytes[0]) << 24) | (static_cast<ULONG>(bytes[1]) << 16) |
           (static_cast<ULONG>(bytes[2]) << 8) | static_cast<ULONG>(bytes[3]);
}

void WriteBigEndian16(USHORT value, BYTE* bytes) noexcept {
    bytes[0] = static_cast<BYTE>(value >> 8);
    bytes[1] = static_cast<BYTE>(value);
}

void WriteBigEndian32(ULONG value, BYTE* bytes) noexcept {
    bytes[0] = static_cast<BYTE>(value >> 24);
    bytes[1] = static_cast<BYTE>(value >> 16);
    bytes[2] = static_cast<BYTE>(value >> 8);
    bytes[3] = static_cast<BYTE>(value);
}

float FloatFromBits(ULONG bits) noexcept {
    static_assert(sizeof(float) == sizeof(ULONG), "a PA float is 32 bits");
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

ULONG BitsFromFloat(float value) noexcept {
    ULONG bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

HRESULT MakePaRecord(const BYTE* bytes, size_t count, VARIANT* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    ql::SafeArray array;
    QL_RETURN_IF_FAILED(array.Create(VT_UI1, static_cast<ULONG>(count)));
    {
        ql::SafeArrayData<BYTE> data(array.Get());
        QL_RETURN_IF_FAILED(data.Status());
        if (count != 0) std::memcpy(data.Data(), bytes, count);
    }
    ql::Variant record;
    record.AttachArray(VT_UI1, array.Detach());
    {
        ql::Variant old;
        old.Attach(*out);
    }
    return record.Detach(out);
}

namespace {

// Element count of a one-dimensional array the caller keeps owning.
ULONG ElementCount(SAFEARRAY* array) noexcept {
    LONG lower = 0, upper = -1;
    if (!array || FAILED(::SafeArrayGetLBound(array, 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(array, 1, &upper)) || upper < lower)
        return 0;
    return static_cast<ULONG>(upper - lower + 1);
}

}  // namespace

HRESULT ParseHexBytes(std::vector<BYTE>* bytes, BSTR text) noexcept {
    if (!bytes || !text) return S_OK;
    // The one hexadecimal reader of the system checks the whole text before anything is written.
    ql::Variant array;
    QL_RETURN_IF_FAILED(HexBstrToByteArray(array.Get(), text, TRUE));
    std::vector<BYTE> parsed;
    const ULONG count = array.Type() == kByteArrayType ? ElementCount(V_ARRAY(array.Get())) : 0;
    if (count != 0) {
        try {
            parsed.resize(count);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        ql::SafeArrayData<BYTE> data(V_ARRAY(array.Get()));
        QL_RETURN_IF_FAILED(data.Status());
        std::memcpy(parsed.data(), data.Data(), count);
    }
    bytes->swap(parsed);
    return S_OK;
}
