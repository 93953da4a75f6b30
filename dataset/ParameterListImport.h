#pragma once
// The parameter list import: a "PARAMETERS" document (Parameter elements below the root PARAMETERS with id,
// type and value; layout free) applied to the dataset. The document is walked once and its elements mapped
// by id (the first element of an id wins). Each record of the list, in list order, takes the value of its
// element only where the current user could set that value through the DTM: the element's type names the
// record's declared data type exactly ("VT_UI1 | VT_ARRAY" for a byte string) and its value reads back as
// the export writes it (ParameterListReadValue); the record is part of the project (persistent) and is no
// credential; the user may write it (access bit 0x01, which the configuration clears below the record's
// write level); a byte string keeps the length the record holds; the value check accepts the value. The
// value then goes through the store's SetValue, which converts, compares, stores and notifies. An element
// whose value equals the record's is no change and never skipped, so a list this DTM exported imports
// completely; an element whose id names no record is ignored. Runs on the DTM object's apartment thread.
#include <windows.h>

#include "dataset/ParameterListHost.h"
#include "dataset/QuelkVariableStore.h"

// The elements an import did not take, by reason.
struct ParameterListSkips {
    ULONG NotInProject = 0;  // a record that is not saved with the project, or a credential
    ULONG NotWritable = 0;   // the current user may not write it
    ULONG Unreadable = 0;    // another type than the record's, or a value that does not read as written
    ULONG WrongLength = 0;   // a byte string of another length than the record's
    ULONG Refused = 0;       // refused by the value check or by the store
    ULONG Total() const noexcept { return NotInProject + NotWritable + Unreadable + WrongLength + Refused; }
};

// S_OK when the document loaded, with `skips` counting the elements not taken; every problem of one
// parameter only skips it. E_POINTER for a null text or when the host has no schema cache; a text that
// does not load is reported by the host's loader and answers E_FAIL (or the loader's failure) with no value
// changed. Progress: (i, count, "Import") for every record, then (0, count, "").
HRESULT ImportParameters(CQuelkVariableStore& store, ParameterListHost& host, BSTR text,
                         ParameterListSkips& skips) noexcept;
