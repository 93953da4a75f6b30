#pragma once
// CQuelkUiFunctionTable: a DTM object's own copy of the UI-function table. Status changes (enabling,
// hiding ...) change only this copy, so DTM objects of the same module do not affect each other. A copy
// that could not be allocated leaves the object without a table: its functions document is empty and
// every lookup fails.
//
// Used on the DTM object's apartment thread only.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "dtm/services/QuelkUiFunction.h"

// This DTM's table: four standard functions, "About" and "Trend", then the end row.
const QuelkUiFunction* VarnokUiFunctionRows(size_t* count) noexcept;

// The FDT application-id keyword of `applicationId` ("fdtOfflineParameterize" ...), null for a number
// the keyword table lacks.
const char* ApplicationIdKeyword(ULONG applicationId) noexcept;

class CQuelkUiFunctionTable {
public:
    // A copy of this DTM's table.
    CQuelkUiFunctionTable() noexcept;
    // A copy of `count` rows (tests use their own tables); the copy ends at the first end row.
    CQuelkUiFunctionTable(const QuelkUiFunction* rows, size_t count) noexcept;
    CQuelkUiFunctionTable(const CQuelkUiFunctionTable&) = delete;
    CQuelkUiFunctionTable& operator=(const CQuelkUiFunctionTable&) = delete;

    bool HasTable() const noexcept { return hasTable_; }
    // The rows before the end row, in table order.
    const std::vector<QuelkUiFunction>& Rows() const noexcept { return rows_; }
    // The first row with `functionId`; E_FAIL when there is no table or no such row (the end row, id 0,
    // is never matched).
    HRESULT FindFunctionRow(ULONG functionId, QuelkUiFunction** row) noexcept;

private:
    void CopyRows(const QuelkUiFunction* rows, size_t count) noexcept;

    std::vector<QuelkUiFunction> rows_;
    bool hasTable_ = false;
};
