// The UI-function table and the functions document.
#include <string>

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
        EXPECT_HR(S_OK, dtmint::LoadXmlDocument(dtm_.Get(), functions.Get(), document.Put(), &loaded));
        EXPECT_EQ(VARIANT_TRUE, loaded) << "the frame would refuse the document";
        return Text(functions.Get());
    }
};

TEST_F(FunctionsDocumentTest, EngineeringPhaseListsTheStandardFunctionsAndFunctions) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    ForceState(kStateConnected);  // online: the online parameterization is offered too
    // The sample document holds exactly what frames have always received.
    const std::string expected = ReadSourceFile("tests/data/xml/valid/functions.xml");
    ASSERT_FALSE(expected.empty());
    ql::Bstr expectedText;
    ASSERT_HR(S_OK, AnsiToBstr(expected, expectedText));
    EXPECT_EQ(std::wstring(expectedText.View()), Functions());
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

}  // namespace
}  // namespace svctest
