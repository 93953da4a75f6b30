#pragma once
// The documents and places our frame hands a DTM: the device type of a new instance, the user
// information of the configuration, the operation phase and function calls of the function requests, and
// the folder of the FDT schema files.
#include <string>

// An FDT document naming the "Orvo Varnok Profile3 Device" device type (DTMInformationSchema).
const wchar_t* VarnokDeviceTypeDocument() noexcept;
// FDTUserInformationSchema with the user level keyword and no administrator right.
std::wstring UserInformationDocument(const std::wstring& userLevel);
// FDTOperationPhaseSchema with the operation phase keyword ("engineering", "runtime" ...).
std::wstring OperationPhaseDocument(const std::wstring& phase);
// DTMFunctionCallSchema calling the DTM's function `functionId`.
std::wstring FunctionCallDocument(long functionId);
// The data/schemas folder of the source tree as a Windows path (a Unix path is reached through Wine's Z:).
std::wstring SourceTreeSchemaFolder();
// A Unix or Windows path as Windows reaches it.
std::wstring WindowsPathFromBuildPath(const std::string& path);
