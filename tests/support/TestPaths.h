#pragma once
// Paths as the programs under test see them under Wine: the source tree is a Unix path, reached through
// drive Z:.
#include <string>
#include <string_view>

namespace vtest {

// "/work/x/y" as "Z:\work\x\y"; a path that is already a Windows path only gets backslashes.
std::wstring WindowsPath(std::string_view path);
// A file or folder below the source tree (no trailing backslash).
std::wstring SourcePath(std::string_view relative);
// data/schemas, where the FDT schema files live.
std::wstring SchemasFolder();
// The bytes of a file below the source tree (empty when it cannot be read).
std::string SourceFileBytes(std::string_view relative);
// A file in the folder of the running test program.
std::wstring FileBesideProgram(const wchar_t* name);

}  // namespace vtest
