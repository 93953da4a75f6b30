#pragma once
// The fixed texts of the documentation document (DTMDocumentationSchema). Every blank and tab is part of
// the document the frame receives; "%" marks where a text is put in.
#include <windows.h>

// The header opens the root and the section "DTM Parameters"; the trailer closes both. The date goes
// between the two header pieces (the fdt:date attribute).
constexpr wchar_t kDocumentationHeaderStart[] =
    L"<?xml version=\"1.0\"?> <FDT \txmlns=\"x-schema:DTMDocumentationSchema.xml\" "
    L"\txmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" \txmlns:dtmi=\"x-schema:DTMInformationSchema.xml\" "
    L"\ttitle=\"Documentation\" \tfdt:classificationId=\"dtmSpecific\" fdt:manufacturerId=\"0\" "
    L"\tfdt:deviceTypeId=\"0\" \tdtmi:deviceTypeInformation=\"Special Information concerning the type\" "
    L"\tfdt:descriptor=\"Documentation of DTM\" fdt:date=\"";
constexpr wchar_t kDocumentationHeaderEnd[] =
    L"\"> \t<fdt:VersionInformation name=\"DTM\" vendor=\"Name of Vendor\" \t\tversion=\"Current Version\" "
    L"date=\"\" descriptor=\"\"/> \t\t<DocumentVariables fdt:name=\"DTM Parameters\"> ";
constexpr wchar_t kDocumentationTrailer[] =
    L"\t\t</DocumentVariables> \t\t<DTMStyleForCompleteDocument/> \t<DTMSpecificXMLData/> </FDT> ";

// "<DocumentVariables fdt:name="NAME"> " and the function section's name "Function: NAME - Date: DATE".
constexpr wchar_t kSectionStart[] = L"<DocumentVariables fdt:name=\"";
constexpr wchar_t kSectionStartEnd[] = L"\"> ";
constexpr wchar_t kFunctionSectionName[] = L"Function: ";
constexpr wchar_t kFunctionSectionDate[] = L" - Date: ";
constexpr wchar_t kSectionEnd[] = L"</DocumentVariables> ";

// "Not Connected (NAME) - Date: DATE"
constexpr wchar_t kNotConnectedStart[] = L"Not Connected (";
constexpr wchar_t kNotConnectedDate[] = L") - Date: ";

// The body of a complete document starts with one blank.
constexpr wchar_t kBodyStart[] = L" ";

// The functions whose documentation differs; every other function is documented as "OffLine Parameterize".
constexpr LONG kDocumentOfflineParameterize = 1;
constexpr LONG kDocumentOnlineParameterize = 2;
constexpr LONG kDocumentDiagnosis = 4;
constexpr LONG kDocumentMeasuredValues = 5;

// The function's name in titles.
const wchar_t* DocumentationFunctionName(LONG functionId) noexcept;

// The fixed file every complete document is also written to.
constexpr wchar_t kDocumentationDumpPath[] = L"C:/Base/External/Orvo.xml";
