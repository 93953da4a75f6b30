#pragma once
// The fallback folder of the FDT schema files, named by the registry.
//
// Nothing in the system writes this value; an installation of the frame may. It is consulted file by
// file, only when a schema cannot be added from the folder that the frame named, and is read anew each
// time (nothing of it is kept).
#include <windows.h>

#include "classlib/Bstr.h"

// Key under HKEY_LOCAL_MACHINE and the value holding the folder.
inline constexpr char kSchemaPathsKey[] = "Software\\Quellmark\\Quellbase\\XML\\SchemaPaths";
inline constexpr char kSchemaPathsValue[] = "value0";
// The folder is ANSI text of at most this many bytes, its terminating zero included.
inline constexpr DWORD kSchemaPathsMaxBytes = 512;

// S_OK with the folder (possibly empty) in `folder`; S_FALSE, `folder` null, when there is no usable
// folder: key or value missing or unreadable, not a string, or longer than 511 characters. An
// allocation failure answers E_OUTOFMEMORY.
HRESULT ReadRegistrySchemaFolder(ql::Bstr& folder) noexcept;
