// The UI-function table and the functions document.
#include <string>
#include <vector>

#include "ServicesTestSupport.h"
#include "dtm/services/FunctionsDocument.h"
#include "values/AnsiText.h"

namespace svctest {
namespace {

class FunctionsDocumentTest : public ServicesTest {
protected:
    // IDtm::GetFunctions for an operation phase; the document must load through the DTM's schema cache.
    std::wstring Functions(const wchar_t* phase = L"engineering") {
        ql::Bstr request(OperationPhaseDocument(phase));
        ql::Bstr functions;
        EXPECT_HR(S_OK, Dtm()->GetFunctions(request.Get(), functions.Put()));
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, dtm_->LoadXMLDocument(functions.Get(), document.Put(), &loaded));
        EXPECT_EQ(VARIANT_TRUE, loaded) << "the frame would refuse the document";
        return Text(functions.Get());
    }
};

std::wstring Wrapped(const wchar_t* body) {
    ql::Bstr text(body);
    ql::Bstr document;
    EXPECT_HR(S_OK, WrapFunctionsDocument(text.Get(), document));
    return Text(document.Get());
}

TEST_F(FunctionsDocumentTest, EngineeringPhaseListsTheStandardFunctionsAndFunctions) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    // The sample document holds exactly what frames have always received.
    const std::string expected = ReadSourceFile("tests/data/xml/valid/functions.xml");
    ASSERT_FALSE(expected.empty());
    ql::Bstr expectedText;
    ASSERT_HR(S_OK, AnsiToBstr(expected, expectedText));
    EXPECT_EQ(std::wstring(expectedText.View()), Functions());
}

TEST_F(FunctionsDocumentTest, NoFunctionForAUserWithoutLevel) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    dtm_->SetUserLevelWord(0);
    EXPECT_EQ(Wrapped(L" "), Functions());
}

TEST_F(FunctionsDocumentTest, TextsFollowTheLanguageAndAreEscaped) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    VARIANT_BOOL accepted = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->SetLanguage(1031, &accepted));
    std::wstring document = Functions();
    EXPECT_NE(std::wstring::npos,
              document.find(L"fdt:name =\"Messwerte\" \thelp =\"Hilfe\" \tfunctionId =\"5\""));
    EXPECT_NE(std::wstring::npos, document.find(L"<Function \tlabel =\"Info\" \tfdt:name =\"Info\""));

    // A translation with a quote, an angle bracket and an ampersand still gives a document the frame reads.
    ql::Bstr translation(
        L"<localization><general><languages><language lcid=\"1033\" code=\"en\"/></languages>"
        L"</general><DTM><FunctionList><Function id=\"6\"><Label><locale code=\"en\">"
        L"&quot;About&quot; &lt;this&gt; &amp; that</locale></Label></Function></FunctionList></DTM>"
        L"</localization>");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_HR(S_OK, Query<IQuelkLocalization>()->LoadDocument(translation.Get(), &loaded));
    ASSERT_HR(S_OK, Query<IQuelkLocalization>()->SelectById(1033, &loaded));
    document = Functions();
    // The DOM's escaping: quotes, "<" and "&" become references ("&lt;this>" is well formed).
    EXPECT_NE(std::wstring::npos, document.find(L"label =\"&quot;About&quot; &lt;this"));
    EXPECT_NE(std::wstring::npos, document.find(L" &amp; that\" \tfdt:name =\"About\""));
}

TEST_F(FunctionsDocumentTest, StatusChangesReachOnlyThisDtmsDocument) {
    CreateDtm(SourceDataFolder().c_str());
    // Before the environment there is no frame to tell: the status stays.
    EXPECT_HR(S_OK, Query<IQuelkFunctions>()->SetFunctionEnabled(2, FALSE));
    QuelkUiFunction* row = nullptr;
    ASSERT_HR(S_OK, dtm_->FunctionTable().FindFunctionRow(2, &row));
    EXPECT_EQ(kUiStatusEnabled, row->Status);
    DriveToConfigured();
    ql::ComPtr<CServicesTestDtm> other;
    {
        CFilesFolderOverride folder(SourceDataFolder().c_str());
        ASSERT_HR(S_OK, ql::MakeObject(other));
    }
    ql::ComPtr<IQuelkFunctions> functions = Query<IQuelkFunctions>();
    EXPECT_HR(S_OK, functions->SetFunctionEnabled(2, FALSE));
    EXPECT_HR(S_OK, functions->SetFunctionStatus(6, FALSE, TRUE, FALSE, TRUE));
    const std::wstring document = Functions();
    EXPECT_NE(std::wstring::npos,
              document.find(
                  L"functionId =\"2\" \tprintableStandardFunction=\"0\" \tresizableStandardFunction=\"1\"> "
                  L"\t<Status \ttoggle =\"0\" \tchecked =\"0\" \tenabled =\"0\" \thidden =\"0\""));
    EXPECT_NE(
        std::wstring::npos,
        document.find(L"functionId =\"6\" \tprintable=\"0\" \tresizable=\"1\"> \t<Status \ttoggle =\"0\" "
                      L"\tchecked =\"1\" \tenabled =\"0\" \thidden =\"1\""));
    EXPECT_EQ(2u, frame_->CountCalls(L"NotifyFunctionsChanged"));

    ASSERT_HR(S_OK, other->FunctionTable().FindFunctionRow(2, &row));
    EXPECT_EQ(kUiStatusEnabled, row->Status);
    EXPECT_HR(E_FAIL, Query<IQuelkFunctions>()->SetFunctionEnabled(3, TRUE)) << "function 3 has no row";
}

TEST_F(FunctionsDocumentTest, Refusals) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToInitialised();
    ql::Bstr phase(OperationPhaseDocument(L"runtime"));
    ql::Bstr functions;
    EXPECT_HR(E_INVALIDARG, Dtm()->GetFunctions(phase.Get(), nullptr));
    EXPECT_HR(S_FALSE, Dtm()->GetFunctions(nullptr, functions.Put()));
    ql::Bstr notPhase(FunctionCallDocument(1));
    EXPECT_HR(S_FALSE, Dtm()->GetFunctions(notPhase.Get(), functions.Put()));
    EXPECT_TRUE(functions.IsNull());
    ForceState(kStateEnvironmentNew);
    EXPECT_HR(S_FALSE, Dtm()->GetFunctions(phase.Get(), functions.Put()));
}

// ---- The element sequence of any table ----

// Texts as the translation would give them: "<attribute> of <id>", or a failure for ids above 100.
class FakeTexts final : public IFunctionTextSource {
public:
    HRESULT GetFunctionText(LPCSTR, LONG functionId, LPCSTR attribute, ql::Bstr& text) noexcept override {
        if (functionId > 100) return E_FAIL;
        return text.Assign(Wide(attribute) + L" of " + std::to_wstring(functionId));
    }
    HRESULT GetReferenceText(LPCSTR reference, ql::Bstr& text) noexcept override {
        return AnsiToBstr(reference ? reference : "", text);
    }

private:
    static std::wstring Wide(LPCSTR text) { return std::wstring(text, text + strlen(text)); }
};

QuelkUiFunction Row(ULONG kind, ULONG functionId, ULONG minLevel, ULONG phaseMask) {
    QuelkUiFunction row{};
    row.Kind = kind;
    row.FunctionId = functionId;
    row.Name = "Name";
    row.Label = "Label";
    row.Help = "Help";
    row.IconName = "";
    row.Status = kUiStatusEnabled;
    row.MinUserLevel = minLevel;
    row.OperationPhaseMask = phaseMask;
    return row;
}

std::vector<QuelkUiFunction> TestRows() {
    std::vector<QuelkUiFunction> rows;
    rows.push_back(Row(kUiFunctionWithGui, 11, 1, 0xFFFFFFFF));
    rows.push_back(Row(kUiFunction, 12, 4, 1));
    rows.push_back(Row(kUiSeparator, 13, 1, 3));
    QuelkUiFunction unknownApplication = Row(kUiStandardFunction, 14, 1, 0xFFFFFFFF);
    unknownApplication.ApplicationId = 99;
    rows.push_back(unknownApplication);
    QuelkUiFunction excluded = Row(kUiFunctionWithGui, 15, 1, 0xFFFFFFFF);
    excluded.Excluded = 1;
    rows.push_back(excluded);
    QuelkUiFunction document = Row(kUiDocument, 116, 1, 0xFFFFFFFF);  // its texts fall back to the row's own
    document.DocumentPath = "manual.pdf";
    document.MimeType = "application/pdf";
    document.OpenWith = "viewer.exe";
    rows.push_back(document);
    rows.push_back(Row(10, 17, 1, 0xFFFFFFFF));
    return rows;
}

class FunctionElementsTest : public vtest::ComTest {};

TEST_F(FunctionElementsTest, RowsAreFilteredByLevelPhaseAndKind) {
    struct Case {
        const char* name;
        ULONG level;
        ULONG phase;
        std::vector<const wchar_t*> listed;
        std::vector<const wchar_t*> absent;
    };
    const Case cases[] = {
        {"phase 0 lists every mask",
         8,
         0,
         {L"functionId =\"11\"", L"functionId =\"12\"", L"functionId =\"13\"", L"<Document"},
         {L"\"14\"", L"\"15\"", L"\"17\""}},
        {"level below a minimum", 2, 1, {L"functionId =\"11\"", L"functionId =\"13\""}, {L"\"12\""}},
        {"phase of two bits needs both in the mask",
         8,
         3,
         {L"functionId =\"11\"", L"functionId =\"13\""},
         {L"\"12\""}},
        {"level 0 lists nothing", 0, 0, {}, {L"functionId", L"<Document"}},
    };
    const std::vector<QuelkUiFunction> rows = TestRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTexts texts;
        ql::Bstr body;
        ASSERT_HR(S_OK, BuildFunctionElements(rows, c.level, c.phase, texts, body));
        const std::wstring text(body.View());
        for (const wchar_t* wanted : c.listed) EXPECT_NE(std::wstring::npos, text.find(wanted)) << wanted;
        for (const wchar_t* unwanted : c.absent)
            EXPECT_EQ(std::wstring::npos, text.find(unwanted)) << unwanted;
    }
}

TEST_F(FunctionElementsTest, ElementTemplates) {
    const std::vector<QuelkUiFunction> rows = TestRows();
    FakeTexts texts;
    ql::Bstr body;
    ASSERT_HR(S_OK, BuildFunctionElements(rows, 8, 0, texts, body));
    const std::wstring text(body.View());
    EXPECT_NE(
        std::wstring::npos,
        text.find(L"<Function \tlabel =\"Label of 13\" \tfdt:name =\"Name of 13\" \thelp =\"Help of 13\" "
                  L"\thasGUI =\"0\" \tfunctionId =\"13\" \tprintable=\"0\" \tresizable=\"0\"> \t<Status "
                  L"\ttoggle =\"0\" \tchecked =\"0\" \tenabled =\"1\" \thidden =\"0\" \tseparator =\"1\" /> "
                  L"</Function>"));
    // A row with a MIME type and a program writes only the MIME type; its texts are the row's own.
    EXPECT_NE(std::wstring::npos,
              text.find(L"<Document \tlabel=\"Label\" \thelp=\"Help\" \tpath=\"manual.pdf\"> \t<MimeType "
                        L"mime-type=\"application/pdf\" /> </Document>"));
}

}  // namespace
}  // namespace svctest
