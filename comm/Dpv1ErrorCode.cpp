#include "comm/Dpv1ErrorCode.h"

#include <string_view>

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "comm/Dpv1InvokeId.h"
#include "values/Bytes.h"
#include "values/HexText.h"
#include "values/MessageFormat.h"
#include "xml/XmlNodeReads.h"

namespace {

struct Dpv1ErrorText {
    BYTE code;
    const wchar_t* text;
};
// Error_Code_1 values with a text; every other value has none.
constexpr Dpv1ErrorText kDpv1ErrorTexts[] = {
    {0xA0, L"Read error"},
    {0xA1, L"Write error"},
    {0xA2, L"Module failure"},
    {0xA7, L"Reserved"},
    {0xA8, L"Version conflict"},
    {0xA9, L"Feature not supported"},
    {0xAF, L"User specific"},
    {0xB0, L"Invalid index"},
    {0xB1, L"Write length error"},
    {0xB2, L"Invalid slot"},
    {0xB3, L"Type conflict"},
    {0xB4, L"Invalid area"},
    {0xB5, L"State conflict"},
    {0xB6, L"Access denied"},
    {0xB7, L"Invalid range"},
    {0xB8, L"Invalid parameter"},
    {0xB9, L"Invalid type"},
    {0xBF, L"User specific"},
    {0xC0, L"Read constrain conflict"},
    {0xC1, L"Write constrain conflict"},
    {0xC2, L"Resource busy"},
    {0xC3, L"Resource unavailable"},
    {0xC7, L"Reserved"},
    {0xCF, L"User specific"},
    {0xFF, L"Abort"},
};

// Error_Decode, Error_Code_1 and Error_Code_2: a text is chosen only when all three are there.
constexpr size_t kDpv1ErrorCodeBytes = 3;

constexpr wchar_t kErrorCodeMessageFormat[] = L"ErrorCode %ls recieved! %ls";
constexpr wchar_t kCommunicationErrorPath[] = L"FDT/fdt:CommunicationError";
constexpr wchar_t kErrorCodeAttribute[] = L"@errorCode";
constexpr wchar_t kDescriptorAttribute[] = L"@descriptor";

bool IsAllZeroDigits(std::wstring_view hex) noexcept { return hex.find_first_not_of(L'0') == hex.npos; }

// Appends " <label> <value>" pieces to the CommunicationError text.
HRESULT AppendPiece(ql::Bstr& text, const wchar_t* label, BSTR value) noexcept {
    QL_RETURN_IF_FAILED(text.Append(label));
    return text.Append(std::wstring_view(value ? value : L"", ::SysStringLen(value)));
}

}  // namespace

const wchar_t* Dpv1ErrorCodeText(BYTE errorCode1) noexcept {
    for (const Dpv1ErrorText& row : kDpv1ErrorTexts) {
        if (row.code == errorCode1) return row.text;
    }
    return L"";
}

HRESULT CheckDpv1ErrorCode(const VARIANT& errorCode, ql::Bstr& message, BYTE* isError) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, isError == nullptr);
    *isError = 0;
    QL_RETURN_HR_IF(E_INVALIDARG, V_VT(&errorCode) != (VT_ARRAY | VT_UI1));
    SAFEARRAY* array = V_ARRAY(&errorCode);
    if (!array) return S_OK;
    QL_RETURN_HR_IF(E_INVALIDARG, !ql::HoldsBytes(*array));
    if (ql::ElementCount(*array) == 0) return S_OK;
    QL_RETURN_HR_IF(E_INVALIDARG, array->cDims != 1);

    ql::Bstr hex;
    QL_RETURN_IF_FAILED(BytesToHexBstr(&errorCode, hex.Put(), FALSE));
    const std::wstring_view digits = hex.View();
    if (IsAllZeroDigits(digits)) return S_OK;

    const wchar_t* text = L"";
    const ByteArrayView bytes(array);
    QL_RETURN_IF_FAILED(bytes.Status());
    if (bytes.Size() >= kDpv1ErrorCodeBytes) text = Dpv1ErrorCodeText(bytes.Data()[1]);
    ql::Bstr format(kErrorCodeMessageFormat);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, format.IsNull());
    ql::Bstr formatted;
    QL_RETURN_IF_FAILED(BstrPrintf(formatted.Put(), format.Get(), hex.CStr(), text));
    message = std::move(formatted);
    *isError = 1;
    return S_OK;
}

bool ParseCommunicationError(IXMLDOMNode* document, ql::Bstr& text) noexcept {
    if (!document) return false;
    ql::Bstr path(kCommunicationErrorPath);
    ql::ComPtr<IXMLDOMNode> element;
    if (path.IsNull() || document->selectSingleNode(path.Get(), element.Put()) != S_OK || !element)
        return false;

    ql::Bstr result(L"ERROR:");
    ql::Bstr errorCodePath(kErrorCodeAttribute);
    ql::Variant errorCode;
    if (XmlNodeExists(element.Get(), errorCodePath.Get()) &&
        SUCCEEDED(XmlGetNodeValue(element.Get(), errorCodePath.Get(), errorCode.Get(), VT_ARRAY | VT_UI1)) &&
        ::SafeArrayGetDim(V_ARRAY(errorCode.Get())) == 1) {
        ql::Bstr hex;
        if (SUCCEEDED(BytesToHexBstr(errorCode.Get(), hex.Put(), FALSE))) {
            // Text that cannot be appended (no memory) shortens the message; the error itself is still
            // reported.
            (void)AppendPiece(result, L" errorCode = ", hex.Get());
        }
    }
    ql::Bstr descriptorPath(kDescriptorAttribute);
    ql::Variant descriptor;
    if (XmlNodeExists(element.Get(), descriptorPath.Get()) &&
        SUCCEEDED(XmlGetNodeValue(element.Get(), descriptorPath.Get(), descriptor.Get(), VT_BSTR))) {
        // As above: the text is a description, the failure stands without it.
        (void)AppendPiece(result, L" descr = ", V_BSTR(descriptor.Get()));
    }
    text = std::move(result);
    return true;
}

bool IsSameCommunicationReference(const VARIANT& reference, BSTR stored) noexcept {
    // The same rule as for invoke ids: exactly 36 characters on both sides, letter case ignored.
    return V_VT(&reference) == VT_BSTR && InvokeIdEquals(V_BSTR(&reference), stored);
}
