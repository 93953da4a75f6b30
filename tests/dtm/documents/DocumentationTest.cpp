// IDtmDocumentation: the document of each function with its items, the PA record lines, the diagnosis
// lines, the not-connected document, the dump file, the refusals, and documents that always validate.
#include <string>

#include "DocumentsTestSupport.h"
#include "classlib/Utf8.h"
#include "dtm/documents/DocumentationDiagnosis.h"
#include "dtm/documents/DocumentationItems.h"
#include "frame/simulator/SimulatedDpv1Channel.h"
#include "tests/support/TempFolder.h"

namespace doctest {
namespace {

std::wstring FunctionCall(LONG functionId) {
    return L"<?xml version=\"1.0\"?> <FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\" "
           L"xmlns:func=\"x-schema:DTMFunctionsSchema.xml\" "
           L"xmlns:appId=\"x-schema:FDTApplicationIdSchema.xml\" "
           L"xmlns:ops=\"x-schema:FDTOperationPhaseSchema.xml\"> <FDTFunctionCall func:functionId=\"" +
           std::to_wstring(functionId) + L"\"/> </FDT>";
}

std::string Today() {
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    return text;
}

const char kHeaderStart[] =
    "<?xml version=\"1.0\"?> <FDT \txmlns=\"x-schema:DTMDocumentationSchema.xml\" \txmlns:fdt=\"x-schema:"
    "FDTDataTypesSchema.xml\" \txmlns:dtmi=\"x-schema:DTMInformationSchema.xml\" \ttitle=\"Documentation\" "
    "\tfdt:classificationId=\"dtmSpecific\" fdt:manufacturerId=\"0\" \tfdt:deviceTypeId=\"0\" "
    "\tdtmi:deviceTypeInformation=\"Special Information concerning the type\" "
    "\tfdt:descriptor=\"Documentation of "
    "DTM\" fdt:date=\"";
const char kHeaderEnd[] =
    "\"> \t<fdt:VersionInformation name=\"DTM\" vendor=\"Name of Vendor\" \t\tversion=\"Current Version\" "
    "date=\"\" "
    "descriptor=\"\"/> \t\t<DocumentVariables fdt:name=\"DTM Parameters\"> ";
const char kTrailer[] =
    "\t\t</DocumentVariables> \t\t<DTMStyleForCompleteDocument/> \t<DTMSpecificXMLData/> </FDT> ";

class DocumentationTest : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        dumpPath_ = folder_.File(L"Orvo.xml");
        dtmint::SetDocumentationDumpPath(dtm_.Get(), dumpPath_);
    }
    std::string Document(LONG functionId, HRESULT expected = S_OK) {
        ql::Bstr call(FunctionCall(functionId));
        ql::Bstr document;
        EXPECT_HR(expected, Query<IDtmDocumentation>()->GetDocumentation(call.Get(), document.Put()));
        if (expected != S_OK) {
            EXPECT_TRUE(document.IsNull());
        }
        if (expected == S_OK) {
            bool loaded = false;
            std::string reason;
            EXPECT_HR(S_OK, Validate(document.Get(), &loaded, &reason));
            EXPECT_TRUE(loaded) << reason;
        }
        return Narrow(document.Get());
    }
    bool DumpExists() { return ::GetFileAttributesW(dumpPath_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string Dump() { return DumpExists() ? folder_.Read(L"Orvo.xml") : "<no dump>"; }

    vtest::TempFolder folder_;
    std::wstring dumpPath_;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(DocumentationTest, OfflineParameterizeListsEveryDeviceParameter) {
    SetValue(46, *MakeBytes({0x42, 0xC8, 0x00, 0x00, 0x80}));
    SetValue(75, *MakeUI4(1));
    ql::Variant nominal;
    nominal.SetR4(100.5f);
    SetValue(44, *nominal);
    const std::string document = Document(1);
    const std::string date = Today();
    EXPECT_EQ(std::string(kHeaderStart) + date + kHeaderEnd +
                  "<DocumentVariables fdt:name=\"Function: OffLine "
                  "Parameterize - Date: " +
                  date +
                  "\"> </DocumentVariables>  <DocumentVariable fdt:name=\"Physical Block - BlockObject\"",
              document.substr(
                  0, sizeof kHeaderStart - 1 + date.size() + sizeof kHeaderEnd - 1 + 150 + date.size()));
    EXPECT_EQ(kTrailer, document.substr(document.size() - (sizeof kTrailer - 1)));

    const char* const lines[] = {
        "<DocumentVariable fdt:name=\"Physical Block - BlockObject\" fdt:display=\"Block Object : Physical "
        "Block\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"Parent Class : Transmitter\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"Class : Not Used\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"Profile: Ver 3.00\" />",
        "<DocumentVariable fdt:name=\"Transducer Block - Mode Block\" fdt:display=\"Actual: Auto\"/>"
        "<DocumentVariable fdt:name=\" \" fdt:display=\"Normal: Auto\"/> "
        "<DocumentVariable fdt:name=\" \" fdt:display=\"Permitted: Auto OS Man \"/> ",
        "<DocumentVariable fdt:name=\"Transducer Block - MassFlow\" fdt:display=\"Value: 100.00000\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"Status: Good (Non-Cascade)\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"SubStatus: Ok\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"Limits: Ok\" />",
        "<DocumentVariable fdt:name=\"Physical Block - Tag\" fdt:display=\"                                "
        "\" />",
        "<DocumentVariable fdt:name=\"Physical Block - Target Mode\" fdt:display=\"Auto\" />",
        "<DocumentVariable fdt:name=\"Physical Block - ManufacturerId\" fdt:display=\"250 (Orvo)\" />",
        "<DocumentVariable fdt:name=\"Transducer Block - NominalSize\" fdt:display=\"100.500000\" />",
        "<DocumentVariable fdt:name=\"AI Function Block (Flow) - Batch\" fdt:display=\"Batch : 0\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\"RUP : 0\" />",
        "<DocumentVariable fdt:name=\"AI Function Block (Flow) - OutputScale\" fdt:display=\"EU at 100% : "
        "100.000000\"/> "
        "<DocumentVariable fdt:name=\"\"   fdt:display=\"EU at 0% : 0.000000\"/> "
        "<DocumentVariable fdt:name=\"\"   fdt:display=\"Units Index : 1342\"/> "
        "<DocumentVariable fdt:name=\"\"   fdt:display=\"Decimal : 5\"/> ",
        "<DocumentVariable fdt:name=\"AI Function Block (Flow) - PercentFlow\" fdt:display=\"100% : "
        "100.000000\" />"
        "<DocumentVariable fdt:name=\"\" fdt:display=\" 0% : 0.000000\" />",
    };
    for (const char* line : lines) EXPECT_TRUE(Contains(document, line)) << line;
    for (const char* absent :
         {"Physical Block - Alarm\"", "Physical Block - Diagnosis\"", "Physical Block - DiagnosisExt",
          "AI Function Block (Flow) - Simulate", "\"Username\"", "\"Station Address\""})
        EXPECT_FALSE(Contains(document, absent)) << absent;

    // The enumerations show the entry of their code (a 16-bit one included).
    ql::Variant entries;
    ASSERT_HR(S_OK, Query<IQuelkVariableFields>()->GetVariableField(
                        *MakeUI4(75), *MakeUI4(kFieldEnumerationEntries), entries.Get()));
    EXPECT_TRUE(Contains(document, "fdt:name=\"AI Function Block (Flow) - Fail Safe Type\" fdt:display=\""));
    EXPECT_TRUE(Contains(document, "fdt:name=\"Transducer Block - MassFlowUnit\" fdt:display=\""));

    EXPECT_EQ(document, Dump()) << "the complete document is also the dump, in the ANSI code page";
}

TEST_F(DocumentationTest, OnlineFunctionsOfflineGiveTheNotConnectedDocumentAndNoDump) {
    // A channel the DTM holds but is not connected through: nothing may be asked of the device.
    ql::ComPtr<CSimulatedDpv1Channel> channel;
    ASSERT_HR(S_OK, ql::MakeObject(channel));
    const ql::ComPtr<IQuelkDpv1Client> client = Query<IQuelkDpv1Client>();
    ASSERT_HR(S_OK, client->SetChannel(static_cast<IFdtCommunication*>(channel.Get())));
    for (LONG function : {2L, 5L}) {
        SCOPED_TRACE(function);
        const std::string date = Today();
        const std::string notConnected = std::string("Not Connected (") +
                                         (function == 2 ? "OnLine Parameterize" : "Measured Values") +
                                         ") - Date: " + date;
        EXPECT_EQ(std::string(kHeaderStart) + notConnected + kHeaderEnd + "<DocumentVariables fdt:name=\"" +
                      notConnected + "\"> </DocumentVariables> " + kTrailer,
                  Document(function));
        EXPECT_FALSE(DumpExists());
        EXPECT_TRUE(channel->Requests().empty());
    }
    ASSERT_HR(S_OK, client->SetChannel(nullptr));
    channel->DropCallback();
}

TEST_F(DocumentationTest, ValuesWithMarkupAreEscapedAndPlainFormsFollowTheValueType) {
    SetValue(23, *MakeBstr(L"Line A & B <north> \"main\""));
    SetValue(17, *MakeBytes({'A', '&', '<', 0x00, 'Z'}));
    // A value kept as it was given is documented as its parameter's type.
    SetField(16, kFieldValue, *MakeBstr(L"7"));
    const std::string document = Document(1);
    EXPECT_TRUE(Contains(document,
                         "fdt:name=\"Physical Block - SoftwareRevision\" fdt:display=\"Line A &amp; B "
                         "&lt;north> &quot;main&quot;\" />"));
    EXPECT_TRUE(Contains(document, "fdt:name=\"Physical Block - StaticRevision\" fdt:display=\"7\" />"));
    EXPECT_TRUE(Contains(document, "fdt:name=\"Physical Block - Tag\" fdt:display=\"A&amp;&lt;\" />"));

    // No parameter of the device holds these types: their plain forms are the items' own.
    ql::Variant boolean, date;
    boolean.SetBool(true);
    date.Put()->vt = VT_DATE;
    V_DATE(date.Get()) = 46000;
    std::wstring body;
    ASSERT_HR(S_OK, AppendParameterItem(body, 16, L"Physical Block - StaticRevision", *boolean, nullptr));
    ASSERT_HR(S_OK, AppendParameterItem(body, 18, L"Physical Block - Strategy", *date, nullptr));
    const std::string items = ql::Utf8FromWide(body.c_str());
    EXPECT_TRUE(Contains(items, "fdt:name=\"Physical Block - StaticRevision\" fdt:display=\"True\" />"));
    EXPECT_TRUE(Contains(items, "fdt:name=\"Physical Block - Strategy\" fdt:display=\"...\" />"));
}

}  // namespace
}  // namespace doctest
