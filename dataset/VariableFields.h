#pragma once
// The bit words shared by the dataset and everyone who reads its records: the field mask that selects
// record fields, the enumeration kinds and the hook events. The access word's bits and the notifications the
// store sends are the system's shared vocabulary.
#include <windows.h>

#include "values/DtmVocabulary.h"

// Selects fields of a CQuelkVariable; bits may be combined where an operation allows it.
enum VariableFieldMask : ULONG {
    kFieldIsDeviceParameter = 0x1,
    kFieldAddress = 0x2,
    kFieldName = 0x4,
    kFieldNameResourceId = 0x8,
    kFieldDataType = 0x10,  // read only
    kFieldMinValue = 0x20,
    kFieldMaxValue = 0x40,
    kFieldValue = 0x80,
    kFieldDefaultValue = 0x100,
    kFieldPersistent = 0x200,
    kFieldWriteLevel = 0x400,
    kFieldSpareWord1 = 0x800,
    kFieldExportGroup = 0x1000,
    kFieldExportKind = 0x2000,
    kFieldAccess = 0x4000,
    kFieldDescription = 0x8000,
    kFieldEnumerationEntries = 0x10000,
    kFieldEnumerationKind = 0x20000,  // read only
    kFieldDisplayAttribute = 0x40000,
    kFieldUpdateRule = 0x80000,
};

// True when `mask` is exactly one of the field bits above.
constexpr bool IsSingleFieldMask(ULONG mask) noexcept {
    return mask != 0 && (mask & (mask - 1)) == 0 && mask <= kFieldUpdateRule;
}

// Enumeration kinds of a record.
enum EnumerationKind : USHORT {
    kEnumerationNone = 0,
    kEnumerationList = 1,
    kEnumerationBits = 2,
};

// Events that run a record's hooks.
enum HookEvent : int {
    kHookBeforeRead = 1,
    kHookAfterRead = 2,
    kHookBeforeWrite = 3,
    kHookAfterWrite = 4,
    kHookBeforeSetValue = 5,
    kHookAfterSetValue = 6,
};

// Never names a record; every operation that checks ids refuses it.
constexpr ULONG kInvalidParameterId = 0xFFFFFFFF;

// Flag of RunUpdateRule: run the rule after a real change of the value.
constexpr ULONG kUpdateRuleOnChange = 0x1;
