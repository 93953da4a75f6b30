#pragma once
// The parameter list export: the persistent part of the dataset as a plain "PARAMETERS" XML text, one
// Parameter element per persistent record in list order, with the record's id, name, the VARTYPE name of
// its current value and the value's text (ParameterListText.h):
//
//   <?xml version="1.0" encoding="UTF-8"?> \r\n<PARAMETERS> \r\n
//   <Parameter \r\n\tid    ="1" \r\n\tname  ="Tag" \r\n\ttype  ="VT_BSTR" \r\n\tvalue ="VarnokP3 DTM" \r\n/>
//   \r\n
//   ...
//   </PARAMETERS> \r\n
//
// Names and values are escaped for their attributes, so every exported list loads again and gives every
// value back; no buffer bounds the document. Runs on the DTM object's apartment thread.
#include <windows.h>

#include "dataset/ParameterListHost.h"
#include "dataset/QuelkVariableStore.h"

// S_OK with the whole document (the caller frees it). Progress goes to `host` (may be null): (i, count,
// "Export") for every record, then (0, count, "") to end the display. E_POINTER for a null `text`; a
// character XML cannot hold (a control character in a text value) is written replaced, the rest of the
// value and of the list as it is; E_OUTOFMEMORY. `*text` is written only on S_OK.
HRESULT ExportParameters(const CQuelkVariableStore& store, ParameterListHost* host, BSTR* text) noexcept;
