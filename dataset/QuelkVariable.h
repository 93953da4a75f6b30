#pragma once
// CQuelkVariable: the dataset's record of one parameter (a device parameter or a DTM-internal item).
// Records are values: the list copies them in and out. The value itself (and the address) is copied
// deeply; every other text and VARIANT (names, description, group, bounds, default, entry lists, display
// attribute, update rule) is set when the parameter table defines the record and seldom after, and is the
// same in every dataset, so copies share it and a write replaces it as a whole (ql::SharedBstr,
// ql::SharedVariant): a dataset copied from the defined table costs a copy of each value, not of every
// string of every record. A VARIANT that cannot be copied becomes VT_ERROR holding the failure code, as
// everywhere in the system. Used on the DTM object's apartment thread only (shared parts may be read from
// several).
#include <windows.h>
#include <oleauto.h>

#include "classlib/Bstr.h"
#include "classlib/SharedBstr.h"
#include "classlib/SharedVariant.h"
#include "classlib/Variant.h"
#include "dataset/VariableFields.h"

struct IQuelkVariablesEx;

// A per-parameter hook: called with the store's own interface and the parameter id.
using VariableHook = HRESULT (*)(IQuelkVariablesEx* store, ULONG id);

struct VariableHooks {
    VariableHook OnBeforeSetValue = nullptr;
    VariableHook OnBeforeRead = nullptr;
    VariableHook OnBeforeWrite = nullptr;
    VariableHook OnAfterSetValue = nullptr;
    VariableHook OnAfterRead = nullptr;
    VariableHook OnAfterWrite = nullptr;

    // The hook that serves `event`, null when the event has none or is not a hook event.
    VariableHook ForEvent(int event) const noexcept;
    bool operator==(const VariableHooks& other) const noexcept;

    // The set without hooks, which most records have.
    static const VariableHooks& None() noexcept;
    // The lasting copy of `hooks` that records point at: the sets are few and never change, so every
    // record of a table shares one instead of carrying six pointers. Null when it cannot be kept (memory).
    static const VariableHooks* Intern(const VariableHooks& hooks) noexcept;
};

class CQuelkVariable {
public:
    // An empty record (id 0, every VARIANT VT_EMPTY, every text null); the usual `out` of a list read.
    CQuelkVariable() noexcept = default;

    // A record from every field value, in the order the parameter table gives them. Texts and VARIANTs
    // are copied; then Value, MinValue, MaxValue and DefaultValue are converted to `dataType` (a field
    // that does not convert is left VT_EMPTY) and a non-zero `nameResourceId` replaces the name by that
    // string resource of the module. A copy or conversion that ran out of memory leaves the record
    // incomplete: BuildResult() tells.
    CQuelkVariable(ULONG isDeviceParameter, ULONG id, const VARIANT& address, const wchar_t* name,
                   ULONG nameResourceId, VARTYPE dataType, const VARIANT& minValue, const VARIANT& maxValue,
                   const VARIANT& defaultValue, const VARIANT& value, ULONG persistent, ULONG access,
                   ULONG writeLevel, ULONG spareWord1, const wchar_t* exportGroup, ULONG exportKind,
                   const wchar_t* description, USHORT enumerationKind, const VARIANT& enumerationEntries,
                   const VARIANT& displayAttribute, const VARIANT& updateRule, const VariableHooks& hooks);

    CQuelkVariable(const CQuelkVariable& other) noexcept;
    CQuelkVariable& operator=(const CQuelkVariable& other) noexcept;
    CQuelkVariable(CQuelkVariable&& other) noexcept = default;
    CQuelkVariable& operator=(CQuelkVariable&& other) noexcept = default;
    ~CQuelkVariable() = default;

    // The key of the list; set only by the constructor (and carried along by whole-record copies).
    ULONG Id() const noexcept { return id_; }
    // E_OUTOFMEMORY when the record lacks a field its definition or its original had because memory ran
    // out while it was made or copied (a copy of such a record is no better); S_OK otherwise. A dataset
    // never takes such a record.
    HRESULT BuildResult() const noexcept { return built_; }

    ULONG IsDeviceParameter = 0;
    ql::Variant Address;  // VT_UI4 slot * 65536 + index, VT_EMPTY for internal items
    ql::SharedBstr Name;
    ULONG NameResourceId = 0;
    ql::SharedBstr Description;
    VARTYPE DataType = VT_EMPTY;
    USHORT EnumerationKind = kEnumerationNone;
    ql::SharedVariant MinValue;
    ql::SharedVariant MaxValue;  // equal bounds mean no range
    ql::SharedVariant DefaultValue;
    ql::Variant Value;
    // Value read through DataType, as every save, document and list reads it (ChangeToStoredType): a
    // setter may keep a value as given, such as the text "7" in a VT_UI2 record. A value that does not
    // convert, which no setter takes, is given as it stands. Fails only for want of memory.
    HRESULT TypedValue(ql::Variant& out) const noexcept;
    ql::SharedVariant EnumerationEntries;  // VT_ARRAY|VT_BSTR of "code;text", VT_EMPTY when not enumerated
    ULONG Persistent = 0;
    ULONG Access = 0;
    ULONG WriteLevel = 0;
    ULONG SpareWord1 = 0;
    ql::SharedBstr ExportGroup;
    ULONG ExportKind = 0;
    ql::SharedVariant DisplayAttribute;
    ql::SharedVariant UpdateRule;                         // VT_BSTR "update(id,id,...)" or an empty text
    const VariableHooks* Hooks = &VariableHooks::None();  // never null

private:
    // Keeps the first allocation failure of the record's making; other failures are the definition's own.
    void NoteOutOfMemory(HRESULT hr) noexcept {
        if (hr == E_OUTOFMEMORY && SUCCEEDED(built_)) built_ = hr;
    }

    ULONG id_ = 0;
    HRESULT built_ = S_OK;
};

// Deep copy of `source` into `target`. On failure `target` holds VT_ERROR with the failure code, which
// is also returned.
HRESULT CopyVariantOrError(ql::Variant& target, const VARIANT& source) noexcept;
HRESULT CopyVariantOrError(ql::SharedVariant& target, const VARIANT& source) noexcept;
