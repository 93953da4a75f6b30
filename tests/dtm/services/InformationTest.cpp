// The DTM information document with its supported languages.
#include <string>
#include <vector>

#include "ServicesTestSupport.h"
#include "values/AnsiText.h"

namespace svctest {
namespace {

class InformationTest : public ServicesTest {
protected:
    std::wstring Information() {
        ql::Bstr information;
        EXPECT_HR(S_OK, Query<IDtmInformation>()->GetInformation(information.Put()));
        return Text(information.Get());
    }
    // The languageId attributes of the device type's language list (each list in turn).
    std::vector<std::wstring> Languages(const std::wstring& information, size_t* lists) {
        ql::Bstr text(information.c_str());
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, dtm_->LoadXMLDocument(text.Get(), document.Put(), &loaded));
        EXPECT_EQ(VARIANT_TRUE, loaded) << "the frame would refuse the information";
        std::vector<std::wstring> languages;
        if (loaded != VARIANT_TRUE) return languages;
        ql::Bstr listPath(L"FDT/DtmInfo/DtmDeviceTypes/fdt:DtmDeviceType/fdt:SupportedLanguages");
        ql::ComPtr<IXMLDOMNodeList> list;
        EXPECT_HR(S_OK, document->selectNodes(listPath.Get(), list.Put()));
        LONG count = 0;
        list->get_length(&count);
        *lists = static_cast<size_t>(count);
        ql::Bstr path(
            L"FDT/DtmInfo/DtmDeviceTypes/fdt:DtmDeviceType/fdt:SupportedLanguages/fdt:LanguageId/"
            L"@languageId");
        ql::ComPtr<IXMLDOMNodeList> ids;
        EXPECT_HR(S_OK, document->selectNodes(path.Get(), ids.Put()));
        LONG length = 0;
        ids->get_length(&length);
        for (LONG i = 0; i < length; ++i) {
            ql::ComPtr<IXMLDOMNode> id;
            ids->get_item(i, id.Put());
            ql::Bstr value;
            id->get_text(value.Put());
            languages.push_back(Text(value.Get()));
        }
        return languages;
    }
};

TEST_F(InformationTest, LanguagesComeFromTheTranslationDocument) {
    CreateDtm(SourceDataFolder().c_str());
    DriveToInitialised();
    size_t lists = 0;
    EXPECT_EQ((std::vector<std::wstring>{L"1033", L"1031"}), Languages(Information(), &lists));
    EXPECT_EQ(1u, lists);
}

TEST_F(InformationTest, WithoutTranslationsTheTemplateAnswersWithItsFieldsFilled) {
    CTempFolder empty;
    CreateDtm(empty.Path().c_str());
    ForceState(kStateNew);
    VARIANT_BOOL result = VARIANT_FALSE;
    ASSERT_HR(S_OK, Dtm()->Environment(systemTag_.Get(), frame_.Get(), &result));

    std::string expected = ReadSourceFile("dtm/services/DtmInformation.xml");
    const size_t version = expected.find("%s");
    ASSERT_NE(std::string::npos, version);
    expected.replace(version, 2, "1.0");
    const size_t icon = expected.find("%s");
    ASSERT_NE(std::string::npos, icon);
    expected.replace(icon, 2, "C:\\Program Files\\Orvo\\Icons\\VarnokP3.ico");
    ql::Bstr expectedText;
    ASSERT_HR(S_OK, AnsiToBstr(expected, expectedText));

    const std::wstring information = Information();
    EXPECT_EQ(std::wstring(expectedText.View()), information);
    EXPECT_NE(std::wstring::npos, information.find(L"Over Range! 120%&quot;\r\n"))
        << "the percent sign stays";
    size_t lists = 0;
    EXPECT_EQ((std::vector<std::wstring>{L"1033"}), Languages(information, &lists));
}

TEST_F(InformationTest, OnlyOnceTheEnvironmentIsSet) {
    CreateDtm(SourceDataFolder().c_str());
    ForceState(kStateLoaded);
    EXPECT_HR(S_FALSE, Query<IDtmInformation>()->GetInformation(nullptr)) << "the state comes first";
    ForceState(kStatePreparedToRelease);
    ql::Bstr information;
    EXPECT_HR(S_FALSE, Query<IDtmInformation>()->GetInformation(information.Put()));
    EXPECT_TRUE(information.IsNull());
    ForceState(kStateEnvironmentNew);
    EXPECT_HR(E_INVALIDARG, Query<IDtmInformation>()->GetInformation(nullptr));
}

}  // namespace
}  // namespace svctest
