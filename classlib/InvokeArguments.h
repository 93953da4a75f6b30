#pragma once
// The arguments of a late-bound call, checked before they reach the platform. ITypeInfo::Invoke copies and
// converts every argument with the platform's own copy before any code of the object runs, so the object's
// own checks of a caller's array come too late there: every IDispatch::Invoke that hands a caller's
// DISPPARAMS to the platform asks this first, and calls the platform only on S_OK.
#include <windows.h>
#include <oaidl.h>

namespace ql {

// - E_INVALIDARG for no DISPPARAMS, or DISPPARAMS that count arguments they do not hold: no rgvarg for
//   cArgs > 0, no rgdispidNamedArgs for cNamedArgs > 0, or more named arguments than arguments;
// - DISP_E_TYPEMISMATCH for an argument, positional or named, by value or by reference, that the platform
//   may not copy as it stands (CheckPlatformCopy), with `*argumentError` (where given) set to its index in
//   rgvarg;
// - S_OK otherwise.
// Only the arguments' descriptors are read; nothing of the caller's is changed.
HRESULT CheckInvokeArguments(const DISPPARAMS* params, UINT* argumentError) noexcept;

}  // namespace ql
