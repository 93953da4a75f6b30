#include "ui/pages/ByteText.h"

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

namespace {

// The elements of a one-dimensional byte array, or null with `count` 0.
bool IsByteVector(const VARIANT& value, ULONG& count) noexcept {
    count = 0;
    if (V_VT(&value) != (VT_ARRAY | VT_UI1) || !V_ARRAY(&value)) return false;
    if (::SafeArrayGetDim(V_ARRAY(&value)) != 1) return false;
    LONG lower = 0, upper = -1;
    if (FAILED(::SafeArrayGetLBound(V_ARRAY(&value), 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(V_ARRAY(&value), 1, &upper)) || upper < lower) {
        return false;
    }
    count = static_cast<ULONG>(upper - lower + 1);
    return true;
}

}  // namespace

std::string OctetStringText(const VARIANT& value) {
    ULONG count = 0;
    if (!IsByteVector(value, count)) return {};
    ql::SafeArrayData<BYTE> bytes(V_ARRAY(&value));
    if (FAILED(bytes.Status())) return {};
    std::string text;
    for (ULONG i = 0; i < count && bytes[i] != 0; ++i) text.push_back(static_cast<char>(bytes[i]));
    return text;
}

BYTE LeadingOctet(const VARIANT& value) noexcept {
    ULONG count = 0;
    if (!IsByteVector(value, count) || count < 2) return 0;
    ql::SafeArrayData<BYTE> bytes(V_ARRAY(&value));
    return SUCCEEDED(bytes.Status()) ? bytes[0] : 0;
}

HRESULT TextToOctetString(std::string_view text, ULONG length, VARIANT* value) noexcept {
    if (!value) return E_POINTER;
    ql::SafeArray array;
    if (FAILED(array.Create(VT_UI1, length))) return E_FAIL;
    {
        ql::SafeArrayData<BYTE> bytes(array.Get());
        if (FAILED(bytes.Status())) return bytes.Status();
        for (ULONG i = 0; i < length; ++i) {
            // The character's unsigned code: a signed char above 0x7F must not widen into a negative value.
            bytes[i] = i < text.size() ? static_cast<unsigned char>(text[i]) : BYTE{0x20};
        }
    }
    ql::Variant result;
    result.AttachArray(VT_UI1, array.Detach());
    ql::Variant previous;
    previous.Attach(*value);
    return result.Detach(value);
}
