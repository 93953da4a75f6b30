#pragma once
// CQuelkVariable: the dataset's record of one parameter (a device parameter or a DTM-internal item).
// Records are values: the list copies them in and out, so copying duplicates every text and deep-copies
// every VARIANT, but for the enumeration entries, which copies share (they are only ever replaced whole,
// and every record of every dataset that lists the same entries would otherwise hold its own strings). A
// VARIANT that cannot be copied becomes VT_ERROR holding the failure code, as everywhere in the system.
// Used on the DTM object's apartment thread only (shared entry lists may be read from several).
#include <windows.h>
#include <oleauto.h>

#include "classlib/Bstr.h"
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
};

class CQuelkVariable {
public:
    // An empty record (id 0, every VARIANT VT_EMPTY, every text null); the usual `out` of a list read.
    CQuelkVariable() noexcept = default;

    // A record from every field value, in the order the parameter table gives them. Texts and VARIANTs
    // are copied; then Value, MinValue, MaxValue and DefaultValue are converted to `dataType` (a field
    // that does not convert is left VT_EMPTY) and a non-zero `nameResourceId` replaces the name by that
    // string resource of the module.
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

    ULONG IsDeviceParameter = 0;
    ql::Variant Address;  // VT_UI4 slot * 65536 + index, VT_EMPTY for internal items
    ql::Bstr Name;
    ULONG NameResourceId = 0;
    ql::Bstr Description;
    VARTYPE DataType = VT_EMPTY;
    USHORT EnumerationKind = kEnumerationNone;
    ql::Variant MinValue;
    ql::Variant MaxValue;  // equal bounds mean no range
    ql::Variant DefaultValue;
    ql::Variant Value;
    ql::SharedVariant EnumerationEntries;  // VT_ARRAY|VT_BSTR of "code;text", VT_EMPTY when not enumerated
    ULONG Persistent = 0;
    ULONG Access = 0;
    ULONG WriteLevel = 0;
    ULONG SpareWord1 = 0;
    ql::Bstr ExportGroup;
    ULONG ExportKind = 0;
    ql::Variant DisplayAttribute;
    ql::Variant UpdateRule;  // VT_BSTR "update(id,id,...)" or an empty text
    VariableHooks Hooks;

private:
    ULONG id_ = 0;
};

// Deep copy of `source` into `target`. On failure `target` holds VT_ERROR with the failure code, which
// is also returned.
HRESULT CopyVariantOrError(ql::Variant& target, const VARIANT& source) noexcept;
HRESULT CopyVariantOrError(ql::SharedVariant& target, const VARIANT& source) noexcept;
// Copy of a text; a failed allocation leaves `target` null and answers E_OUTOFMEMORY.
HRESULT CopyText(ql::Bstr& target, const ql::Bstr& source) noexcept;
