#pragma once
// CManufacturerLookup: names PROFIBUS device manufacturers by the 16-bit id a physical block reports, from a
// small table of its own; any other id is "unknown", the answer its callers test for. One instance per
// question is the callers' habit, so the object holds nothing.
#include <windows.h>

#include "UiComponentInterfaces.h"
#include "classlib/ComObject.h"

namespace standins {

class CManufacturerLookup final : public ql::ComObjectBase<CManufacturerLookup>, public IManufacturerLookup {
    QL_INTERFACE_TABLE(CManufacturerLookup, QL_ENTRY(IManufacturerLookup))

public:
    // S_OK with the maker's name, or with "unknown" for an id the table lacks.
    HRESULT STDMETHODCALLTYPE GetManufacturerName(ULONG manufacturerId, BSTR* name) noexcept override;
};

}  // namespace standins
