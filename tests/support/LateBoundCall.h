#pragma once
// A call through IDispatch::Invoke as a script makes it: the member found by its name, the arguments lent
// as they stand (in the member's order; the DISPPARAMS hold them last first), positional or all named by the
// member's parameter names. The answer gives the method's own HRESULT where the platform wrapped it in
// DISP_E_EXCEPTION, so that it compares with the same call through the vtable.
#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "classlib/Variant.h"

namespace vtest {

struct LateBoundAnswer {
    HRESULT hr = E_FAIL;       // Invoke's, or the method's where Invoke answered DISP_E_EXCEPTION
    UINT argumentError = ~0u;  // as Invoke set it; ~0u where it did not
    ql::Variant result;
};

LateBoundAnswer CallLateBound(IDispatch* target, const wchar_t* member, const std::vector<VARIANT>& arguments,
                              const std::vector<const wchar_t*>& parameterNames = {});

}  // namespace vtest
