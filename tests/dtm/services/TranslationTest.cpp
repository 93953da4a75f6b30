// The translation service: the installed translation file, lookups in the selected language, the files
// folder, and a file read whole before it is converted.
#include <string>

#include "ServicesTestSupport.h"
#include "classlib/Utf8.h"
#include "values/AnsiText.h"

namespace svctest {
namespace {

class TranslationTest : public ServicesTest {
protected:
    ql::ComPtr<IQuelkLocalization> Localization() { return Query<IQuelkLocalization>(); }
    ql::ComPtr<IQuelkLocalizationInit> Init() { return Query<IQuelkLocalizationInit>(); }

    // S_OK/S_FALSE of the lookup, and the text when found.
    HRESULT Lookup(const std::wstring& path, std::wstring& text) {
        ql::Bstr query(path.c_str());
        ql::Bstr found;
        VARIANT_BOOL wasFound = VARIANT_FALSE;
        const HRESULT hr = Localization()->GetLocaleText(query.Get(), found.Put(), &wasFound);
        text = wasFound == VARIANT_TRUE ? Text(found.Get()) : L"<not found>";
        return hr;
    }
};

// Counts its calls; decodes UTF-8, in which a character may take several bytes.
int g_decodeCalls = 0;
HRESULT DecodeUtf8(std::string_view bytes, ql::Bstr& text) noexcept {
    ++g_decodeCalls;
    return text.Assign(ql::WideFromUtf8(bytes));
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
        {L"localization/ActiveXList/ActiveX[@classname=\"TreeFrame Class\"]/Title", S_OK, L"Parametrierung"},
        {L"localization/DTM/ParameterList/Parameter[@parId=\"9999\"]/Name", S_FALSE, L"<not found>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::wstring text;
        EXPECT_HR(c.hr, Lookup(c.path, text));
        EXPECT_EQ(c.text, text);
    }
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
    dtmint::UseTextDecoder(dtm_.Get(), DecodeUtf8);
    g_decodeCalls = 0;
    VARIANT_BOOL ok = VARIANT_FALSE;
    {
        vtest::FilesFolderOverride files(folder.Path().c_str());
        ASSERT_HR(S_OK, Init()->Initialize(&ok));
    }
    EXPECT_EQ(1, g_decodeCalls) << "the file is decoded once, as a whole";
    EXPECT_EQ(L"\u00E4 Blockobjekt", ParameterName(15));
}

// The built-in texts are English: 1033 is there with or without a file, and one damaged entry of a file
// costs no other language.
TEST_F(TranslationTest, EnglishIsAlwaysThereAndADamagedEntryCostsNoOtherLanguage) {
    const std::string damaged =
        "<?xml version=\"1.0\"?><localization><general><languages><language lcid=\"German\" code=\"xx\"/>"
        "<language lcid=\"1031\" code=\"de\"/><language lcid=\"1033\" code=\"en\"/></languages></general>"
        "</localization>";
    const struct {
        const char* name;
        const char* file;  // null: no translation file
        LCID language;
        VARIANT_BOOL accepted;
    } cases[] = {
        {"no file, English", nullptr, 1033, VARIANT_TRUE},
        {"no file, German", nullptr, 1031, VARIANT_FALSE},
        {"damaged entry, German", damaged.c_str(), 1031, VARIANT_TRUE},
        {"damaged entry, English", damaged.c_str(), 1033, VARIANT_TRUE},
        {"damaged entry, French", damaged.c_str(), 1036, VARIANT_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempFolder folder;
        if (c.file) folder.Write(L"TranslationFile.htm", c.file);
        CreateDtm(folder.Path().c_str());
        DriveToConfigured();
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_HR(c.accepted ? S_OK : S_FALSE, Dtm()->SetLanguage(c.language, &accepted));
        EXPECT_EQ(c.accepted, accepted);
    }
}

// A translation file in the system's form: English only, with a name for parameter 15.
std::string NameFile(const std::string& name) {
    return "<?xml version=\"1.0\"?><localization><general><languages><language lcid=\"1033\" code=\"en\"/>"
           "</languages></general><DTM><ParameterList><Parameter parId=\"15\"><Name><locale code=\"en\">" +
           name + "</locale></Name></Parameter></ParameterList></DTM></localization>";
}

// The DTM objects of a thread read one parsed translation document; each keeps its own language, and
// what one is given (a language, a document of its own) no other sees.
TEST_F(TranslationTest, DtmsSharingTheDocumentKeepTheirOwnLanguageAndDocument) {
    const std::wstring functionName = L"localization/DTM/FunctionList/Function[@id=\"5\"]/Name";
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    ql::ComPtr<CDtmObject> german;
    german.Swap(dtm_);
    CreateDtm(SourceDataFolder().c_str());
    DriveToConfigured();
    ql::ComPtr<CDtmObject> english;
    english.Swap(dtm_);

    dtm_.Swap(german);
    VARIANT_BOOL accepted = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->SetLanguage(1031, &accepted));
    ASSERT_EQ(VARIANT_TRUE, accepted);
    dtm_.Swap(german);

    ql::Bstr ownDocument(
        L"<localization><DTM><FunctionList><Function id=\"5\"><Name><locale code=\"en\">Own</locale>"
        L"</Name></Function></FunctionList></DTM></localization>");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    dtm_.Swap(english);
    ASSERT_HR(S_OK, Localization()->LoadDocument(ownDocument.Get(), &loaded));
    ASSERT_EQ(VARIANT_TRUE, loaded);
    dtm_.Swap(english);

    CreateDtm(SourceDataFolder().c_str());  // made after both: the file's document in English
    struct Case {
        const char* name;
        ql::ComPtr<CDtmObject>* dtm;
        const wchar_t* parameter20;
        const wchar_t* function5;
    } cases[] = {
        {"switched to German", &german, L"Physikalischer Block - Zielbetriebsart", L"Messwerte"},
        {"given a document of its own", &english, L"Physical Block - Target Mode", L"Own"},
        {"created afterwards", nullptr, L"Physical Block - Target Mode", L"Mesured Value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.dtm) dtm_.Swap(*c.dtm);
        std::wstring text;
        EXPECT_HR(S_OK, Lookup(functionName, text));
        EXPECT_EQ(c.function5, text);
        EXPECT_EQ(c.parameter20, ParameterName(20));
        if (c.dtm) dtm_.Swap(*c.dtm);
    }
}

// A changed or removed translation file reaches every DTM object created afterwards; one created before
// keeps the texts it started with.
TEST_F(TranslationTest, ADtmCreatedAfterTheFileChangedSeesTheFileAsItIsThen) {
    CTempFolder folder;
    folder.Write(L"TranslationFile.htm", NameFile("First name"));
    CreateDtm(folder.Path().c_str());
    ASSERT_EQ(L"First name", ParameterName(15));
    ql::ComPtr<CDtmObject> first;
    first.Swap(dtm_);

    folder.Write(L"TranslationFile.htm", NameFile("Name after the change"));
    CreateDtm(folder.Path().c_str());
    EXPECT_EQ(L"Name after the change", ParameterName(15));

    ASSERT_TRUE(::DeleteFileW(folder.File(L"TranslationFile.htm").c_str()));
    CreateDtm(folder.Path().c_str());
    EXPECT_EQ(L"Physical Block - BlockObject", ParameterName(15)) << "no file: the built-in text";

    dtm_.Swap(first);
    EXPECT_EQ(L"First name", ParameterName(15));
    std::wstring text;
    EXPECT_HR(S_OK, Lookup(L"localization/DTM/ParameterList/Parameter[@parId=\"15\"]/Name", text));
    EXPECT_EQ(L"First name", text);
}

}  // namespace
}  // namespace svctest
