#include "BenchDocuments.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "classlib/Utf8.h"

namespace xmlbench {

namespace {

constexpr int kParameterCount = 121;

std::wstring ReadSample(const std::string& name) {
    std::ifstream file(std::filesystem::path(SourcePath("tests/data/xml/valid/" + name)), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return ql::WideFromUtf8(bytes.str());
}

// The documentation document as the DTM writes it: one item per parameter, and the three extra lines of a
// record item for every fourth parameter.
std::wstring DocumentationText() {
    std::wostringstream text;
    text << L"<?xml version=\"1.0\"?> <FDT \txmlns=\"x-schema:DTMDocumentationSchema.xml\" "
            L"\txmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" "
            L"\txmlns:dtmi=\"x-schema:DTMInformationSchema.xml\" "
            L"\ttitle=\"Documentation\" \tfdt:classificationId=\"dtmSpecific\" fdt:manufacturerId=\"0\" "
            L"\tfdt:deviceTypeId=\"0\" \tdtmi:deviceTypeInformation=\"Special Information concerning the "
            L"type\" "
            L"\tfdt:descriptor=\"Documentation of DTM\" fdt:date=\"2026-12-05\"> \t<fdt:VersionInformation "
            L"name=\"DTM\" vendor=\"Name of Vendor\" \t\tversion=\"Current Version\" date=\"\" "
            L"descriptor=\"\"/> "
            L"\t\t<DocumentVariables fdt:name=\"DTM Parameters\"> <DocumentVariables fdt:name=\"Function: "
            L"OffLine "
            L"Parameterize - Date: 2026-12-05\"> </DocumentVariables> ";
    for (int p = 1; p <= kParameterCount; ++p) {
        text << L"<DocumentVariable fdt:name=\"Transducer Block - Parameter " << p
             << L"\" fdt:display=\"Value: " << p * 3 << L".500000 &amp; more\" />";
        if (p % 4 == 0) {
            text << L"<DocumentVariable fdt:name=\"\" fdt:display=\"Status: Good (Non-Cascade)\" />"
                    L"<DocumentVariable fdt:name=\"\" fdt:display=\"SubStatus: Ok\" />"
                    L"<DocumentVariable fdt:name=\"\" fdt:display=\"Limits: Ok\" />";
        }
    }
    text << L" \t\t</DocumentVariables> \t\t<DTMStyleForCompleteDocument/> \t<DTMSpecificXMLData/> </FDT> ";
    return text.str();
}

// The parameter document with every parameter exported, in the value forms the DTM writes.
std::wstring ParameterText() {
    const std::wstring sample = ReadSample("parameters.xml");
    const std::wstring busEnd = L"</BusInformation>";
    const size_t cut = sample.find(busEnd);
    if (cut == std::wstring::npos) return std::wstring();
    std::wostringstream text;
    text << sample.substr(0, cut + busEnd.size());
    text << L"<ExportedVariables><fdt:DtmVariables name=\"ExportedVariables\">";
    static const wchar_t* const kForms[] = {
        L"dataType=\"unsigned\"> <fdt:NumberData number=\"1322\" />",
        L"dataType=\"float\"> <fdt:NumberData number=\"100.6\" />",
        L"dataType=\"byte\"> <fdt:NumberData number=\"8\" />",
        L"dataType=\"ascii\"> <fdt:StringData string=\"PT-101 &amp; more\" />",
        L"dataType=\"hexString\"> <fdt:StringData string=\"42C8000080\" />",
        L"dataType=\"dateAndTime\"> <fdt:TimeData time=\"12/5/2026 12:30:15 PM\" />",
    };
    for (int p = 1; p <= kParameterCount; ++p) {
        if (p % 20 == 1) text << L"<fdt:DtmVariables name=\"Group " << p / 20 << L"\">";
        text << L"<fdt:DtmVariable name=\"Block - Parameter " << p << L"\"><fdt:Value readAccess=\"1\" "
             << L"writeAccess=\"" << (p % 3 == 0 ? 0 : 1) << L"\">";
        if (p % 7 == 0) {
            text << L"<fdt:Display string=\"Value " << p << L"\"/>";
        } else {
            text << L"<fdt:Variant xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" "
                 << kForms[p % (sizeof(kForms) / sizeof(kForms[0]))] << L"</fdt:Variant>";
        }
        text << L"</fdt:Value></fdt:DtmVariable>";
        if (p % 20 == 0 || p == kParameterCount) text << L"</fdt:DtmVariables>";
    }
    text << L"</fdt:DtmVariables></ExportedVariables>\t</DtmDevice> </FDT> ";
    return text.str();
}

}  // namespace

std::wstring SourcePath(const std::string& relative) {
    std::wstring path = L"Z:" + ql::WideFromUtf8(VARNOK_SOURCE_DIR) + L"/" + ql::WideFromUtf8(relative);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::vector<BenchDocument> MakeBenchDocuments() {
    return {
        {L"DP-V1 ReadResponse",
         ReadSample("dpv1-read-response.xml"),
         {L"FDTProfibusDPV1CommunicationSchema.xml", L"FDTDataTypesSchema.xml"}},
        {L"Documentation, 121 parameters",
         DocumentationText(),
         {L"DTMDocumentationSchema.xml", L"FDTDataTypesSchema.xml", L"DTMInformationSchema.xml",
          L"FDTApplicationIdSchema.xml"}},
        {L"Parameters, 121 exported",
         ParameterText(),
         {L"DTMParameterSchema.xml", L"FDTDataTypesSchema.xml"}},
    };
}

}  // namespace xmlbench
