#include "ui/pages/ByteText.h"

#include <vector>

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/Bytes.h"

std::string OctetStringText(const VARIANT& value) {
    const ByteArrayView bytes(value);
    if (FAILED(bytes.Status())) return {};
    std::string text;
    for (size_t i = 0; i < bytes.Size() && bytes.Data()[i] != 0; ++i)
        text.push_back(static_cast<char>(bytes.Data()[i]));
    return text;
}

BYTE LeadingOctet(const VARIANT& value) noexcept {
    const ByteArrayView bytes(value);
    return SUCCEEDED(bytes.Status()) && bytes.Size() >= 2 ? bytes.Data()[0] : 0;
}

HRESULT TextToOctetString(std::string_view text, ULONG length, VARIANT* value) noexcept {
    if (!value) return E_POINTER;
    std::vector<BYTE> bytes;
    if (FAILED(ql::GuardComCall([&]() -> HRESULT {
            // The character's unsigned code: a signed char above 0x7F must not widen into a negative value.
            for (ULONG i = 0; i < length; ++i)
                bytes.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : BYTE{0x20});
            return S_OK;
        }))) {
        return E_FAIL;
    }
    ql::Variant result;
    if (FAILED(MakeByteArray(bytes.data(), bytes.size(), result))) return E_FAIL;
    ql::Variant previous;
    previous.Attach(*value);
    return result.Detach(value);
}
