#include "classlib/InvokeArguments.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"

namespace ql {

HRESULT CheckInvokeArguments(const DISPPARAMS* params, UINT* argumentError) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !params);
    QL_RETURN_HR_IF(E_INVALIDARG, params->cArgs > 0 && !params->rgvarg);
    QL_RETURN_HR_IF(E_INVALIDARG, params->cNamedArgs > 0 && !params->rgdispidNamedArgs);
    QL_RETURN_HR_IF(E_INVALIDARG, params->cNamedArgs > params->cArgs);
    for (UINT i = 0; i < params->cArgs; ++i) {
        if (SUCCEEDED(CheckPlatformCopy(params->rgvarg[i]))) continue;
        if (argumentError) *argumentError = i;
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

}  // namespace ql
