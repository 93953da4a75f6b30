#include "dataset/QuelkVariable.h"

#include <deque>
#include <new>

#include "classlib/CriticalSection.h"
#include "classlib/HResult.h"
#include "values/AnsiText.h"
#include "values/VariantConversion.h"

namespace {

// Longest name a string resource may give a record.
constexpr int kNameResourceMaxChars = 255;

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

// A definition value that does not convert to the record's type is dropped rather than kept mistyped:
// every reader of the record relies on Value, bounds and default having DataType. Answers the conversion's
// failure, which only E_OUTOFMEMORY turns into a fault of the record.
HRESULT ConvertOrClear(ql::Variant& field, VARTYPE dataType) noexcept {
    const HRESULT hr = ::VariantChangeType(field.Get(), field.Get(), 0, dataType);
    if (FAILED(hr)) field.Reset();
    return hr;
}

HRESULT CopyConvertedOrClear(ql::SharedVariant& field, const VARIANT& source, VARTYPE dataType) noexcept {
    ql::Variant converted;
    HRESULT hr = converted.CopyFrom(source);
    if (FAILED(hr)) converted.Reset();
    const HRESULT convertedHr = ConvertOrClear(converted, dataType);
    if (SUCCEEDED(hr)) hr = convertedHr;
    const HRESULT assigned = field.Assign(std::move(converted));
    if (FAILED(assigned)) {
        field.Reset();
        return assigned;
    }
    return hr;
}

HRESULT CopyTextOrNull(ql::SharedBstr& target, const wchar_t* text) noexcept {
    if (!text) {
        target.Reset();
        return S_OK;
    }
    return target.Assign(text);
}

}  // namespace

bool VariableHooks::operator==(const VariableHooks& other) const noexcept {
    return OnBeforeSetValue == other.OnBeforeSetValue && OnBeforeRead == other.OnBeforeRead &&
           OnBeforeWrite == other.OnBeforeWrite && OnAfterSetValue == other.OnAfterSetValue &&
           OnAfterRead == other.OnAfterRead && OnAfterWrite == other.OnAfterWrite;
}

const VariableHooks& VariableHooks::None() noexcept {
    static const VariableHooks none;
    return none;
}

const VariableHooks* VariableHooks::Intern(const VariableHooks& hooks) noexcept {
    if (hooks == None()) return &None();
    static ql::CriticalSection lock;
    static std::deque<VariableHooks> kept;  // a deque keeps its elements where they are as it grows
    const ql::CriticalSectionHold hold(lock);
    for (const VariableHooks& known : kept) {
        if (known == hooks) return &known;
    }
    try {
        return &kept.emplace_back(hooks);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

VariableHook VariableHooks::ForEvent(int event) const noexcept {
    switch (event) {
        case kHookBeforeRead:
            return OnBeforeRead;
        case kHookAfterRead:
            return OnAfterRead;
        case kHookBeforeWrite:
            return OnBeforeWrite;
        case kHookAfterWrite:
            return OnAfterWrite;
        case kHookBeforeSetValue:
            return OnBeforeSetValue;
        case kHookAfterSetValue:
            return OnAfterSetValue;
        default:
            return nullptr;
    }
}

HRESULT CopyVariantOrError(ql::Variant& target, const VARIANT& source) noexcept {
    const HRESULT hr = target.CopyFrom(source);
    if (FAILED(hr)) target.SetError(hr);
    return hr;
}

HRESULT CopyVariantOrError(ql::SharedVariant& target, const VARIANT& source) noexcept {
    const HRESULT hr = target.CopyFrom(source);
    if (FAILED(hr)) target.SetError(hr);
    return hr;
}

CQuelkVariable::CQuelkVariable(ULONG isDeviceParameter, ULONG id, const VARIANT& address, const wchar_t* name,
                               ULONG nameResourceId, VARTYPE dataType, const VARIANT& minValue,
                               const VARIANT& maxValue, const VARIANT& defaultValue, const VARIANT& value,
                               ULONG persistent, ULONG access, ULONG writeLevel, ULONG spareWord1,
                               const wchar_t* exportGroup, ULONG exportKind, const wchar_t* description,
                               USHORT enumerationKind, const VARIANT& enumerationEntries,
                               const VARIANT& displayAttribute, const VARIANT& updateRule,
                               const VariableHooks& hooks)
    : IsDeviceParameter(isDeviceParameter),
      NameResourceId(nameResourceId),
      DataType(dataType),
      EnumerationKind(enumerationKind),
      Persistent(persistent),
      Access(access),
      WriteLevel(writeLevel),
      SpareWord1(spareWord1),
      ExportKind(exportKind),
      id_(id) {
    if (const VariableHooks* kept = VariableHooks::Intern(hooks)) {
        Hooks = kept;
    } else {
        NoteOutOfMemory(E_OUTOFMEMORY);
    }
    NoteOutOfMemory(CopyVariantOrError(Address, address));
    NoteOutOfMemory(CopyTextOrNull(Name, name));
    NoteOutOfMemory(CopyTextOrNull(Description, description));
    NoteOutOfMemory(CopyTextOrNull(ExportGroup, exportGroup));
    NoteOutOfMemory(CopyVariantOrError(Value, value));
    NoteOutOfMemory(CopyVariantOrError(EnumerationEntries, enumerationEntries));
    NoteOutOfMemory(CopyVariantOrError(DisplayAttribute, displayAttribute));
    NoteOutOfMemory(CopyVariantOrError(UpdateRule, updateRule));

    NoteOutOfMemory(ConvertOrClear(Value, dataType));
    NoteOutOfMemory(CopyConvertedOrClear(MinValue, minValue, dataType));
    NoteOutOfMemory(CopyConvertedOrClear(MaxValue, maxValue, dataType));
    NoteOutOfMemory(CopyConvertedOrClear(DefaultValue, defaultValue, dataType));

    if (nameResourceId != 0) {
        char resourceText[kNameResourceMaxChars + 1] = {};
        if (::LoadStringA(ThisModule(), nameResourceId, resourceText, sizeof resourceText) > 0) {
            ql::Bstr resourceName;
            HRESULT hr = AnsiToBstr(resourceText, resourceName);
            if (SUCCEEDED(hr)) hr = Name.AssignCopy(resourceName.Get());
            NoteOutOfMemory(hr);
        }
    }
}

// Every dataset starts as copies of the defined records: the shared fields are taken in construction, not
// made empty first and then assigned.
CQuelkVariable::CQuelkVariable(const CQuelkVariable& other) noexcept
    : IsDeviceParameter(other.IsDeviceParameter),
      Name(other.Name),
      NameResourceId(other.NameResourceId),
      Description(other.Description),
      DataType(other.DataType),
      EnumerationKind(other.EnumerationKind),
      MinValue(other.MinValue),
      MaxValue(other.MaxValue),
      DefaultValue(other.DefaultValue),
      EnumerationEntries(other.EnumerationEntries),
      Persistent(other.Persistent),
      Access(other.Access),
      WriteLevel(other.WriteLevel),
      SpareWord1(other.SpareWord1),
      ExportGroup(other.ExportGroup),
      ExportKind(other.ExportKind),
      DisplayAttribute(other.DisplayAttribute),
      UpdateRule(other.UpdateRule),
      Hooks(other.Hooks),
      id_(other.id_),
      built_(other.built_) {
    NoteOutOfMemory(CopyVariantOrError(Address, *other.Address));
    NoteOutOfMemory(CopyVariantOrError(Value, *other.Value));
}

CQuelkVariable& CQuelkVariable::operator=(const CQuelkVariable& other) noexcept {
    if (this == &other) return *this;
    IsDeviceParameter = other.IsDeviceParameter;
    id_ = other.id_;
    built_ = other.built_;
    NoteOutOfMemory(CopyVariantOrError(Address, *other.Address));
    Name = other.Name;
    NameResourceId = other.NameResourceId;
    Description = other.Description;
    DataType = other.DataType;
    EnumerationKind = other.EnumerationKind;
    MinValue = other.MinValue;
    MaxValue = other.MaxValue;
    DefaultValue = other.DefaultValue;
    NoteOutOfMemory(CopyVariantOrError(Value, *other.Value));
    EnumerationEntries = other.EnumerationEntries;
    Persistent = other.Persistent;
    Access = other.Access;
    WriteLevel = other.WriteLevel;
    SpareWord1 = other.SpareWord1;
    ExportGroup = other.ExportGroup;
    ExportKind = other.ExportKind;
    DisplayAttribute = other.DisplayAttribute;
    UpdateRule = other.UpdateRule;
    Hooks = other.Hooks;
    return *this;
}

HRESULT CQuelkVariable::TypedValue(ql::Variant& out) const noexcept {
    if (SUCCEEDED(ChangeToStoredType(*Value, DataType, out))) return S_OK;
    return out.CopyFrom(*Value);
}
