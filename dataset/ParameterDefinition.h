#pragma once
// One definition of the parameter table: every field of a record in the form the table writes it (ANSI
// texts, numbers as doubles, enumerations as entry lists and codes). The store's three definition
// operations turn it into a CQuelkVariable.
#include <windows.h>
#include <oleauto.h>

#include "dataset/QuelkVariable.h"

// Byte-string parameters: the table gives their values as hexadecimal text, two digits per byte.
constexpr VARTYPE kByteArray = VT_ARRAY | VT_UI1;

enum class ParameterKind { Text, Numeric, Enumeration };

struct ParameterDefinition {
    ParameterKind Kind = ParameterKind::Text;
    ULONG IsDeviceParameter = 0;
    ULONG Id = 0;
    // slot * 65536 + index for device parameters; a negative number (no address) for internal items.
    LONG Address = -1;
    const char* Name = "";
    ULONG NameResourceId = 0;
    VARTYPE DataType = VT_EMPTY;
    // Text parameters (VT_BSTR and byte arrays).
    const char* MinText = "";
    const char* MaxText = "";
    const char* DefaultText = "";
    const char* ValueText = "";
    // Numeric parameters; equal bounds mean no range.
    double MinNumber = 0;
    double MaxNumber = 0;
    double DefaultNumber = 0;
    double ValueNumber = 0;
    // Enumerations: "code;text" entries ended by an empty string, and the codes of default and value.
    const char* const* Entries = nullptr;
    ULONG DefaultCode = 0;
    ULONG ValueCode = 0;
    ULONG Persistent = 0;
    ULONG Access = 0;
    ULONG WriteLevel = 0;
    ULONG SpareWord1 = 0;
    const char* ExportGroup = "";
    ULONG ExportKind = 0;
    const char* Description = "";
    USHORT EnumerationKind = kEnumerationNone;
    ULONG DisplayAttribute = 0;  // 0: none
    const char* UpdateRule = "";
    VariableHooks Hooks;
};

// A number as a VARIANT of `type` (through VT_R8): S_OK; S_FALSE, with `out` empty, when it does not convert
// to exactly that type; E_OUTOFMEMORY when memory ran out.
HRESULT DoubleToVariant(double number, VARTYPE type, ql::Variant& out) noexcept;
// A table text as a VARIANT of `type`: hexadecimal digits for a byte array, otherwise the text converted
// from VT_BSTR; S_FALSE, with `out` empty, when it does not convert; E_OUTOFMEMORY when memory ran out.
HRESULT TextToTypedVariant(const char* text, VARTYPE type, ql::Variant& out) noexcept;
