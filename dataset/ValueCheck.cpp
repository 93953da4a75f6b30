// The value check: whether a value suits a parameter (range, enumeration code or bit-enumeration bits)
// and whether it differs from the dataset, answered in the bit layout of the access word.
#include "classlib/HResult.h"
#include "dataset/QuelkVariableStore.h"
#include "values/EnumEntries.h"
#include "values/PlainNumber.h"
#include "values/ValueComparison.h"

namespace {

bool HasNoRangeTest(VARTYPE type) noexcept {
    return type == VT_BSTR || type == VT_BOOL || type == kByteArray;
}

// A copy of `value` as `type` by the platform's rules (user locale); false when it does not convert.
bool ChangeCopy(const VARIANT& value, VARTYPE type, ql::Variant& out) noexcept {
    if (FAILED(out.CopyFrom(value))) return false;
    return SUCCEEDED(::VariantChangeType(out.Get(), out.Get(), 0, type)) && out.Type() == type;
}

// `value` as VT_R8 by the platform's rules; false when it does not convert. Plain numbers are read
// directly, as the platform would convert them.
bool AsDouble(const VARIANT& value, double& number) noexcept {
    if (PlainNumberAsDouble(value, &number)) return true;
    ql::Variant converted;
    if (!ChangeCopy(value, VT_R8, converted)) return false;
    number = converted->dblVal;
    return true;
}

bool IsInRange(const CQuelkVariable& record, const VARIANT& value) noexcept {
    if (HasNoRangeTest(record.DataType)) return true;
    // Before the bounds: a record without a range would take a device's NaN, and the pages would convert,
    // write and store it as a size.
    if (IsNonFiniteNumber(value)) return false;
    if (IsVariantEqual(*record.MinValue, *record.MaxValue)) return true;  // equal bounds: no range
    double number = 0, lower = 0, upper = 0;
    if (!AsDouble(value, number) || !AsDouble(*record.MinValue, lower) ||
        !AsDouble(*record.MaxValue, upper)) {
        return false;
    }
    return lower <= number && number <= upper;
}

bool IsEnumerationCode(const CQuelkVariable& record, const VARIANT& value) noexcept {
    ql::Variant typed, code;
    if (!ChangeCopy(value, record.DataType, typed) || !ChangeCopy(*typed, VT_I4, code)) return false;
    ULONG index = 0;
    ql::Bstr text;
    return GetEnumEntryByValue(*record.EnumerationEntries, code->lVal, &index, text.Put());
}

}  // namespace

HRESULT CQuelkVariableStore::CheckBitEnumValue(const CQuelkVariable& record, const VARIANT& value,
                                               bool* accepted) const noexcept {
    *accepted = false;
    ql::Variant bits;
    QL_RETURN_IF_FAILED(bits.CopyFrom(value));
    QL_RETURN_IF_FAILED(::VariantChangeType(bits.Get(), bits.Get(), 0, VT_UI4));
    ULONG count = 0;
    QL_RETURN_IF_FAILED(GetEnumListCount(*record.EnumerationEntries, &count));
    ULONG mask = 0;
    for (ULONG i = 0; i < count; ++i) {
        LONG code = 0;
        ql::Bstr text;
        QL_RETURN_IF_FAILED(GetEnumListEntry(*record.EnumerationEntries, i, &code, text.Put()));
        mask |= static_cast<ULONG>(code);
    }
    // With no entries the mask is empty and only 0 passes.
    *accepted = (bits->ulVal & ~mask) == 0;
    return S_OK;
}

HRESULT CQuelkVariableStore::CheckValue(ULONG id, const VARIANT& value, ULONG* flags) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, flags == nullptr);
    *flags = kAccessNoCheck;
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    return CheckRecordValue(*record, value, flags);
}

HRESULT CQuelkVariableStore::CheckRecordValue(const CQuelkVariable& found, const VARIANT& value,
                                              ULONG* flags) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, flags == nullptr);
    // A reference is judged as the value it refers to: compared as it stands, an equal value would differ.
    // One that cannot be followed is judged as it stands, as any value of another type.
    if (V_VT(&value) & VT_BYREF) {
        ql::Variant referred;
        if (SUCCEEDED(referred.CopyFrom(value))) return CheckRecordValue(found, *referred, flags);
    }
    const CQuelkVariable* record = &found;
    *flags = record->Access;
    if (record->Access & kAccessNoCheck) return S_OK;

    bool accepted = false;
    switch (record->EnumerationKind) {
        case kEnumerationNone:
            accepted = IsInRange(*record, value);
            break;
        case kEnumerationList:
            QL_RETURN_HR_IF(E_FAIL, record->EnumerationEntries.Type() != (VT_ARRAY | VT_BSTR));
            accepted = IsEnumerationCode(*record, value);
            break;
        case kEnumerationBits:
            QL_RETURN_IF_FAILED(CheckBitEnumValue(*record, value, &accepted));
            break;
        default:
            return E_FAIL;
    }
    if (accepted) {
        *flags &= ~kAccessRejected;
    } else {
        *flags |= kAccessRejected;
    }
    // An equal value leaves 0x02 as the access word has it: the value may still be waiting for the device.
    if (!IsVariantEqual(*record->Value, value)) *flags |= kAccessDiffers;
    return S_OK;
}

HRESULT CQuelkVariableStore::CheckAndMark(ULONG id, const VARIANT& value, VARIANT_BOOL* done) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, done == nullptr);
    *done = VARIANT_FALSE;
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    // A record the check does not cover is answered as done, and nothing is stored.
    if (record->Access & kAccessNoCheck) {
        *done = VARIANT_TRUE;
        return S_OK;
    }
    // A value SetValue refuses is refused before anything is marked. One it takes is judged as it will
    // be kept (a byte string given for a number keeps its first byte), since the mark goes with the kept
    // value and every load judges that value again.
    ql::Variant kept;
    QL_RETURN_IF_FAILED(ConvertForRecord(*record, value, kept));
    ULONG flags = 0;
    QL_RETURN_IF_FAILED(CheckRecordValue(*record, *kept, &flags));

    // A rejected value is stored all the same, marked 0x04: the page shows it as invalid and the next
    // check of the parameter starts from these bits.
    const ULONG before = record->Access;
    CQuelkVariable change;
    change.Access = flags;
    QL_RETURN_IF_FAILED(variables_.SetVariable(id, kFieldAccess, change));
    bool stored = false;
    const HRESULT set = SetValue(id, value, &stored);
    if (FAILED(set) && !stored) {
        // The flags describe a value that never reached the dataset (a hook refused it): the record keeps
        // its old word, or a good value would show as rejected and waiting for the device.
        change.Access = before;
        (void)variables_.SetVariable(id, kFieldAccess, change);
    }
    QL_RETURN_IF_FAILED(set);
    *done = VARIANT_TRUE;
    return S_OK;
}
