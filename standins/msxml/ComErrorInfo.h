#pragma once
// Error information for a failing call, as MSXML leaves it for callers that read IErrorInfo: the reason of a
// refused expression or schema.
#include <windows.h>

#include "standins/msxml/core/XmlString.h"

namespace msxml_standin {

// Sets the thread's error information to `description` for interface `iid` and answers `hr` unchanged.
HRESULT FailWithErrorInfo(HRESULT hr, REFIID iid, msxml_core::XmlStringView description) noexcept;

}  // namespace msxml_standin
