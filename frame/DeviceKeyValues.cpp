#include "frame/DeviceKeyValues.h"

#include <string_view>

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SafeArray.h"
#include "dataset/VariableFields.h"
#include "frame/simulator/SimulatorCodec.h"
#include "values/Bytes.h"
#include "values/ScalarTypes.h"

namespace {

constexpr size_t kDeviceTagLength = 32;
constexpr size_t kValueWithStatusLength = 5;
// The DTM names PA status bytes through the status enumeration of its flow AI block.
constexpr ULONG kStatusTextParameter = 112;

struct Store {
    ql::ComPtr<IQuelkVariablesEx> values;
    ql::ComPtr<IQuelkVariableFields> fields;
};

HRESULT OpenStore(IUnknown* dtm, Store* store) noexcept {
    QL_RETURN_HR_IF(E_POINTER, dtm == nullptr);
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IQuelkVariablesEx, store->values.PutVoid()));
    return dtm->QueryInterface(IID_IQuelkVariableFields, store->fields.PutVoid());
}

// The octets of a byte-array parameter (held as VT_ARRAY|VT_UI1, or as hex text before the first upload).
HRESULT ReadOctets(const Store& store, ULONG id, SimBytes* octets) noexcept {
    octets->clear();
    ql::Variant value;
    QL_RETURN_IF_FAILED(store.values->GetValue(id, value.Put()));
    if (value.Type() == VT_BSTR) {
        const BSTR text = V_BSTR(value.Get());
        const std::wstring_view hex(text ? text : L"", text ? ::SysStringLen(text) : 0);
        return ql::GuardComCall([&]() -> HRESULT { return BytesFromHex(hex, octets) ? S_OK : E_FAIL; });
    }
    return CopyByteArray(*value, *octets);
}

// The text of `code` among the "code;text" entries of an enumerated parameter; empty when none matches.
std::wstring EntryText(const Store& store, ULONG id, ULONG code) {
    ql::Variant idArgument, mask, entries;
    idArgument.SetI4(static_cast<LONG>(id));
    mask.SetI4(static_cast<LONG>(kFieldEnumerationEntries));
    if (FAILED(store.fields->GetVariableField(*idArgument, *mask, entries.Put())) ||
        entries.Type() != (VT_ARRAY | VT_BSTR)) {
        return std::wstring();
    }
    SAFEARRAY* array = V_ARRAY(entries.Get());
    if (!array || !ql::HoldsElementsOf(*array, VT_BSTR)) return std::wstring();
    LONG lower = 0, upper = -1;
    if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper))) {
        return std::wstring();
    }
    ql::SafeArrayData<BSTR> data(array);
    if (FAILED(data.Status())) return std::wstring();
    const std::wstring prefix = std::to_wstring(code) + L";";
    for (LONG i = 0; i <= upper - lower; ++i) {
        const std::wstring entry(data[i] ? data[i] : L"", data[i] ? ::SysStringLen(data[i]) : 0);
        if (entry.compare(0, prefix.size(), prefix) == 0) return entry.substr(prefix.size());
    }
    return std::wstring();
}

std::wstring UnitText(const Store& store, ULONG unitId) {
    ql::Variant code;
    if (FAILED(store.values->GetValue(unitId, code.Put())) || FAILED(code.ChangeType(VT_UI4))) {
        return std::wstring();
    }
    return EntryText(store, unitId, V_UI4(code.Get()));
}

PaReading ReadReading(const Store& store, ULONG id, ULONG unitId) {
    PaReading reading;
    SimBytes octets;
    if (SUCCEEDED(ReadOctets(store, id, &octets)) && octets.size() == kValueWithStatusLength) {
        reading.valid = true;
        reading.value = DecodePaNumber(octets, VT_R4);
        reading.status = octets[4];
        reading.statusText = EntryText(store, kStatusTextParameter, reading.status);
    }
    reading.unit = UnitText(store, unitId);
    return reading;
}

std::wstring TagText(const SimBytes& octets) {
    std::wstring text(octets.begin(), octets.end());
    const size_t last = text.find_last_not_of(L' ');
    text.erase(last == std::wstring::npos ? 0 : last + 1);
    return text;
}

}  // namespace

HRESULT ReadDeviceTag(IUnknown* dtm, std::wstring* tag) noexcept {
    QL_RETURN_IF_NULL_OUT(tag);
    Store store;
    QL_RETURN_IF_FAILED(OpenStore(dtm, &store));
    SimBytes octets;
    QL_RETURN_IF_FAILED(ReadOctets(store, kDeviceTagParameter, &octets));
    return ql::GuardComCall([&]() -> HRESULT {
        *tag = TagText(octets);
        return S_OK;
    });
}

HRESULT ReadDeviceKeyValues(IUnknown* dtm, DeviceKeyValues* values) noexcept {
    QL_RETURN_IF_NULL_OUT(values);
    Store store;
    QL_RETURN_IF_FAILED(OpenStore(dtm, &store));
    return ql::GuardComCall([&]() -> HRESULT {
        SimBytes tag;
        QL_RETURN_IF_FAILED(ReadOctets(store, kDeviceTagParameter, &tag));
        values->tag = TagText(tag);
        values->massFlow = ReadReading(store, kMassFlowParameter, kMassFlowUnitParameter);
        values->totalizer = ReadReading(store, kTotalizerParameter, kTotalizerUnitParameter);
        return S_OK;
    });
}

HRESULT MakeDeviceTagValue(const std::wstring& text, ql::Variant& value) noexcept {
    BYTE tag[kDeviceTagLength];
    for (size_t i = 0; i < kDeviceTagLength; ++i) {
        // The PA tag is visible text: ASCII, blank-padded.
        const wchar_t c = i < text.size() ? text[i] : L' ';
        tag[i] = static_cast<BYTE>(c < 0x80 ? c : L'?');
    }
    return MakeByteArray(tag, kDeviceTagLength, value);
}
