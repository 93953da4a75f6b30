#pragma once
// Reading the function id of a function-call document (DTMFunctionCallSchema) that the frame or a control
// hands the DTM. The document is loaded and validated through the DTM's schema cache first.
#include <windows.h>

#include "dtm/DtmHost.h"

// The function id below any root element (IDtm::InvokeFunctionRequest, the registration of a control) and
// below the root element FDT only (the ActiveX information, OpenDocument).
constexpr wchar_t kFunctionIdBelowAnyRoot[] = L"*/FDTFunctionCall/@func:functionId";
constexpr wchar_t kFunctionIdBelowFdtRoot[] = L"FDT/FDTFunctionCall/@func:functionId";

// S_OK with the id (its typed value converted to `type`, VT_I4 or VT_I2, then widened); S_FALSE when the
// document does not load or validate; the failure of the read otherwise (no attribute, no conversion).
HRESULT ReadFunctionCallId(DtmHost& host, BSTR functionCall, const wchar_t* xpath, VARTYPE type,
                           LONG& functionId) noexcept;
