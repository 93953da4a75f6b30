#include "values/HexText.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/GlobalMemory.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

// The value of one hexadecimal digit in either case, or -1.
int HexDigitValue(wchar_t c) noexcept {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

HRESULT AssignEmpty(BSTR* text) noexcept {
    ql::Bstr empty;
    QL_RETURN_IF_FAILED(empty.Assign(std::wstring_view()));
    *text = empty.Detach();
    return S_OK;
}

}  // namespace

HRESULT BytesToHexBstr(const VARIANT* value, BSTR* text, BOOL lenient) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !value || !text);
    SAFEARRAY* array = V_VT(value) == kByteArrayType ? value->parray : nullptr;
    // An array that holds no bytes is no byte array, whatever its VARIANT claims, and is not read.
    if (V_VT(value) != kByteArrayType || (array && !ql::HoldsBytes(*array)))
        return lenient ? AssignEmpty(text) : E_INVALIDARG;
    if (!array) {
        *text = nullptr;
        return E_UNEXPECTED;
    }
    QL_RETURN_HR_IF(E_INVALIDARG, ::SafeArrayGetDim(array) != 1);
    *text = nullptr;

    const ULONG count = array->rgsabound[0].cElements;
    if (count == 0) return AssignEmpty(text);
    // Two characters per byte must still fit a BSTR's length.
    QL_RETURN_HR_IF(E_OUTOFMEMORY, count > UINT_MAX / 2);

    ql::SafeArrayData<const BYTE> bytes(array);
    QL_RETURN_IF_FAILED(bytes.Status());

    ql::Bstr hex;
    hex.Attach(::SysAllocStringLen(nullptr, count * 2));
    QL_RETURN_HR_IF(E_OUTOFMEMORY, hex.IsNull());
    wchar_t* out = hex.Get();
    for (ULONG i = 0; i < count; ++i) {
        const BYTE b = bytes[i];
        *out++ = kHexDigits[b >> 4];
        *out++ = kHexDigits[b & 0x0F];
    }
    *text = hex.Detach();
    return S_OK;
}

HRESULT HexBstrToByteArray(VARIANT* value, BSTR text, BOOL keepEmpty) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    const UINT length = ::SysStringLen(text);
    if (length == 0 && !keepEmpty) {
        ql::Variant old;
        old.Attach(*value);  // leaves *value VT_EMPTY and frees what it held
        return S_OK;
    }
    QL_RETURN_HR_IF(E_INVALIDARG, length % 2 != 0);
    // Every character counts, up to the BSTR's length: a NUL inside the text is no digit, so a text cut
    // short by one can never decode into bytes that were not written.
    for (UINT i = 0; i < length; ++i) {
        QL_RETURN_HR_IF(E_INVALIDARG, HexDigitValue(text[i]) < 0);
    }

    std::vector<BYTE> bytes;
    QL_RETURN_HR_IF(E_FAIL, FAILED(ql::GuardComCall([&]() -> HRESULT {
                        bytes.resize(length / 2);
                        return S_OK;
                    })));
    for (UINT i = 0; i < length / 2; ++i) {
        bytes[i] = static_cast<BYTE>(HexDigitValue(text[2 * i]) * 16 + HexDigitValue(text[2 * i + 1]));
    }
    ql::Variant result;
    QL_RETURN_HR_IF(E_FAIL, FAILED(MakeByteArray(bytes.data(), bytes.size(), result)));
    ql::Variant old;
    old.Attach(*value);
    return result.Detach(value);
}

HRESULT BytesToVariantArray(IStream* stream, VARIANT* value) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !stream || !value);
    STATSTG statistics{};
    QL_RETURN_IF_FAILED(stream->Stat(&statistics, STATFLAG_NONAME));
    const ULONG size = statistics.cbSize.LowPart;
    QL_RETURN_HR_IF(E_NOTIMPL, size == 0);

    HGLOBAL memory = nullptr;
    QL_RETURN_IF_FAILED(::GetHGlobalFromStream(stream, &memory));
    ql::GlobalMemoryLock lock(memory);
    QL_RETURN_HR_IF(E_FAIL, !lock.Data());
    // The stream never reports more than its memory holds; refuse rather than read past it if it does.
    QL_RETURN_HR_IF(E_FAIL, lock.Size() < size);

    ql::Variant bytes;
    QL_RETURN_IF_FAILED(MakeByteArray(static_cast<const BYTE*>(lock.Data()), size, bytes));
    return bytes.Detach(value);
}
