#pragma once
// AccessWordMark: a transfer mark in a parameter record's access word for the span of one transfer. The
// page reads the word once before the transfer, writes it with the mark, and writes the word it chose to
// leave behind (by default the word without the mark) when the mark goes out of scope, on every way out,
// without reading the word again. A DTM without IQuelkVariableFields is not marked, and the transfer runs
// all the same.
//
// The read-modify-write is unlocked: it relies on the user-interface thread that the DTM and every page
// share.
#include <windows.h>

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"

class AccessWordMark {
public:
    // Writes `marked` at once when the DTM gives IQuelkVariableFields; `restore` is written at the end.
    AccessWordMark(IQuelkVariables* dtm, ULONG id, ULONG marked, ULONG restore) noexcept;
    AccessWordMark(const AccessWordMark&) = delete;
    AccessWordMark& operator=(const AccessWordMark&) = delete;
    ~AccessWordMark();

    // The word left behind, when the transfer's outcome decides it.
    void SetRestoreWord(ULONG restore) noexcept { restore_ = restore; }

    // The record's access word through IQuelkVariableFields; false when the DTM has no such interface or
    // the word cannot be read as a number.
    static bool ReadWord(IQuelkVariables* dtm, ULONG id, ULONG& word) noexcept;

private:
    ql::ComPtr<IQuelkVariableFields> fields_;
    ULONG id_;
    ULONG restore_;
};
