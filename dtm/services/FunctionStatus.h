#pragma once
// The status texts of a function ("Function started", "Function finished", or none when a function is
// invoked) for an outside monitor. Only an object that aggregates the DTM can offer the monitor
// (IQuelkDtmTrace); the DTM object itself does not, so without it the texts go nowhere.
#include <windows.h>

#include "dtm/DtmHost.h"

constexpr wchar_t kStatusFunctionStarted[] = L"Function started";
constexpr wchar_t kStatusFunctionFinished[] = L"Function finished";

// `label` is the function's ANSI text from the UI-function table. S_OK whatever the monitor answers.
HRESULT NotifyFunctionStatus(DtmHost& host, const char* label, const wchar_t* status) noexcept;
