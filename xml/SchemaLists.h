#pragma once
// The schema files each kind of owner puts into its handler's collection.
//
// A list holds file names in the ANSI code page and ends at its first empty entry (not at a null
// pointer); InitializeSchemaCache walks it in order and reports the files it could not add by the name
// as listed.

using SchemaList = const char* const*;

// For the DTM object, filled in its environment step.
extern const char* const DtmSchemaList[];
// For every control and property page, filled when the DTM registers the control.
extern const char* const BuiltInSchemaList[];
