#include "ManufacturerLookup.h"

#include "ManufacturerLookupResources.h"
#include "classlib/Bstr.h"
#include "classlib/ObjectMap.h"

namespace standins {

namespace {

ql::AutoObjectEntry g_entry(ql::MakeObjectEntry(CLSID_ManufacturerLookup,
                                                &ql::UpdateRegistryFromScript<IDR_MANUFACTURER_LOOKUP>,
                                                &ql::CreateInstance<CManufacturerLookup>));

struct Manufacturer {
    ULONG id;
    const wchar_t* name;
};

// A few makers of process instruments with the ids their devices report, and the flowmeter's own maker.
constexpr Manufacturer kManufacturers[] = {
    {0x0011, L"Endress+Hauser"}, {0x001A, L"ABB"},    {0x0026, L"Rosemount"}, {0x002A, L"Siemens"},
    {0x0037, L"Yokogawa"},       {0x0045, L"KROHNE"}, {0x0062, L"VEGA"},      {0x00FA, L"Orvo"},
};

constexpr wchar_t kUnknown[] = L"unknown";

}  // namespace

HRESULT CManufacturerLookup::GetManufacturerName(ULONG manufacturerId, BSTR* name) noexcept {
    QL_RETURN_IF_NULL_OUT(name);
    *name = nullptr;
    const wchar_t* found = kUnknown;
    for (const Manufacturer& manufacturer : kManufacturers) {
        if (manufacturer.id != manufacturerId) continue;
        found = manufacturer.name;
        break;
    }
    ql::Bstr text;
    QL_RETURN_IF_FAILED(text.Assign(found));
    *name = text.Detach();
    return S_OK;
}

}  // namespace standins
