#pragma once
// FormatBstr: BstrPrintf with a format written as a literal. BstrPrintf takes its format as a BSTR (its
// length comes from the prefix), so the literal is copied into one first. Wide printf rules: %ls takes a
// wide text (pass BSTRs or wide literals), %d and %u 32-bit numbers.
#include <windows.h>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "values/MessageFormat.h"

template <class... Args>
HRESULT FormatBstr(ql::Bstr& out, const wchar_t* format, Args... args) noexcept {
    ql::Bstr pattern(format);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, pattern.IsNull());
    BSTR text = nullptr;
    QL_RETURN_IF_FAILED(BstrPrintf(&text, pattern.Get(), args...));
    out.Attach(text);
    return S_OK;
}

// A null BSTR reads as an empty text in a format.
inline const wchar_t* TextOrEmpty(BSTR text) noexcept { return text ? text : L""; }
