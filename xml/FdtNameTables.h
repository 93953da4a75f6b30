#pragma once
// The FDT keywords of a function call as numbers: application ids and operation phases.
#include <windows.h>
#include <oleauto.h>

struct FdtNameRow {
    const char* name;  // null ends a table
    ULONG value;
};

// Looked up by name here; the DTM's functions document looks it up by value (first row wins).
extern const FdtNameRow FdtApplicationIdTable[];
// Single bits, so that sets of phases form masks.
extern const FdtNameRow FdtOperationPhaseTable[];

// The value of the row whose name equals `name` exactly (with case, after conversion to the ANSI code
// page). E_POINTER for a missing value pointer; E_FAIL, value untouched, when no row matches (a null or
// empty name included).
HRESULT ApplicationIdFromString(BSTR name, ULONG* value) noexcept;
HRESULT OperationPhaseFromString(BSTR name, ULONG* value) noexcept;
