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

}  // namespace
}  // namespace svctest
