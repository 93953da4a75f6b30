// The VARIANT-id forms of IQuelkVariables and the VARIANT forms of IQuelkVariableFields and
// IQuelkValueCheck: each converts its numbers to VT_UI4 and calls the u32 form of its slot.
#include "dataset/QuelkVariableStorePart.h"
#include "dataset/VariantArguments.h"

namespace {

// Writes a u32 result into a caller's out-VARIANT as VT_UI4.
void PutUInt32(VARIANT* out, ULONG number) noexcept {
    ql::Variant result;
    result.SetUI4(number);
    MoveToOut(out, result);
}

}  // namespace

HRESULT CQuelkVariableStorePart::ReadFromDeviceAsync(VARIANT id, VARIANT_BOOL* sent) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return ReadFromDeviceAsync(number, sent);
}

HRESULT CQuelkVariableStorePart::WriteToDeviceAsync(VARIANT id, VARIANT value, VARIANT_BOOL* sent) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return WriteToDeviceAsync(number, value, sent);
}

HRESULT CQuelkVariableStorePart::GetVariableInfo(VARIANT id, VARIANT* value, BSTR* name, VARTYPE* type,
                                                 VARIANT* minValue, VARIANT* maxValue, VARIANT* defaultValue,
                                                 VARIANT* access) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    ULONG accessWord = 0;
    const HRESULT hr = GetVariableInfo(number, value, name, type, minValue, maxValue, defaultValue,
                                       access ? &accessWord : nullptr);
    if (SUCCEEDED(hr) && access) PutUInt32(access, accessWord);
    return hr;
}

HRESULT CQuelkVariableStorePart::OnDeviceResult(VARIANT_BOOL ok, VARIANT id, VARIANT value,
                                                BSTR errorText) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return OnDeviceResult(ok, number, value, errorText);
}

HRESULT CQuelkVariableStorePart::GetAddress(VARIANT id, VARIANT* address) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return GetAddress(number, address);
}

HRESULT CQuelkVariableStorePart::ChangeValue(VARIANT id, VARIANT* value, VARIANT* access) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    // The access argument is an input: the new access word, taken through the same conversion.
    ULONG accessWord = 0;
    if (access) QL_RETURN_IF_FAILED(VariantToUInt32(*access, &accessWord));
    return ChangeValue(number, value, access ? &accessWord : nullptr);
}

HRESULT CQuelkVariableStorePart::GetValue(VARIANT id, VARIANT* value) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return GetValue(number, value);
}

HRESULT CQuelkVariableStorePart::SetValue(VARIANT id, VARIANT value) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return SetValue(number, value);
}

HRESULT CQuelkVariableStorePart::SetAddress(VARIANT id, VARIANT address) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return SetAddress(number, address);
}

HRESULT CQuelkVariableStorePart::GetDeviceFlag(VARIANT id, VARIANT* flag) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    QL_RETURN_IF_NULL_OUT(flag);
    ULONG word = 0;
    QL_RETURN_IF_FAILED(GetDeviceFlag(number, &word));
    PutUInt32(flag, word);
    return S_OK;
}

HRESULT CQuelkVariableStorePart::ReadFromDevice(VARIANT id, VARIANT_BOOL* result) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return ReadFromDevice(number, result);
}

HRESULT CQuelkVariableStorePart::WriteToDevice(VARIANT id, VARIANT value, VARIANT_BOOL* result) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return WriteToDevice(number, value, result);
}

HRESULT CQuelkVariableStorePart::GetCountVariant(VARIANT* count) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, count == nullptr);
    ULONG number = 0;
    QL_RETURN_IF_FAILED(GetCount(&number));
    PutUInt32(count, number);
    return S_OK;
}

HRESULT CQuelkVariableStorePart::GetVariableAtVariant(VARIANT index, VARIANT* id) noexcept {
    ULONG position = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(index, &position));
    QL_RETURN_HR_IF(E_INVALIDARG, id == nullptr);
    ULONG number = 0;
    // An index beyond INT_MAX turns negative and is refused as out of range.
    QL_RETURN_IF_FAILED(GetVariableAt(static_cast<INT>(position), &number));
    PutUInt32(id, number);
    return S_OK;
}

HRESULT CQuelkVariableStorePart::GetVariableField(VARIANT id, VARIANT mask, VARIANT* out) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, out == nullptr);
    ULONG number = 0, fieldMask = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    QL_RETURN_IF_FAILED(VariantToUInt32(mask, &fieldMask));
    return store_.GetVariableField(number, fieldMask, out);
}

HRESULT CQuelkVariableStorePart::SetVariableField(VARIANT id, VARIANT mask, VARIANT value) noexcept {
    ULONG number = 0, fieldMask = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    QL_RETURN_IF_FAILED(VariantToUInt32(mask, &fieldMask));
    return store_.SetVariableField(number, fieldMask, value);
}

HRESULT CQuelkVariableStorePart::CheckValue(VARIANT id, VARIANT value, ULONG* flags) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, flags == nullptr);
    *flags = kAccessNoCheck;
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return store_.CheckValue(number, value, flags);
}

HRESULT CQuelkVariableStorePart::CheckAndMark(VARIANT id, VARIANT value, VARIANT_BOOL* done) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, done == nullptr);
    *done = VARIANT_FALSE;
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return store_.CheckAndMark(number, value, done);
}
