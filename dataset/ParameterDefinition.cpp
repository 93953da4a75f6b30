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

// The "code;text" entries up to the first empty string as an EnumEntryArray; VT_EMPTY when there is none.
// A failure to fill the array is answered, with `out` empty.
HRESULT MakeEntryList(const char* const* entries, ql::Variant& out) noexcept {
    out.Reset();
    if (!entries) return S_OK;
    ULONG count = 0;
    while (entries[count] && *entries[count]) ++count;
    if (count == 0) return S_OK;
    ql::SafeArray array;
    QL_RETURN_IF_FAILED(array.Create(VT_BSTR, count));
    for (ULONG i = 0; i < count; ++i) {
        ql::Bstr entry;
        QL_RETURN_IF_FAILED(AnsiToBstr(entries[i], entry));
        LONG index = static_cast<LONG>(i);
        QL_RETURN_IF_FAILED(::SafeArrayPutElement(array.Get(), &index, entry.Get()));
    }
    out.AttachArray(VT_BSTR, array.Detach());
    return S_OK;
}

// A table text (null reads as "") as a text of its own.
HRESULT TableText(const char* text, ql::Bstr& out) noexcept { return AnsiToBstr(text ? text : "", out); }

// Builds the record from the finished value VARIANTs and adds it (a second definition of an id is ignored).
HRESULT AddRecord(CQuelkVariableList* list, const ParameterDefinition& definition, CQuelkMessageSink* sink,
                  const DefinitionValues& values, ULONG access) noexcept {
    ql::Variant address;
    MakeAddress(definition, sink, address);

    ql::Variant displayAttribute;
    if (definition.DisplayAttribute != 0) displayAttribute.SetUI4(definition.DisplayAttribute);

    ql::Variant updateRule;
    ql::Bstr updateRuleText;
    QL_RETURN_IF_FAILED(TableText(definition.UpdateRule, updateRuleText));
    updateRule.AttachBstr(updateRuleText.Detach());

    ql::Variant entries;
    QL_RETURN_IF_FAILED(MakeEntryList(definition.Entries, entries));

    ql::Bstr name, exportGroup, description;
    QL_RETURN_IF_FAILED(TableText(definition.Name, name));
    QL_RETURN_IF_FAILED(TableText(definition.ExportGroup, exportGroup));
    QL_RETURN_IF_FAILED(TableText(definition.Description, description));

    const CQuelkVariable record(definition.IsDeviceParameter, definition.Id, *address, name.Get(),
                                definition.NameResourceId, definition.DataType, *values.minValue,
                                *values.maxValue, *values.defaultValue, *values.value, definition.Persistent,
                                access, definition.WriteLevel, definition.SpareWord1, exportGroup.Get(),
                                definition.ExportKind, description.Get(), definition.EnumerationKind,
                                *entries, *displayAttribute, *updateRule, definition.Hooks);
    QL_RETURN_IF_FAILED(record.BuildResult());
    return list ? list->Add(record) : S_OK;
}

// A conversion's answer as the definitions read it: S_OK converted, S_FALSE the value does not convert (the
// definition's own fault, which the record carries), E_OUTOFMEMORY passed on.
HRESULT ConversionAnswer(HRESULT hr) noexcept {
    if (hr == E_OUTOFMEMORY) return hr;
    return SUCCEEDED(hr) ? S_OK : S_FALSE;
}

// The outcome of every conversion of one definition, each run whatever the others gave (a bad bound still
// leaves the other fields filled): S_OK when all converted, S_FALSE when one did not, the first memory
// failure otherwise.
class ConversionTally {
public:
    void Add(HRESULT hr) noexcept {
        if (FAILED(result_)) return;
        if (FAILED(hr) || hr == S_FALSE) result_ = hr;
    }
    HRESULT Result() const noexcept { return result_; }

private:
    HRESULT result_ = S_OK;
};

}  // namespace

HRESULT DoubleToVariant(double number, VARTYPE type, ql::Variant& out) noexcept {
    out.Reset();
    ql::Variant source;
    source.SetR8(number);
    ql::Variant converted;
    const HRESULT hr = ConversionAnswer(ConvertVariantType(converted.Get(), source.Get(), type, 0, 0));
    if (hr != S_OK) return hr;
    if (converted.Type() != type) return S_FALSE;
    out = std::move(converted);
    return S_OK;
}

HRESULT TextToTypedVariant(const char* text, VARTYPE type, ql::Variant& out) noexcept {
    out.Reset();
    ql::Bstr wide;
    QL_RETURN_IF_FAILED(TableText(text, wide));
    ql::Variant converted;
    if (type == kByteArray) {
        // Only a text that is no hexadecimal is the table's fault; the array not made is a lack of memory.
        const HRESULT hr = HexBstrToByteArray(converted.Get(), wide.Get(), TRUE);
        if (hr == E_INVALIDARG) return S_FALSE;
        QL_RETURN_HR_IF(E_OUTOFMEMORY, FAILED(hr));
    } else {
        ql::Variant source;
        source.AttachBstr(wide.Detach());
        const HRESULT hr = ConversionAnswer(ConvertVariantType(converted.Get(), source.Get(), type, 0, 0));
        if (hr != S_OK) return hr;
    }
    if (converted.Type() != type) return S_FALSE;
    out = std::move(converted);
    return S_OK;
}

HRESULT CQuelkVariableStore::AddStringParameter(CQuelkVariableList* list,
                                                const ParameterDefinition& definition,
                                                CQuelkMessageSink* sink) noexcept {
    DefinitionValues values;
    ULONG access = definition.Access;
    ConversionTally converted;
    converted.Add(TextToTypedVariant(definition.MinText, definition.DataType, values.minValue));
    converted.Add(TextToTypedVariant(definition.MaxText, definition.DataType, values.maxValue));
    converted.Add(TextToTypedVariant(definition.DefaultText, definition.DataType, values.defaultValue));
    converted.Add(TextToTypedVariant(definition.ValueText, definition.DataType, values.value));
    QL_RETURN_IF_FAILED(converted.Result());
    if (converted.Result() != S_OK) access |= kAccessNoCheck;
    return AddRecord(list, definition, sink, values, access);
}

HRESULT CQuelkVariableStore::AddNumericParameter(CQuelkVariableList* list,
                                                 const ParameterDefinition& definition,
                                                 CQuelkMessageSink* sink) noexcept {
    DefinitionValues values;
    ULONG access = definition.Access;
    ConversionTally converted;
    converted.Add(DoubleToVariant(definition.MinNumber, definition.DataType, values.minValue));
    converted.Add(DoubleToVariant(definition.MaxNumber, definition.DataType, values.maxValue));
    converted.Add(DoubleToVariant(definition.DefaultNumber, definition.DataType, values.defaultValue));
    converted.Add(DoubleToVariant(definition.ValueNumber, definition.DataType, values.value));
    QL_RETURN_IF_FAILED(converted.Result());

    const double lower = definition.MinNumber;
    const double upper = definition.MaxNumber;
    const auto outside = [&](double number) { return number < lower || number > upper; };
    // Equal bounds mean "no range", so only a real range is tested.
    const bool outOfRange =
        lower < upper && (outside(definition.DefaultNumber) || outside(definition.ValueNumber));
    if (converted.Result() != S_OK || lower > upper) {
        access |= kAccessNoCheck;
    } else if (outOfRange) {
        access |= kAccessRejected;
    }
    return AddRecord(list, definition, sink, values, access);
}

HRESULT CQuelkVariableStore::AddEnumParameter(CQuelkVariableList* list, const ParameterDefinition& definition,
                                              CQuelkMessageSink* sink) noexcept {
    // No bounds; default and value go in as codes and the record converts them to its data type.
    DefinitionValues values;
    values.defaultValue.SetUI4(definition.DefaultCode);
    values.value.SetUI4(definition.ValueCode);
    return AddRecord(list, definition, sink, values, definition.Access);
}
