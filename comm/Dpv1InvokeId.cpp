#include "comm/Dpv1InvokeId.h"

#include <rpc.h>

#include <cwctype>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"

namespace {

// UuidToString's text for a GUID: 36 characters, lower-case hexadecimal digits.
constexpr size_t kGuidTextLength = kInvokeIdLength;

}  // namespace

HRESULT GuidToBstr(const GUID* guid, BSTR* text) noexcept {
    QL_RETURN_HR_IF(E_POINTER, guid == nullptr || text == nullptr);
    // The text is written by hand rather than through UuidToString: that one allocates an RPC string the
    // caller must free with RpcStringFree, for a layout that is fixed anyway.
    wchar_t buffer[kGuidTextLength + 1];
    const int written = ::_snwprintf(
        buffer, kGuidTextLength + 1, L"%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
        static_cast<unsigned long>(guid->Data1), guid->Data2, guid->Data3, guid->Data4[0], guid->Data4[1],
        guid->Data4[2], guid->Data4[3], guid->Data4[4], guid->Data4[5], guid->Data4[6], guid->Data4[7]);
    QL_RETURN_HR_IF(E_FAIL, written != static_cast<int>(kGuidTextLength));
    ql::Bstr result;
    QL_RETURN_IF_FAILED(result.Assign(std::wstring_view(buffer, kGuidTextLength)));
    *text = result.Detach();
    return S_OK;
}

HRESULT CreateInvokeId(BSTR* invokeId) noexcept {
    QL_RETURN_IF_NULL_OUT(invokeId);
    UUID uuid;
    const RPC_STATUS status = ::UuidCreate(&uuid);
    QL_RETURN_HR_IF(E_FAIL, status != RPC_S_OK && status != RPC_S_UUID_LOCAL_ONLY);
    return GuidToBstr(&uuid, invokeId);
}

bool InvokeIdEquals(BSTR first, BSTR second) noexcept {
    if (!first || !second) return false;
    if (::SysStringLen(first) != kInvokeIdLength || ::SysStringLen(second) != kInvokeIdLength) return false;
    for (UINT i = 0; i < kInvokeIdLength; ++i) {
        if (std::towupper(first[i]) != std::towupper(second[i])) return false;
    }
    return true;
}
