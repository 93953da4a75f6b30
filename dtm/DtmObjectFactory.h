#pragma once
// The creation function of the DtmObject class for the module's object map: a new DTM, standalone or
// aggregated into `outer`, with its dataset built (state 1) before the requested interface is handed out.
#include <windows.h>
#include <unknwn.h>

HRESULT CreateDtmObject(IUnknown* outer, REFIID iid, void** out) noexcept;
