#include "frame/FrameDocuments.h"

#include "classlib/Utf8.h"

#ifndef VARNOK_SOURCE_DIR
#error "VARNOK_SOURCE_DIR names the source tree (set by frame/CMakeLists.txt)"
#endif

const wchar_t* VarnokDeviceTypeDocument() noexcept {
    return L"<?xml version=\"1.0\"?>"
           L"<FDT xmlns=\"x-schema:DTMInformationSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
           L"<fdt:DtmDeviceType readAccess=\"1\" writeAccess=\"0\">"
           L"<fdt:VersionInformation name=\"Orvo Varnok Profile3 Device\" vendor=\"Orvo\" version=\"1.0\" "
           L"date=\"2005-03-02\"/>"
           L"</fdt:DtmDeviceType>"
           L"</FDT>";
}

std::wstring UserInformationDocument(const std::wstring& userLevel) {
    return L"<?xml version=\"1.0\"?>"
           L"<FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\">"
           L"<FDTUserInformation userLevel=\"" +
           userLevel + L"\" administrator=\"0\"/></FDT>";
}

std::wstring OperationPhaseDocument(const std::wstring& phase) {
    return L"<?xml version=\"1.0\"?>"
           L"<FDT xmlns=\"x-schema:FDTOperationPhaseSchema.xml\" operationPhase=\"" +
           phase + L"\"/>";
}

std::wstring FunctionCallDocument(long functionId) {
    return L"<?xml version=\"1.0\"?>"
           L"<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\" "
           L"xmlns:func=\"x-schema:DTMFunctionsSchema.xml\">"
           L"<FDTFunctionCall func:functionId=\"" +
           std::to_wstring(functionId) + L"\"/></FDT>";
}

std::wstring WindowsPathFromBuildPath(const std::string& path) {
    std::wstring windows = ql::WideFromUtf8(path);
    for (wchar_t& c : windows) {
        if (c == L'/') c = L'\\';
    }
    if (!windows.empty() && windows[0] == L'\\') windows.insert(0, L"Z:");
    return windows;
}

std::wstring SourceTreeSchemaFolder() { return WindowsPathFromBuildPath(VARNOK_SOURCE_DIR "/data/schemas"); }
