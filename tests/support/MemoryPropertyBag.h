#pragma once
// A property bag in memory: properties by name, each a copy of what was written; reading a property that
// is not there answers E_INVALIDARG.
#include <windows.h>
#include <ocidl.h>

#include <map>
#include <string>

#include "classlib/ComObject.h"
#include "classlib/Variant.h"

namespace vtest {

class MemoryPropertyBag final : public ql::ComObjectBase<MemoryPropertyBag>, public IPropertyBag {
    QL_INTERFACE_TABLE(MemoryPropertyBag, QL_ENTRY(IPropertyBag))

public:
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* errorLog) noexcept override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) noexcept override;

    std::map<std::wstring, ql::Variant> properties;
};

}  // namespace vtest
