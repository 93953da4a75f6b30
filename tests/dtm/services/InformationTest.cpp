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
        EXPECT_HR(S_OK, dtmint::LoadXmlDocument(dtm_.Get(), text.Get(), document.Put(), &loaded));
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

}  // namespace
}  // namespace svctest
