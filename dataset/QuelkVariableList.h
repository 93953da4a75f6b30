#pragma once
// CQuelkVariableList: the records of the dataset in definition order, unique by id. The order matters:
// saving the dataset and the bulk upload walk the list as it stands. Records are copied in and out, so
// no caller ever holds a reference into the list across a call that could change it.
#include <windows.h>

#include <vector>

#include "dataset/QuelkVariable.h"

class CQuelkVariableList {
public:
    CQuelkVariableList() = default;
    CQuelkVariableList(const CQuelkVariableList&) = delete;
    CQuelkVariableList& operator=(const CQuelkVariableList&) = delete;

    // Index of the record with `id` in list order, -1 when there is none.
    int FindById(ULONG id) const noexcept;
    // Copies the fields `mask` selects into `out`; fields not selected keep what `out` held.
    HRESULT GetVariable(ULONG id, ULONG mask, CQuelkVariable* out) const noexcept;
    // Writes the fields `mask` selects from `record` into the stored record, unconverted. The id and the
    // read-only fields (data type, enumeration kind) never change.
    HRESULT SetVariable(ULONG id, ULONG mask, const CQuelkVariable& record) noexcept;
    // Moves `value`, when given, into the record at `index` and sets its access word: what SetVariable
    // writes when it selects just these two fields, without copying a value or finding the id.
    HRESULT SetValueAndAccessAt(int index, ql::Variant* value, ULONG access) noexcept;
    // Copy of every field of the record at `index`.
    HRESULT GetVariableAt(int index, CQuelkVariable* out) const noexcept;
    // Makes `text` the name (kFieldName) or description (kFieldDescription) of the record at `index`, as
    // SetVariable would; E_INVALIDARG for another field or an index out of range.
    HRESULT SetText(int index, ULONG field, const ql::SharedBstr& text) noexcept;
    // Appends a copy unless the id is already present: the first definition of an id wins. E_OUTOFMEMORY,
    // with the list unchanged, when the record or its copy is incomplete for want of memory.
    HRESULT Add(const CQuelkVariable& record) noexcept;
    // Appends copies of every record of `source`, in its order, to an empty list: the ids of a list are
    // distinct, so nothing needs looking up. E_UNEXPECTED for a list that holds records already.
    HRESULT CopyAll(const CQuelkVariableList& source) noexcept;
    // Calls the record's hook for `event` with (store, id); S_FALSE when the record has none.
    HRESULT RunHook(ULONG id, int event, IQuelkVariablesEx* store) const noexcept;

    ULONG Count() const noexcept { return static_cast<ULONG>(records_.size()); }
    bool IsEmpty() const noexcept { return records_.empty(); }

    // Read access for the store's own logic; never handed out beyond one call.
    const CQuelkVariable* Find(ULONG id) const noexcept;
    // The record at `index` in list order, null out of range; read access like Find.
    const CQuelkVariable* At(int index) const noexcept;

private:
    std::vector<CQuelkVariable> records_;
};
