#include "values/VariantConversion.h"

#include <utility>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "values/ArrayConversion.h"
#include "values/HexText.h"

namespace {

// The flags VariantChangeTypeEx is given: the five it defines.
constexpr USHORT kPlatformFlagMask = 0x1F;

// Puts `result` in place of what `destination` held, which is released (when converting in place, that
// is the source's old value).
HRESULT Commit(VARIANT* destination, ql::Variant& result) noexcept {
    ql::Variant old;
    old.Attach(*destination);
    return result.Detach(destination);
}

HRESULT CommitArray(VARIANT* destination, VARTYPE wanted, ql::SafeArray& array) noexcept {
    ql::Variant result;
    result.AttachArray(static_cast<VARTYPE>(wanted & ~VT_ARRAY), array.Detach());
    return Commit(destination, result);
}

bool IsEmptyText(const VARIANT& value) noexcept {
    return V_VT(&value) == VT_BSTR && (!value.bstrVal || value.bstrVal[0] == L'\0');
}

// The types an empty text converts to as zero (or false). VT_DECIMAL is not among them.
bool TakesEmptyTextAsZero(VARTYPE wanted) noexcept {
    return (wanted >= VT_I2 && wanted <= VT_DATE) || (wanted >= VT_I1 && wanted <= VT_UINT) ||
           wanted == VT_BOOL;
}

HRESULT EmptyTextToZero(VARIANT* destination, VARTYPE wanted) noexcept {
    ql::Variant zero;
    zero.SetI4(0);
    ql::Variant result;
    QL_RETURN_IF_FAILED(::VariantChangeType(result.Get(), zero.Get(), 0, wanted));
    return Commit(destination, result);
}

HRESULT ByteArrayToText(VARIANT* destination, const VARIANT* source) noexcept {
    ql::Bstr text;
    QL_RETURN_IF_FAILED(BytesToHexBstr(source, text.Put(), FALSE));
    ql::Variant result;
    result.AttachBstr(text.Detach());
    return Commit(destination, result);
}

HRESULT TextToByteArray(VARIANT* destination, const VARIANT* source) noexcept {
    ql::Variant result;
    QL_RETURN_IF_FAILED(HexBstrToByteArray(result.Get(), source->bstrVal, TRUE));
    return Commit(destination, result);
}

// The platform refused a conversion to an array.
HRESULT ConvertToArray(VARIANT* destination, const VARIANT* source, VARTYPE wanted, LCID lcid,
                       USHORT flags) noexcept {
    const VARTYPE sourceType = V_VT(source);
    const VARTYPE elementType = static_cast<VARTYPE>(wanted & ~VT_ARRAY);
    ql::SafeArray array;
    if (sourceType == VT_EMPTY || sourceType == VT_NULL) {
        QL_RETURN_IF_FAILED(MakeEmptyArray(elementType, array));
    } else if (!(sourceType & VT_ARRAY)) {
        QL_RETURN_IF_FAILED(WrapScalarInArray(*source, elementType, lcid, flags, array));
    } else {
        QL_RETURN_HR_IF(E_INVALIDARG, !source->parray);
        QL_RETURN_IF_FAILED(ConvertSafeArray(source->parray, array.Put(),
                                             static_cast<VARTYPE>(sourceType & ~VT_ARRAY), elementType));
    }
    return CommitArray(destination, wanted, array);
}

// The platform refused a conversion to a scalar: an array gives its first element.
HRESULT ConvertToScalar(VARIANT* destination, const VARIANT* source, VARTYPE wanted, LCID lcid, USHORT flags,
                        HRESULT refusal) noexcept {
    const VARTYPE sourceType = V_VT(source);
    if (!(sourceType & VT_ARRAY)) return refusal;
    ql::Variant result;
    QL_RETURN_IF_FAILED(FirstElementToScalar(source->parray, static_cast<VARTYPE>(sourceType & ~VT_ARRAY),
                                             wanted, lcid, flags, result));
    return Commit(destination, result);
}

}  // namespace

HRESULT ConvertVariantType(VARIANT* destination, const VARIANT* source, VARTYPE wanted, LCID lcid,
                           USHORT flags) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !destination || !source);
    if (V_VT(source) & VT_BYREF) {
        // Converted as the value referred to, by the same rules: the platform follows a reference but
        // without the additions, and would read a referred text into a byte array as its raw bytes.
        ql::Variant referred;
        QL_RETURN_IF_FAILED(referred.CopyFrom(*source));
        return ConvertVariantType(destination, referred.Get(), wanted, lcid, flags);
    }
    const VARTYPE sourceType = V_VT(source);
    if (sourceType == wanted) {
        if (destination == source) return S_OK;
        ql::Variant copy;
        QL_RETURN_IF_FAILED(copy.CopyFrom(*source));
        return Commit(destination, copy);
    }
    if (IsEmptyText(*source) && TakesEmptyTextAsZero(wanted)) return EmptyTextToZero(destination, wanted);
    if (wanted == VT_BSTR && sourceType == kByteArrayType) return ByteArrayToText(destination, source);
    if (wanted == kByteArrayType && sourceType == VT_BSTR) return TextToByteArray(destination, source);

    // The platform copies the source before it converts it, arrays included.
    QL_RETURN_HR_IF(DISP_E_TYPEMISMATCH, FAILED(ql::CheckPlatformCopy(*source)));
    ql::Variant converted;
    const HRESULT platformResult =
        ::VariantChangeTypeEx(converted.Get(), const_cast<VARIANT*>(source), lcid,
                              static_cast<USHORT>(flags & kPlatformFlagMask), wanted);
    if (SUCCEEDED(platformResult)) {
        QL_RETURN_IF_FAILED(Commit(destination, converted));
        return platformResult;
    }
    if (wanted & VT_ARRAY) return ConvertToArray(destination, source, wanted, lcid, flags);
    return ConvertToScalar(destination, source, wanted, lcid, flags, platformResult);
}

bool IsStoredForm(const VARIANT& value, VARTYPE type) noexcept {
    if (type == kByteArrayType) {
        return V_VT(&value) == kByteArrayType && V_ARRAY(&value) != nullptr &&
               ql::HoldsBytes(*V_ARRAY(&value)) && V_ARRAY(&value)->cDims == 1;
    }
    return IsWholeValue(value);
}

HRESULT ChangeToStoredType(const VARIANT& value, VARTYPE type, ql::Variant& out) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !IsWholeValue(value));
    ql::Variant converted;
    QL_RETURN_IF_FAILED(converted.CopyFrom(value));
    QL_RETURN_IF_FAILED(converted.ChangeType(type, LOCALE_USER_DEFAULT, 0));
    QL_RETURN_HR_IF(E_INVALIDARG, !IsStoredForm(*converted, type));
    out = std::move(converted);
    return S_OK;
}
