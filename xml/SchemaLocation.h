#pragma once
// How one schema file is named in the collection: its namespace and where the collection reads it.
#include <windows.h>

#include <string_view>

#include "classlib/Bstr.h"

// FDT documents name their schemas as "x-schema:" followed by the file name.
inline constexpr wchar_t kSchemaNamespacePrefix[] = L"x-schema:";

// "x-schema:" + fileName.
HRESULT SchemaNamespace(std::wstring_view fileName, ql::Bstr& out) noexcept;
// folder + "\" + fileName, the backslash left out when the folder already ends with one. Only a
// backslash counts as separator: "C:/S/" gives "C:/S/\name", and an empty folder "\name".
HRESULT SchemaLocation(std::wstring_view folder, std::wstring_view fileName, ql::Bstr& out) noexcept;
