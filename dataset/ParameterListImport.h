#pragma once
// The parameter list import: a "PARAMETERS" document (Parameter elements below the root PARAMETERS with id,
// type and value; layout free) applied to the dataset. Each record of the list, in list order, is looked up
// by its id (the first element in document order); its value is taken over only when the element's type
// names the record's declared data type exactly ("VT_UI1 | VT_ARRAY" for a byte string) and the value
// converts to that type. The value then goes through the store's SetValue, which converts, compares,
// stores and notifies. Persistence, access and write level are not looked at here; an element whose id
// names no record is ignored. Runs on the DTM object's apartment thread.
#include <windows.h>

#include "dataset/ParameterListHost.h"
#include "dataset/QuelkVariableStore.h"

// S_OK when the document loaded, whatever was taken over; every problem of one parameter only skips it.
// E_POINTER for a null text or when the host has no schema cache; a text that does not load is reported
// by the host's loader and answers E_FAIL (or the loader's failure) with no value changed. Progress:
// (i, count, "Import") for every record, then (0, count, "").
HRESULT ImportParameters(CQuelkVariableStore& store, ParameterListHost& host, BSTR text) noexcept;
