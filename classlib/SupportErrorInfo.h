#pragma once
// ISupportErrorInfo answered from a fixed list of interfaces:
//   class CFoo : ..., public ql::SupportErrorInfoImpl<&IID_IFoo> { ... QL_ENTRY(ISupportErrorInfo) ... };
#include <oaidl.h>
#include <windows.h>

namespace ql {

template <const IID*... SupportedIids>
class SupportErrorInfoImpl : public ISupportErrorInfo {
public:
    // S_OK for a listed interface, S_FALSE for any other.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) noexcept override {
        for (const IID* supported : {SupportedIids...}) {
            if (IsEqualIID(*supported, iid)) return S_OK;
        }
        return S_FALSE;
    }
};

}  // namespace ql
