#include "tests/support/MemoryPropertyBag.h"

namespace vtest {

HRESULT MemoryPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) noexcept {
    const auto found = properties.find(name);
    if (found == properties.end()) return E_INVALIDARG;
    return found->second.CopyTo(value);
}

HRESULT MemoryPropertyBag::Write(LPCOLESTR name, VARIANT* value) noexcept {
    ql::Variant copy;
    const HRESULT hr = copy.CopyFrom(*value);
    if (FAILED(hr)) return hr;
    properties[name] = std::move(copy);
    return S_OK;
}

}  // namespace vtest
