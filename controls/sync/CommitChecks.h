#pragma once
// What a store and a commit check before a value leaves the control, shared by the base's defaults and
// the online page's forms.
#include <windows.h>

class CQuelkControlBase;

// After the row and DTM-link checks: the record's access word (a failure is returned), the writable bit of
// the parameter's first row and of the record (S_FALSE without), the control's value through the class's
// reader (a failure is returned; S_FALSE counts as read) and the class's check (S_FALSE when not valid).
// S_OK with `value` filled when the value may go on; `accessWord` (when given) receives the word read.
HRESULT PrepareCommitValue(CQuelkControlBase& control, ULONG id, VARIANT* value,
                           ULONG* accessWord = nullptr) noexcept;
