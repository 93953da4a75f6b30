// The store's three definition operations: one table row in, one record added to the list.
#include "dataset/ParameterDefinition.h"

#include <utility>

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "dataset/QuelkVariableStore.h"
#include "values/AnsiText.h"
#include "values/HexText.h"
#include "values/MessageFormat.h"
#include "values/VariantConversion.h"

namespace {

// The value VARIANTs of one definition, before the record's constructor converts them to the data type.
struct DefinitionValues {
    ql::Variant minValue;
    ql::Variant maxValue;
    ql::Variant defaultValue;
    ql::Variant value;
};

// The address as the table gives it, taken as unsigned. The negative numbers of internal items must not
// convert: such an item has no address, and the frame is told when one is attached. VarUI4FromI4 refuses
// them with DISP_E_OVERFLOW everywhere, whereas Wine's VariantChangeType reinterprets a negative VT_I4 as
// unsigned and would give internal items the address 0xFFFFFFFF.
void MakeAddress(const ParameterDefinition& definition, CQuelkMessageSink* sink,
                 ql::Variant& address) noexcept {
    ULONG unsignedAddress = 0;
    const HRESULT hr = ::VarUI4FromI4(definition.Address, &unsignedAddress);
    if (SUCCEEDED(hr)) {
        address.SetUI4(unsignedAddress);
        return;
    }
    address.Reset();
    ReportDtmMessage(sink, "Init parameter %s: address change type returns %d",
                     definition.Name ? definition.Name : "", static_cast<int>(hr));
}

// The "code;text" entries up to the first empty string as an EnumEntryArray; VT_EMPTY when there is none
// or the array cannot be filled completely.
void MakeEntryList(const char* const* entries, ql::Variant& out) noexcept {
    out.Reset();
    if (!entries) return;
    ULONG count = 0;
    while (entries[count] && *entries[count]) ++count;
    if (count == 0) return;
    ql::SafeArray array;
    if (FAILED(array.Create(VT_BSTR, count))) return;
    for (ULONG i = 0; i < count; ++i) {
        ql::Bstr entry;
        if (FAILED(AnsiToBstr(entries[i], entry))) return;
        LONG index = static_cast<LONG>(i);
        if (FAILED(::SafeArrayPutElement(array.Get(), &index, entry.Get()))) return;
    }
    out.AttachArray(VT_BSTR, array.Detach());
}

// Builds the record from the finished value VARIANTs and adds it (a second definition of an id is ignored).
void AddRecord(CQuelkVariableList* list, const ParameterDefinition& definition, CQuelkMessageSink* sink,
               const DefinitionValues& values, ULONG access) noexcept {
    ql::Variant address;
    MakeAddress(definition, sink, address);

    ql::Variant displayAttribute;
    if (definition.DisplayAttribute != 0) displayAttribute.SetUI4(definition.DisplayAttribute);

    ql::Variant updateRule;
    ql::Bstr updateRuleText;
    (void)AnsiToBstr(definition.UpdateRule ? definition.UpdateRule : "", updateRuleText);
    updateRule.AttachBstr(updateRuleText.Detach());

    ql::Variant entries;
    MakeEntryList(definition.Entries, entries);

    ql::Bstr name, exportGroup, description;
    (void)AnsiToBstr(definition.Name ? definition.Name : "", name);
    (void)AnsiToBstr(definition.ExportGroup ? definition.ExportGroup : "", exportGroup);
    (void)AnsiToBstr(definition.Description ? definition.Description : "", description);

    const CQuelkVariable record(definition.IsDeviceParameter, definition.Id, *address, name.Get(),
                                definition.NameResourceId, definition.DataType, *values.minValue,
                                *values.maxValue, *values.defaultValue, *values.value, definition.Persistent,
                                access, definition.WriteLevel, definition.SpareWord1, exportGroup.Get(),
                                definition.ExportKind, description.Get(), definition.EnumerationKind,
                                *entries, *displayAttribute, *updateRule, definition.Hooks);
    if (list) (void)list->Add(record);
}

}  // namespace

bool DoubleToVariant(double number, VARTYPE type, ql::Variant& out) noexcept {
    out.Reset();
    ql::Variant source;
    source.SetR8(number);
    ql::Variant converted;
    if (FAILED(ConvertVariantType(converted.Get(), source.Get(), type, 0, 0)) || converted.Type() != type) {
        return false;
    }
    out = std::move(converted);
    return true;
}

bool TextToTypedVariant(const char* text, VARTYPE type, ql::Variant& out) noexcept {
    out.Reset();
    ql::Bstr wide;
    if (FAILED(AnsiToBstr(text ? text : "", wide))) return false;
    ql::Variant converted;
    if (type == kByteArray) {
        if (FAILED(HexBstrToByteArray(converted.Get(), wide.Get(), TRUE))) return false;
    } else {
        ql::Variant source;
        source.AttachBstr(wide.Detach());
        if (FAILED(ConvertVariantType(converted.Get(), source.Get(), type, 0, 0))) return false;
    }
    if (converted.Type() != type) return false;
    out = std::move(converted);
    return true;
}

void CQuelkVariableStore::AddStringParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                             CQuelkMessageSink* sink) noexcept {
    DefinitionValues values;
    ULONG access = definition.Access;
    // Every text is converted (no short cut), so a bad bound still leaves the other fields filled.
    bool converted = TextToTypedVariant(definition.MinText, definition.DataType, values.minValue);
    converted &= TextToTypedVariant(definition.MaxText, definition.DataType, values.maxValue);
    converted &= TextToTypedVariant(definition.DefaultText, definition.DataType, values.defaultValue);
    converted &= TextToTypedVariant(definition.ValueText, definition.DataType, values.value);
    if (!converted) access |= kAccessNoCheck;
    AddRecord(list, definition, sink, values, access);
}

void CQuelkVariableStore::AddNumericParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                              CQuelkMessageSink* sink) noexcept {
    DefinitionValues values;
    ULONG access = definition.Access;
    bool converted = DoubleToVariant(definition.MinNumber, definition.DataType, values.minValue);
    converted &= DoubleToVariant(definition.MaxNumber, definition.DataType, values.maxValue);
    converted &= DoubleToVariant(definition.DefaultNumber, definition.DataType, values.defaultValue);
    converted &= DoubleToVariant(definition.ValueNumber, definition.DataType, values.value);

    const double lower = definition.MinNumber;
    const double upper = definition.MaxNumber;
    const auto outside = [&](double number) { return number < lower || number > upper; };
    // Equal bounds mean "no range", so only a real range is tested.
    const bool outOfRange =
        lower < upper && (outside(definition.DefaultNumber) || outside(definition.ValueNumber));
    if (!converted || lower > upper) {
        access |= kAccessNoCheck;
    } else if (outOfRange) {
        access |= kAccessRejected;
    }
    AddRecord(list, definition, sink, values, access);
}

void CQuelkVariableStore::AddEnumParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                           CQuelkMessageSink* sink) noexcept {
    // No bounds; default and value go in as codes and the record converts them to its data type.
    DefinitionValues values;
    values.defaultValue.SetUI4(definition.DefaultCode);
    values.value.SetUI4(definition.ValueCode);
    AddRecord(list, definition, sink, values, definition.Access);
}
