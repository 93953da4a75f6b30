#include "dataset/QuelkVariableList.h"

#include "classlib/HResult.h"

namespace {

// One selectable field of a record and how to copy it. The two orders below are the orders in which a
// read and a write visit the fields; a failure stops the walk with the fields before it already copied.
struct FieldCopy {
    ULONG mask;
    HRESULT (*copy)(CQuelkVariable& target, const CQuelkVariable& source) noexcept;
};

template <ql::Variant CQuelkVariable::*Field>
HRESULT CopyVariantField(CQuelkVariable& target, const CQuelkVariable& source) noexcept {
    return (target.*Field).CopyFrom(*(source.*Field));
}

template <ql::SharedVariant CQuelkVariable::*Field>
HRESULT ShareVariantField(CQuelkVariable& target, const CQuelkVariable& source) noexcept {
    target.*Field = source.*Field;
    return S_OK;
}

template <ql::SharedBstr CQuelkVariable::*Field>
HRESULT ShareTextField(CQuelkVariable& target, const CQuelkVariable& source) noexcept {
    target.*Field = source.*Field;
    return S_OK;
}

template <class T, T CQuelkVariable::*Field>
HRESULT CopyWordField(CQuelkVariable& target, const CQuelkVariable& source) noexcept {
    target.*Field = source.*Field;
    return S_OK;
}

constexpr FieldCopy kIsDeviceParameter{kFieldIsDeviceParameter,
                                       CopyWordField<ULONG, &CQuelkVariable::IsDeviceParameter>};
constexpr FieldCopy kAddress{kFieldAddress, CopyVariantField<&CQuelkVariable::Address>};
constexpr FieldCopy kName{kFieldName, ShareTextField<&CQuelkVariable::Name>};
constexpr FieldCopy kNameResourceId{kFieldNameResourceId,
                                    CopyWordField<ULONG, &CQuelkVariable::NameResourceId>};
constexpr FieldCopy kDataType{kFieldDataType, CopyWordField<VARTYPE, &CQuelkVariable::DataType>};
constexpr FieldCopy kEnumerationKind{kFieldEnumerationKind,
                                     CopyWordField<USHORT, &CQuelkVariable::EnumerationKind>};
constexpr FieldCopy kMinValue{kFieldMinValue, ShareVariantField<&CQuelkVariable::MinValue>};
constexpr FieldCopy kMaxValue{kFieldMaxValue, ShareVariantField<&CQuelkVariable::MaxValue>};
constexpr FieldCopy kValue{kFieldValue, CopyVariantField<&CQuelkVariable::Value>};
constexpr FieldCopy kDefaultValue{kFieldDefaultValue, ShareVariantField<&CQuelkVariable::DefaultValue>};
constexpr FieldCopy kPersistent{kFieldPersistent, CopyWordField<ULONG, &CQuelkVariable::Persistent>};
constexpr FieldCopy kWriteLevel{kFieldWriteLevel, CopyWordField<ULONG, &CQuelkVariable::WriteLevel>};
constexpr FieldCopy kSpareWord1{kFieldSpareWord1, CopyWordField<ULONG, &CQuelkVariable::SpareWord1>};
constexpr FieldCopy kExportGroup{kFieldExportGroup, ShareTextField<&CQuelkVariable::ExportGroup>};
constexpr FieldCopy kExportKind{kFieldExportKind, CopyWordField<ULONG, &CQuelkVariable::ExportKind>};
constexpr FieldCopy kAccess{kFieldAccess, CopyWordField<ULONG, &CQuelkVariable::Access>};
constexpr FieldCopy kDescription{kFieldDescription, ShareTextField<&CQuelkVariable::Description>};
constexpr FieldCopy kEnumerationEntries{kFieldEnumerationEntries,
                                        ShareVariantField<&CQuelkVariable::EnumerationEntries>};
constexpr FieldCopy kDisplayAttribute{kFieldDisplayAttribute,
                                      ShareVariantField<&CQuelkVariable::DisplayAttribute>};
constexpr FieldCopy kUpdateRule{kFieldUpdateRule, ShareVariantField<&CQuelkVariable::UpdateRule>};

constexpr FieldCopy kReadOrder[] = {
    kIsDeviceParameter, kAddress,     kName,       kNameResourceId, kDataType,    kEnumerationKind,
    kMinValue,          kMaxValue,    kValue,      kDefaultValue,   kPersistent,  kWriteLevel,
    kSpareWord1,        kExportGroup, kExportKind, kAccess,         kDescription, kEnumerationEntries,
    kDisplayAttribute,  kUpdateRule,
};

// The data type and the enumeration kind are fixed at construction: a write never visits them.
constexpr FieldCopy kWriteOrder[] = {
    kAddress,      kName,       kNameResourceId,    kMinValue,           kMaxValue,         kValue,
    kDefaultValue, kAccess,     kIsDeviceParameter, kPersistent,         kWriteLevel,       kSpareWord1,
    kExportGroup,  kExportKind, kDescription,       kEnumerationEntries, kDisplayAttribute, kUpdateRule,
};

template <size_t N>
HRESULT CopySelectedFields(const FieldCopy (&order)[N], ULONG mask, CQuelkVariable& target,
                           const CQuelkVariable& source) noexcept {
    for (const FieldCopy& field : order) {
        if (mask & field.mask) QL_RETURN_IF_FAILED(field.copy(target, source));
    }
    return S_OK;
}

}  // namespace

int CQuelkVariableList::FindById(ULONG id) const noexcept {
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i].Id() == id) return static_cast<int>(i);
    }
    return -1;
}

const CQuelkVariable* CQuelkVariableList::Find(ULONG id) const noexcept {
    const int index = FindById(id);
    return index < 0 ? nullptr : &records_[static_cast<size_t>(index)];
}

const CQuelkVariable* CQuelkVariableList::At(int index) const noexcept {
    if (index < 0 || static_cast<size_t>(index) >= records_.size()) return nullptr;
    return &records_[static_cast<size_t>(index)];
}

HRESULT CQuelkVariableList::GetVariable(ULONG id, ULONG mask, CQuelkVariable* out) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, out == nullptr);
    const CQuelkVariable* record = Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    return CopySelectedFields(kReadOrder, mask, *out, *record);
}

HRESULT CQuelkVariableList::SetVariable(ULONG id, ULONG mask, const CQuelkVariable& record) noexcept {
    const int index = FindById(id);
    QL_RETURN_HR_IF(E_INVALIDARG, index < 0);
    CQuelkVariable& stored = records_[static_cast<size_t>(index)];
    return CopySelectedFields(kWriteOrder, mask, stored, record);
}

HRESULT CQuelkVariableList::SetValueAndAccessAt(int index, ql::Variant* value, ULONG access) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, index < 0 || static_cast<size_t>(index) >= records_.size());
    CQuelkVariable& stored = records_[static_cast<size_t>(index)];
    if (value) stored.Value = std::move(*value);
    stored.Access = access;
    return S_OK;
}

HRESULT CQuelkVariableList::SetText(int index, ULONG field, const ql::SharedBstr& text) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, index < 0 || static_cast<size_t>(index) >= records_.size());
    CQuelkVariable& record = records_[static_cast<size_t>(index)];
    switch (field) {
        case kFieldName:
            record.Name = text;
            return S_OK;
        case kFieldDescription:
            record.Description = text;
            return S_OK;
        default:
            return E_INVALIDARG;
    }
}

HRESULT CQuelkVariableList::GetVariableAt(int index, CQuelkVariable* out) const noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, out == nullptr);
    QL_RETURN_HR_IF(E_INVALIDARG, index < 0 || static_cast<size_t>(index) >= records_.size());
    *out = records_[static_cast<size_t>(index)];
    return S_OK;
}

HRESULT CQuelkVariableList::Add(const CQuelkVariable& record) noexcept {
    if (FindById(record.Id()) >= 0) return S_OK;
    QL_RETURN_IF_FAILED(record.BuildResult());
    return ql::GuardComCall([&]() -> HRESULT {
        records_.push_back(record);
        // The copy itself can run out of memory; a record missing its value must not join the dataset.
        const HRESULT copied = records_.back().BuildResult();
        if (FAILED(copied)) records_.pop_back();
        return copied;
    });
}

HRESULT CQuelkVariableList::CopyAll(const CQuelkVariableList& source) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !records_.empty());
    const HRESULT copied = ql::GuardComCall([&]() -> HRESULT {
        records_ = source.records_;
        return S_OK;
    });
    QL_RETURN_IF_FAILED(copied);
    // A record whose copy ran out of memory makes no dataset: the list stays empty, as it was.
    for (const CQuelkVariable& record : records_) {
        if (FAILED(record.BuildResult())) {
            const HRESULT failed = record.BuildResult();
            records_.clear();
            return failed;
        }
    }
    return S_OK;
}

HRESULT CQuelkVariableList::RunHook(ULONG id, int event, IQuelkVariablesEx* store) const noexcept {
    const CQuelkVariable* record = Find(id);
    QL_RETURN_HR_IF(E_INVALIDARG, record == nullptr);
    QL_RETURN_HR_IF(E_INVALIDARG, event < kHookBeforeRead || event > kHookAfterSetValue);
    const VariableHook hook = record->Hooks->ForEvent(event);
    if (!hook) return S_FALSE;
    return hook(store, id);
}
