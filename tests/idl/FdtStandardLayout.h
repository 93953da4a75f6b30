#pragma once
// Test data: the layouts of the FDT 1.2 interfaces that the DTM implements or calls, as the published
// interface definitions of the standard give them (type library "Fdt100"), with the standard's interface
// names. Each row is one method: its vtable slot, its DISPID, the standard's name where a late-bound caller
// depends on it (every method of an interface the DTM implements, which a frame may call by name; null for
// the frame's and the channel's, which the DTM calls by slot), and its parameters, each written as the
// type (an interface pointer by its interface's name), the [out, retval] one last as "->type".
#include <windows.h>

namespace idltest {

struct StandardMethod {
    int slot;
    DISPID dispid;
    const wchar_t* name;
    const wchar_t* parameters;
};

struct StandardInterface {
    const wchar_t* name;
    const wchar_t* iid;
    const StandardMethod* methods;
    size_t methodCount;
};

inline constexpr StandardMethod kDtm[] = {
    {7, 1, L"Environment", L"BSTR IFrameContainer* ->VARIANT_BOOL"},
    {8, 2, L"InitNew", L"BSTR ->VARIANT_BOOL"},
    {9, 3, L"Config", L"BSTR ->VARIANT_BOOL"},
    {10, 4, L"SetCommunication", L"IFdtCommunication* ->VARIANT_BOOL"},
    {11, 5, L"PrepareToRelease", L"->VARIANT_BOOL"},
    {12, 6, L"PrepareToReleaseCommunication", L"->VARIANT_BOOL"},
    {13, 7, L"ReleaseCommunication", L"->VARIANT_BOOL"},
    {14, 8, L"PrepareToDelete", L"->VARIANT_BOOL"},
    {15, 9, L"SetLanguage", L"LONG ->VARIANT_BOOL"},
    {16, 10, L"GetFunctions", L"BSTR ->BSTR"},
    {17, 11, L"InvokeFunctionRequest", L"BSTR BSTR ->VARIANT_BOOL"},
    {18, 12, L"PrivateDialogEnabled", L"VARIANT_BOOL ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kDtmInformation[] = {{7, 1, L"GetInformation", L"->BSTR"}};
inline constexpr StandardMethod kDtmParameter[] = {
    {7, 1, L"GetParameters", L"BSTR ->BSTR"},
    {8, 2, L"SetParameters", L"BSTR BSTR ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kDtmOnlineParameter[] = {
    {7, 1, L"CancelAction", L"BSTR ->VARIANT_BOOL"},
    {8, 2, L"DownloadRequest", L"BSTR BSTR ->VARIANT_BOOL"},
    {9, 3, L"UploadRequest", L"BSTR BSTR ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kFdtEvents[] = {
    {7, 1, L"OnChildParameterChanged", L"BSTR"},
    {8, 2, L"OnParameterChanged", L"BSTR BSTR"},
    {9, 3, L"OnLockDataSet", L"BSTR BSTR"},
    {10, 4, L"OnUnlockDataSet", L"BSTR BSTR ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kDtmActiveXInformation[] = {
    {7, 1, L"GetActiveXGuid", L"BSTR ->BSTR"},
    {8, 2, L"GetActiveXProgId", L"BSTR ->BSTR"},
};
inline constexpr StandardMethod kDtmDocumentation[] = {{7, 1, L"GetDocumentation", L"BSTR ->BSTR"}};
inline constexpr StandardMethod kDtmDiagnosis[] = {
    {7, 1, L"Verify", L"->VARIANT_BOOL"},
    {8, 2, L"InitCompare", L"BSTR ->VARIANT_BOOL"},
    {9, 3, L"Compare", L"->VARIANT_BOOL"},
    {10, 4, L"ReleaseCompare", L"->VARIANT_BOOL"},
};
inline constexpr StandardMethod kDtmImportExport[] = {
    {7, 1, L"Import", L"IStream* ->VARIANT_BOOL"},
    {8, 2, L"Export", L"IStream* ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kDtmActiveXControl[] = {
    {7, 1, L"Init", L"BSTR BSTR IDtm* ->VARIANT_BOOL"},
    {8, 2, L"PrepareToRelease", L"->VARIANT_BOOL"},
};
inline constexpr StandardMethod kFdtCommunicationEvents[] = {
    {7, 1, L"OnAbort", L"BSTR"},
    {8, 2, L"OnConnectResponse", L"BSTR BSTR"},
    {9, 3, L"OnDisconnectResponse", L"BSTR BSTR"},
    {10, 4, L"OnTransactionResponse", L"BSTR BSTR"},
};
inline constexpr StandardMethod kFdtCommunication[] = {
    {7, 1, nullptr, L"BSTR"},
    {8, 2, nullptr, L"IFdtCommunicationEvents* BSTR BSTR BSTR ->VARIANT_BOOL"},
    {9, 3, nullptr, L"BSTR BSTR ->VARIANT_BOOL"},
    {10, 4, nullptr, L"BSTR BSTR ->VARIANT_BOOL"},
    {11, 5, L"GetSupportedProtocols", L"->BSTR"},
    {12, 6, L"SequenceBegin", L"BSTR ->VARIANT_BOOL"},
    {13, 7, L"SequenceStart", L"BSTR ->VARIANT_BOOL"},
    {14, 8, L"SequenceEnd", L"BSTR ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kFrameContainer[] = {
    {7, 1, nullptr, L"BSTR ->VARIANT_BOOL"},
    {8, 2, nullptr, L"BSTR ->VARIANT_BOOL"},
    {9, 3, nullptr, L"BSTR ->VARIANT_BOOL"},
    {10, 4, nullptr, L"->BSTR"},
};
inline constexpr StandardMethod kFrameEvents[] = {
    {7, 1, nullptr, L"BSTR BSTR"},
    {8, 2, nullptr, L"BSTR BSTR"},
    {9, 3, nullptr, L"BSTR BSTR SHORT VARIANT_BOOL"},
    {10, 4, nullptr, L"BSTR VARIANT_BOOL"},
    {11, 5, nullptr, L"BSTR VARIANT_BOOL"},
    {12, 6, nullptr, L"BSTR"},
    {13, 8, nullptr, L"BSTR"},
    {14, 9, nullptr, L"BSTR BSTR"},
    {15, 10, nullptr, L"BSTR BSTR"},
    {16, 11, nullptr, L"BSTR"},
    {17, 12, nullptr, L"BSTR VARIANT_BOOL"},
    {18, 13, nullptr, L"BSTR"},
    {19, 14, nullptr, L"BSTR"},
    {20, 15, nullptr, L"BSTR VARIANT_BOOL"},
    {21, 16, nullptr, L"BSTR BSTR"},
};
inline constexpr StandardMethod kFrameDialog[] = {{7, 1, nullptr, L"BSTR BSTR ->BSTR"}};
inline constexpr StandardMethod kFrameActiveX[] = {
    {7, 1, nullptr, L"BSTR BSTR ->VARIANT_BOOL"},
    {8, 2, nullptr, L"BSTR ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kFrameDtmAccess[] = {
    {7, 1, L"GetParentNodes", L"BSTR ->BSTR"},
    {8, 2, L"GetChildNodes", L"BSTR BSTR ->BSTR"},
    {9, 3, L"CreateChild", L"BSTR BSTR ->BSTR"},
    {10, 4, L"DeleteChild", L"BSTR BSTR ->VARIANT_BOOL"},
    {11, 5, nullptr, L"BSTR ->IDtm*"},
    {12, 6, L"GetDtmInfoList", L"->BSTR"},
    {13, 7, L"MoveChild", L"BSTR BSTR ->VARIANT_BOOL"},
    {14, 8, nullptr, L"BSTR ->VARIANT_BOOL"},
};
inline constexpr StandardMethod kFrameDocument[] = {
    {7, 1, nullptr, L"BSTR ->VARIANT_BOOL"},
    {8, 2, nullptr, L"BSTR BSTR"},
    {9, 3, nullptr, L"BSTR ->VARIANT_BOOL"},
};

#define IDLTEST_INTERFACE(name, iid, methods) \
    { name, iid, methods, sizeof(methods) / sizeof(methods[0]) }
inline constexpr StandardInterface kFdtStandardInterfaces[] = {
    IDLTEST_INTERFACE(L"IDtm", L"{036D1481-387B-11D4-86E1-00E0987270B9}", kDtm),
    IDLTEST_INTERFACE(L"IDtmInformation", L"{036D147F-387B-11D4-86E1-00E0987270B9}", kDtmInformation),
    IDLTEST_INTERFACE(L"IDtmParameter", L"{036D147D-387B-11D4-86E1-00E0987270B9}", kDtmParameter),
    IDLTEST_INTERFACE(L"IDtmOnlineParameter", L"{036D1483-387B-11D4-86E1-00E0987270B9}", kDtmOnlineParameter),
    IDLTEST_INTERFACE(L"IFdtEvents", L"{036D1478-387B-11D4-86E1-00E0987270B9}", kFdtEvents),
    IDLTEST_INTERFACE(L"IDtmActiveXInformation", L"{036D1480-387B-11D4-86E1-00E0987270B9}",
                      kDtmActiveXInformation),
    IDLTEST_INTERFACE(L"IDtmDocumentation", L"{036D147C-387B-11D4-86E1-00E0987270B9}", kDtmDocumentation),
    IDLTEST_INTERFACE(L"IDtmDiagnosis", L"{036D1476-387B-11D4-86E1-00E0987270B9}", kDtmDiagnosis),
    IDLTEST_INTERFACE(L"IDtmImportExport", L"{036D148E-387B-11D4-86E1-00E0987270B9}", kDtmImportExport),
    IDLTEST_INTERFACE(L"IDtmActiveXControl", L"{036D1486-387B-11D4-86E1-00E0987270B9}", kDtmActiveXControl),
    IDLTEST_INTERFACE(L"IFdtCommunicationEvents", L"{036D1485-387B-11D4-86E1-00E0987270B9}",
                      kFdtCommunicationEvents),
    IDLTEST_INTERFACE(L"IFdtCommunication", L"{039ECFC4-9CA8-44E6-944D-B37F288A34D8}", kFdtCommunication),
    IDLTEST_INTERFACE(L"IFrameContainer", L"{036D1487-387B-11D4-86E1-00E0987270B9}", kFrameContainer),
    IDLTEST_INTERFACE(L"IFrameEvents", L"{F15BA42E-BBF1-42ED-8009-7F664A002CFB}", kFrameEvents),
    IDLTEST_INTERFACE(L"IFrameDialog", L"{15C19931-6161-11D4-A0A9-005004011A04}", kFrameDialog),
    IDLTEST_INTERFACE(L"IFrameActiveX", L"{5959F485-2C51-4A55-80A7-DD3C45D8BAF2}", kFrameActiveX),
    IDLTEST_INTERFACE(L"IFrameDtmAccess", L"{036D147A-387B-11D4-86E1-00E0987270B9}", kFrameDtmAccess),
    IDLTEST_INTERFACE(L"IFrameDocument", L"{036D1479-387B-11D4-86E1-00E0987270B9}", kFrameDocument),
};
#undef IDLTEST_INTERFACE

}  // namespace idltest
