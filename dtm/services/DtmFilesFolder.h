#pragma once
// Where the DTM's translation and about files lie: the folder named by the default value of the HKLM key
// "Software\Orvo\VarnokP3 DTM\Files" (written by the setup), else the built-in folder "C:\Base\Orvo\htm".
#include <windows.h>

#include <string>

constexpr wchar_t kTranslationFileName[] = L"TranslationFile.htm";
constexpr wchar_t kAboutFileName[] = L"AboutFile.htm";

// The folder, always ending in a backslash. A missing key, a missing value or an empty one gives the
// built-in folder. E_OUTOFMEMORY is the only failure.
HRESULT GetDtmFilesFolder(std::wstring& folder) noexcept;
