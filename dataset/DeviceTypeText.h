#pragma once
// The device type text that a dataset image carries (the fdt:DtmDeviceType element IDtm::InitNew was
// given). Every parameter document holds it as it stands, so a text from a project is taken only when it is
// itself one well-formed device type element: anything else would break the document or put a second
// element ahead of the real one. COM must be initialised on the calling thread.
#include <windows.h>

#include <oleauto.h>

// S_OK for a null or empty text (a dataset that never had a device type) and for one fdt:DtmDeviceType
// element with nothing beside it but white space; E_FAIL for any other text; the XML library's failure.
HRESULT CheckDeviceTypeText(BSTR text) noexcept;
