#pragma once
// CQuelkActiveXInfo: which control shows a function (IDtmActiveXInformation), and the functions whose row
// names a program instead of a control (CQuelkFunctions::OpenDocument). Each reads the function id of a
// function-call document with the root element FDT and finds the function's row.
//
// The state these answers depend on is the functions service's copy of the DTM state, which follows every
// state change. Used on the DTM object's apartment thread only; nothing here is owned.
#include <windows.h>

#include "dtm/DtmHost.h"
#include "dtm/services/QuelkUiFunctionTable.h"

class CQuelkActiveXInfo {
public:
    CQuelkActiveXInfo(DtmHost& host, CQuelkUiFunctionTable& table, const ULONG& stateCopy) noexcept
        : host_(host), table_(table), stateCopy_(stateCopy) {}
    CQuelkActiveXInfo(const CQuelkActiveXInfo&) = delete;
    CQuelkActiveXInfo& operator=(const CQuelkActiveXInfo&) = delete;

    // The row's ProgID; S_FALSE outside states 6 to 12, for an unreadable document, a function without row
    // or a row without ProgID.
    HRESULT GetActiveXProgId(BSTR functionCall, BSTR* progId) noexcept;
    // The class registered on this computer for the row's ProgID, as 36 upper-case characters without
    // braces; S_FALSE where GetActiveXProgId has no ProgID or the ProgID is not registered.
    HRESULT GetActiveXGuid(BSTR functionCall, BSTR* classId) noexcept;
    // Starts the row's program with the shell's "open" verb; only a function row (kind 2 or 3) without a
    // control class. `opened` tells whether the shell started it (S_OK either way).
    HRESULT OpenDocument(BSTR functionCall, VARIANT_BOOL* opened) noexcept;

private:
    // S_OK with the function's row; S_FALSE in the wrong state, for an unreadable document or no row.
    HRESULT FindCalledRow(BSTR functionCall, QuelkUiFunction** row) noexcept;

    DtmHost& host_;
    CQuelkUiFunctionTable& table_;
    const ULONG& stateCopy_;
};
