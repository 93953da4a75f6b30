#pragma once
// What a store and a commit check before a value leaves the control, and how the rows follow the record
// afterwards; shared by the base's defaults and the online page's forms.
#include <windows.h>
#include <unknwn.h>

class CQuelkControlBase;

// The checks, in their order: the parameter's first row (E_INVALIDARG for an id without a row, S_FALSE for
// a row that did not load), the DTM interface the caller needs (`link`; E_POINTER when null), the record's
// access word (a failure is returned), the writable bit of the row and of the record (S_FALSE without), the
// control's value through the class's reader (a failure is returned; S_FALSE counts as read) and the
// class's check (S_FALSE when not valid). S_OK with `value` filled when the value may go on; `accessWord`
// (when given) receives the word read.
HRESULT PrepareCommitValue(CQuelkControlBase& control, ULONG id, const IUnknown* link, VARIANT* value,
                           ULONG* accessWord = nullptr) noexcept;
// The parameter's rows take the record's access word as their state; the first failure is returned.
HRESULT ApplyRecordState(CQuelkControlBase& control, ULONG id) noexcept;
