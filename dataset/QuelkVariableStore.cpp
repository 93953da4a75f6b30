// The store's simple accessors and single-field access.
#include "dataset/QuelkVariableStore.h"

#include "classlib/HResult.h"
#include "dataset/NotificationData.h"
#include "dataset/VariantArguments.h"
#include "values/VariantConversion.h"

namespace {

void SetWord(ql::Variant& out, VARTYPE type, ULONG word) noexcept {
    VARIANT* v = out.Put();
    v->vt = type;
    switch (type) {
        case VT_UI2:
            v->uiVal = static_cast<USHORT>(word);
            break;
        // The persistent flag travels as VT_BOOL holding the stored word (1), not VARIANT_TRUE: readers
        // test it for non-zero.
        case VT_BOOL:
            v->boolVal = static_cast<VARIANT_BOOL>(word);
            break;
        default:
            v->ulVal = word;
            break;
    }
}

HRESULT SetText(ql::Variant& out, const ql::SharedBstr& text) noexcept {
    ql::Bstr copy;
    QL_RETURN_IF_FAILED(copy.AssignCopy(text.Get()));
    out.AttachBstr(copy.Detach());
    return S_OK;
}

// The VARIANT form of one record field, chosen by a single field bit.
HRESULT FieldAsVariant(const CQuelkVariable& record, ULONG mask, ql::Variant& out) noexcept {
    switch (mask) {
        case kFieldIsDeviceParameter:
            SetWord(out, VT_UI4, record.IsDeviceParameter);
            return S_OK;
        case kFieldAddress:
            return out.CopyFrom(*record.Address);
        case kFieldName:
            return SetText(out, record.Name);
        case kFieldNameResourceId:
            SetWord(out, VT_UI4, record.NameResourceId);
            return S_OK;
        case kFieldDataType:
            SetWord(out, VT_UI2, record.DataType);
            return S_OK;
        case kFieldMinValue:
            return out.CopyFrom(*record.MinValue);
        case kFieldMaxValue:
            return out.CopyFrom(*record.MaxValue);
        case kFieldValue:
            return out.CopyFrom(*record.Value);
        case kFieldDefaultValue:
            return out.CopyFrom(*record.DefaultValue);
        case kFieldPersistent:
            SetWord(out, VT_BOOL, record.Persistent);
            return S_OK;
        case kFieldWriteLevel:
            SetWord(out, VT_UI4, record.WriteLevel);
            return S_OK;
        case kFieldSpareWord1:
            SetWord(out, VT_UI4, record.SpareWord1);
            return S_OK;
        case kFieldExportGroup:
            return SetText(out, record.ExportGroup);
        case kFieldExportKind:
            SetWord(out, VT_UI4, record.ExportKind);
            return S_OK;
        case kFieldAccess:
            SetWord(out, VT_UI4, record.Access);
            return S_OK;
        case kFieldDescription:
            return SetText(out, record.Description);
        case kFieldEnumerationEntries:
            return out.CopyFrom(*record.EnumerationEntries);
        case kFieldEnumerationKind:
            SetWord(out, VT_UI2, record.EnumerationKind);
            return S_OK;
        case kFieldDisplayAttribute:
            return out.CopyFrom(*record.DisplayAttribute);
        case kFieldUpdateRule:
            return out.CopyFrom(*record.UpdateRule);
        default:
            return E_FAIL;
    }
}

ULONG* WordField(CQuelkVariable& record, ULONG mask) noexcept {
    switch (mask) {
        case kFieldIsDeviceParameter:
            return &record.IsDeviceParameter;
        case kFieldNameResourceId:
            return &record.NameResourceId;
        case kFieldPersistent:
            return &record.Persistent;
        case kFieldWriteLevel:
            return &record.WriteLevel;
        case kFieldSpareWord1:
            return &record.SpareWord1;
        case kFieldExportKind:
            return &record.ExportKind;
        case kFieldAccess:
            return &record.Access;
        default:
            return nullptr;
    }
}

ql::SharedBstr* TextField(CQuelkVariable& record, ULONG mask) noexcept {
    switch (mask) {
        case kFieldName:
            return &record.Name;
        case kFieldExportGroup:
            return &record.ExportGroup;
        case kFieldDescription:
            return &record.Description;
        default:
            return nullptr;
    }
}

ql::Variant* VariantField(CQuelkVariable& record, ULONG mask) noexcept {
    switch (mask) {
        case kFieldAddress:
            return &record.Address;
        default:
            return nullptr;
    }
}

ql::SharedVariant* SharedVariantField(CQuelkVariable& record, ULONG mask) noexcept {
    switch (mask) {
        case kFieldMinValue:
            return &record.MinValue;
        case kFieldMaxValue:
            return &record.MaxValue;
        case kFieldDefaultValue:
            return &record.DefaultValue;
        case kFieldEnumerationEntries:
            return &record.EnumerationEntries;
        case kFieldDisplayAttribute:
            return &record.DisplayAttribute;
        case kFieldUpdateRule:
            return &record.UpdateRule;
        default:
            return nullptr;
    }
}

// Copies `source` into a caller's out-VARIANT (a null pointer is skipped); the last failure wins.
template <class Owner>
void CopyOut(const Owner& source, VARIANT* out, HRESULT& result) noexcept {
    if (!out) return;
    const HRESULT hr = source.CopyTo(out);
    if (FAILED(hr)) result = hr;
}

}  // namespace

HRESULT CQuelkVariableStore::GetVariableInfo(ULONG id, VARIANT* value, BSTR* name, VARTYPE* type,
                                             VARIANT* minValue, VARIANT* maxValue, VARIANT* defaultValue,
                                             ULONG* access) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    HRESULT result = S_OK;
    CopyOut(record->Value, value, result);
    if (name) {
        const HRESULT hr = record->Name.CopyTo(name);
        if (FAILED(hr)) result = hr;
    }
    if (type) *type = record->DataType;
    CopyOut(record->MinValue, minValue, result);
    CopyOut(record->MaxValue, maxValue, result);
    CopyOut(record->DefaultValue, defaultValue, result);
    if (access) *access = record->Access;
    return result;
}

HRESULT CQuelkVariableStore::SetAddress(ULONG id, const VARIANT& address) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    // As SetVariableField's address: the value itself, whole, never the caller's object.
    QL_RETURN_HR_IF(E_INVALIDARG, !IsWholeValue(address) || HoldsObject(address));
    CQuelkVariable change;
    QL_RETURN_IF_FAILED(change.Address.CopyFrom(address));
    return variables_.SetVariable(id, kFieldAddress, change);
}

HRESULT CQuelkVariableStore::GetAddress(ULONG id, VARIANT* address) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, address == nullptr);
    CQuelkVariable fields;
    QL_RETURN_IF_FAILED(variables_.GetVariable(id, kFieldAddress, &fields));
    return fields.Address.CopyTo(address);
}

HRESULT CQuelkVariableStore::ChangeValue(ULONG id, const VARIANT* value, const ULONG* access) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == kInvalidParameterId);
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    CQuelkVariable change;
    ULONG mask = 0;
    if (value) {
        QL_RETURN_IF_FAILED(ChangeToStoredType(*value, record->DataType, change.Value));
        mask |= kFieldValue;
    }
    if (access) {
        change.Access = *access;
        mask |= kFieldAccess;
    }
    return variables_.SetVariable(id, mask, change);
}

HRESULT CQuelkVariableStore::GetValue(ULONG id, VARIANT* value) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, value == nullptr || id == kInvalidParameterId || variables_.IsEmpty());
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    return record->Value.CopyTo(value);
}

HRESULT CQuelkVariableStore::GetDeviceFlag(ULONG id, ULONG* flag) const noexcept {
    QL_RETURN_IF_NULL_OUT(flag);
    CQuelkVariable fields;
    QL_RETURN_IF_FAILED(variables_.GetVariable(id, kFieldIsDeviceParameter, &fields));
    *flag = fields.IsDeviceParameter;
    return S_OK;
}

HRESULT CQuelkVariableStore::GetCount(ULONG* count) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, count == nullptr);
    *count = variables_.Count();
    return S_OK;
}

HRESULT CQuelkVariableStore::GetVariableAt(int index, ULONG* id) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, id == nullptr);
    QL_RETURN_HR_IF(E_INVALIDARG, index < 0 || static_cast<ULONG>(index) >= variables_.Count());
    CQuelkVariable record;
    QL_RETURN_IF_FAILED(variables_.GetVariableAt(index, &record));
    *id = record.Id();
    return S_OK;
}

HRESULT CQuelkVariableStore::InitNewValues(VARIANT_BOOL* done) noexcept {
    // A new dataset keeps the values the parameter table gave the records.
    QL_RETURN_HR_IF(E_INVALIDARG, done == nullptr);
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkVariableStore::RequestStop(VARIANT_BOOL* wasRunning) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, wasRunning == nullptr);
    *wasRunning = VARIANT_FALSE;
    if (transferRunning_) {
        stopRequested_ = true;
        *wasRunning = VARIANT_TRUE;
    }
    return S_OK;
}

HRESULT CQuelkVariableStore::GetVariableField(ULONG id, ULONG mask, VARIANT* out) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, out == nullptr);
    QL_RETURN_HR_IF(E_FAIL, !IsSingleFieldMask(mask));
    const CQuelkVariable* record = variables_.Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    ql::Variant field;
    QL_RETURN_IF_FAILED(FieldAsVariant(*record, mask, field));
    MoveToOut(out, field);
    return S_OK;
}

HRESULT CQuelkVariableStore::SetVariableField(ULONG id, ULONG mask, const VARIANT& value) noexcept {
    // The data type is fixed at construction; the enumeration kind likewise, but asking to set it is
    // answered like any write of nothing.
    QL_RETURN_HR_IF(E_FAIL, !IsSingleFieldMask(mask) || mask == kFieldDataType);
    // Nor is a text of an odd byte count taken into any field, as SetValue refuses it.
    QL_RETURN_HR_IF(E_INVALIDARG, !IsWholeValue(value));
    CQuelkVariable change;
    if (mask == kFieldValue) {
        // Held as SetValue holds it, in the record's type, since every reader takes the value as it
        // stands; but without SetValue's change test, notification, modified mark or update rule.
        const CQuelkVariable* record = variables_.Find(id);
        QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
        QL_RETURN_IF_FAILED(ConvertForRecord(*record, value, change.Value));
    } else if (ULONG* word = WordField(change, mask)) {
        QL_RETURN_IF_FAILED(VariantToUInt32(value, word));
    } else if (ql::SharedBstr* text = TextField(change, mask)) {
        // A text field takes a text: anything else is converted, never read as a string pointer.
        ql::Variant asText;
        QL_RETURN_IF_FAILED(asText.CopyFrom(value));
        QL_RETURN_IF_FAILED(::VariantChangeType(asText.Get(), asText.Get(), 0, VT_BSTR));
        QL_RETURN_IF_FAILED(text->AssignCopy(asText->bstrVal));
    } else {
        // The other fields keep the value as given, but never the caller's object: every later read
        // would call it.
        QL_RETURN_HR_IF(E_INVALIDARG, HoldsObject(value));
        if (ql::Variant* field = VariantField(change, mask)) {
            QL_RETURN_IF_FAILED(field->CopyFrom(value));
        } else if (ql::SharedVariant* shared = SharedVariantField(change, mask)) {
            QL_RETURN_IF_FAILED(shared->CopyFrom(value));
        }
    }
    return variables_.SetVariable(id, mask, change);
}

HRESULT CQuelkVariableStore::Broadcast(ULONG code, const VARIANT& data) noexcept {
    // Without the DTM object's services there is nobody to tell; the operation goes on as if sent.
    return host_ ? host_->BroadcastNotification(code, data) : S_OK;
}

HRESULT CQuelkVariableStore::BroadcastPair(ULONG code, ULONG id, const VARIANT& second) noexcept {
    ql::Variant pair;
    QL_RETURN_IF_FAILED(MakeIdValuePair(id, second, pair));
    return Broadcast(code, *pair);
}

HRESULT CQuelkVariableStore::IsOnline(bool* online) noexcept {
    *online = false;
    if (!host_) return S_OK;
    ULONG state = 0;
    QL_RETURN_IF_FAILED(host_->GetState(&state));
    *online = state == kStateConnected;
    return S_OK;
}
