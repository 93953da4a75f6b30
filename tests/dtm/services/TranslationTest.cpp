// The translation service: the installed translation file, lookups in the selected language, the files
// folder, and a file read whole before it is converted.
#include <string>

#include "ServicesTestSupport.h"
#include "classlib/Utf8.h"
#include "dataset/ParameterTable.h"
#include "values/AnsiText.h"

namespace svctest {
namespace {

constexpr wchar_t kTwoLanguages[] =
    L"<localization><general><languages>"
    L"<language lcid=\"1033\" code=\"en\"/><language lcid=\"1031\" code=\"de\"/><language lcid=\"1036\"/>"
    L"</languages></general><DTM><ParameterList>"
    L"<Parameter parId=\"15\"><Name><locale code=\"en\">Block object</locale></Name></Parameter>"
    L"</ParameterList></DTM><StringList><AboutFile><locale "
    L"code=\"en\">Other.htm</locale></AboutFile></StringList>"
    L"</localization>";

class TranslationTest : public ServicesTest {
protected:
    ql::ComPtr<IQuelkLocalization> Localization() { return Query<IQuelkLocalization>(); }
    ql::ComPtr<IQuelkLocalizationInit> Init() { return Query<IQuelkLocalizationInit>(); }

    void Load(const wchar_t* xml) {
        ql::Bstr text(xml);
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_HR(S_OK, Localization()->LoadDocument(text.Get(), &loaded));
        ASSERT_EQ(VARIANT_TRUE, loaded);
    }
    // S_OK/S_FALSE of the lookup, and the text when found.
    HRESULT Lookup(const std::wstring& path, std::wstring& text) {
        ql::Bstr query(path.c_str());
        ql::Bstr found;
        VARIANT_BOOL wasFound = VARIANT_FALSE;
        const HRESULT hr = Localization()->GetLocaleText(query.Get(), found.Put(), &wasFound);
        text = wasFound == VARIANT_TRUE ? Text(found.Get()) : L"<not found>";
        return hr;
    }
    std::wstring AboutPath(const wchar_t* filesFolder) {
        CFilesFolderOverride folder(filesFolder);
        ql::Bstr path;
        EXPECT_HR(S_OK, Query<IQuelkAboutFile>()->GetAboutFilePath(path.Put()));
        return Text(path.Get());
    }
};

// Counts its calls; decodes UTF-8, in which a character may take several bytes.
int g_decodeCalls = 0;
HRESULT DecodeUtf8(std::string_view bytes, ql::Bstr& text) noexcept {
    ++g_decodeCalls;
    return text.Assign(ql::WideFromUtf8(bytes));
}

TEST_F(TranslationTest, InstalledFileListsTwoLanguagesAndKeepsTheEnglishNames) {
    CreateDtm(SourceDataFolder().c_str());
    LONG count = 0;
    ASSERT_HR(S_OK, Localization()->CountNodes(&count));
    ASSERT_EQ(2, count);
    ULONG lcids[2] = {};
    EXPECT_HR(S_OK, Localization()->GetLcidAt(0, &lcids[0]));
    EXPECT_HR(S_OK, Localization()->GetLcidAt(1, &lcids[1]));
    EXPECT_EQ(1033u, lcids[0]);
    EXPECT_EQ(1031u, lcids[1]);
    ULONG beyond = 0;
    EXPECT_HR(E_FAIL, Localization()->GetLcidAt(2, &beyond));
    EXPECT_EQ(L"en", std::wstring(dtm_->LanguageCode().View()));

    // Selecting English at creation put the file's English names into the dataset: every one must be the
    // table's own name, or translating back from German would change the parameters.
    const ParameterTableView table = DeviceParameterTable();
    for (size_t i = 0; i < table.count; ++i) {
        std::wstring builtIn = ql::WideFromUtf8(table.rows[i].Name);
        while (!builtIn.empty() && builtIn.back() == L' ') builtIn.pop_back();  // element texts are trimmed
        SCOPED_TRACE(table.rows[i].Id);
        EXPECT_EQ(builtIn, ParameterName(table.rows[i].Id));
    }
}

TEST_F(TranslationTest, LookupsAnswerTheSelectedLanguage) {
    CreateDtm(SourceDataFolder().c_str());
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, Init()->SetLanguage(1031, &ok));
    ASSERT_EQ(VARIANT_TRUE, ok);

    struct Case {
        const wchar_t* path;
        HRESULT hr;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"localization/DTM/FunctionList/Function[@id=\"5\"]/Name", S_OK, L"Messwerte"},
        {L"localization/DTM/ParameterList/Parameter[@parId=\"20\"]/Name", S_OK,
         L"Physikalischer Block - Zielbetriebsart"},
        {L"localization/DTM/EnumerationList/Enumeration[@id=\"65\"]/EnumerationEntry[@id=\"128\"]", S_OK,
         L"Au\u00DFer Betrieb"},
        {L"localization/ToolkitMessages/Message[@id=\"4002\"]", S_OK, L"\u00C4nderungen \u00FCbernehmen?"},
        {L"localization/ToolkitMessages/Message[@id=\"1001\"]", S_OK,
         L"Beim Hochladen der Parameter ist ein Fehler aufgetreten.\r\nM\u00F6chten Sie das Hochladen "
         L"abbrechen?"},
        {L"localization/ActiveXList/ActiveX[@classname=\"TreeFrame\"]/Title", S_OK, L"Parametrierung"},
        {L"localization/DTM/ParameterList/Parameter[@parId=\"9999\"]/Name", S_FALSE, L"<not found>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::wstring text;
        EXPECT_HR(c.hr, Lookup(c.path, text));
        EXPECT_EQ(c.text, text);
    }
}

TEST_F(TranslationTest, AnEntryWithoutTheSelectedLanguageKeepsTheParameterName) {
    CreateDtm(SourceDataFolder().c_str());
    Load(kTwoLanguages);
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, Init()->SetLanguage(1031, &ok));
    const std::wstring before = ParameterName(15);
    EXPECT_HR(S_OK, Query<IQuelkParameterTexts>()->TranslateParameters(1031));
    EXPECT_EQ(before, ParameterName(15));

    std::wstring text;
    EXPECT_HR(S_FALSE, Lookup(L"localization/DTM/ParameterList/Parameter[@parId=\"15\"]/Name", text));
}

TEST_F(TranslationTest, ALanguageWithoutCodeIsRefused) {
    CreateDtm(SourceDataFolder().c_str());
    Load(kTwoLanguages);
    VARIANT_BOOL selected = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Localization()->SelectById(1036, &selected));
    EXPECT_EQ(VARIANT_FALSE, selected);
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Init()->SetLanguage(1036, &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    EXPECT_HR(S_FALSE, Init()->SetLanguage(1040, &ok));  // not listed at all
}

TEST_F(TranslationTest, WithoutTranslationFileTheBuiltInTextsStay) {
    CTempFolder empty;
    CreateDtm(empty.Path().c_str());
    LONG count = 7;
    EXPECT_HR(S_FALSE, Localization()->CountNodes(&count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(L"Physical Block - BlockObject", ParameterName(15));
    std::wstring text;
    EXPECT_HR(E_FAIL, Lookup(L"localization/StringList/AboutFile", text));

    VARIANT_BOOL ok = 7;
    {
        CFilesFolderOverride folder(empty.Path().c_str());
        EXPECT_HR(E_FAIL, Init()->Initialize(&ok));
    }
    EXPECT_EQ(7, ok) << "the flag is left as it was";

    // The DTM refuses every language but its current one.
    DriveToInitialised();
    VARIANT_BOOL accepted = VARIANT_TRUE;
    EXPECT_HR(S_FALSE, Dtm()->SetLanguage(1031, &accepted));
    EXPECT_EQ(VARIANT_FALSE, accepted);
}

TEST_F(TranslationTest, AFileThatDoesNotParseLeavesNoDocument) {
    CTempFolder broken;
    broken.Write(L"TranslationFile.htm", "<localization><general>");
    CreateDtm(broken.Path().c_str());
    VARIANT_BOOL ok = 7;
    {
        CFilesFolderOverride folder(broken.Path().c_str());
        EXPECT_HR(S_OK, Init()->Initialize(&ok));
    }
    EXPECT_EQ(7, ok);
    LONG count = 7;
    EXPECT_HR(S_FALSE, Localization()->CountNodes(&count));
    EXPECT_EQ(L"", std::wstring(dtm_->LanguageCode().View()));
}

TEST_F(TranslationTest, AboutPageLiesInTheFilesFolder) {
    CTempFolder folder;
    CreateDtm(SourceDataFolder().c_str());
    EXPECT_EQ(folder.Path() + L"\\AboutFile.htm", AboutPath(folder.Path().c_str()));
    EXPECT_EQ(folder.Path() + L"\\AboutFile.htm", AboutPath((folder.Path() + L"\\").c_str()));
    EXPECT_EQ(L"C:\\Base\\Orvo\\htm\\AboutFile.htm", AboutPath(nullptr));

    // The translation names the page; a registry folder without its backslash gets one.
    Load(kTwoLanguages);
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_HR(S_OK, Localization()->SelectById(1033, &ok));
    EXPECT_EQ(folder.Path() + L"\\Other.htm", AboutPath(folder.Path().c_str()));
}

TEST_F(TranslationTest, ACharacterAcrossTheFirstBlockEndSurvives) {
    // The file is read in blocks of 4096 bytes: the two bytes of "\u00E4" in UTF-8 are bytes 4095 and 4096.
    const std::string head = "<?xml version=\"1.0\"?><!--";
    const std::string body =
        "--><localization><general><languages><language lcid=\"1033\" code=\"en\"/></languages></general>"
        "<DTM><ParameterList><Parameter parId=\"15\"><Name><locale code=\"en\">";
    const std::string padding(4095 - head.size() - body.size(), 'x');
    const std::string file = head + padding + body +
                             "\xC3\xA4 Blockobjekt</locale></Name></Parameter>"
                             "</ParameterList></DTM></localization>";
    ASSERT_EQ(4095u, file.find('\xC3'));
    CTempFolder folder;
    folder.Write(L"TranslationFile.htm", file);

    CreateDtm(nullptr);
    dtm_->UseTextDecoder(DecodeUtf8);
    g_decodeCalls = 0;
    VARIANT_BOOL ok = VARIANT_FALSE;
    {
        CFilesFolderOverride files(folder.Path().c_str());
        ASSERT_HR(S_OK, Init()->Initialize(&ok));
    }
    EXPECT_EQ(1, g_decodeCalls) << "the file is decoded once, as a whole";
    EXPECT_EQ(L"\u00E4 Blockobjekt", ParameterName(15));
}

}  // namespace
}  // namespace svctest
