// CQuelkDtm::GetParameters: the template with the document's states, the device type, the escaped tag and
// the bus information; the exported parameters when records carry an ExportKind; the refusals.
#include <string>

#include "DocumentsTestSupport.h"
#include "dataset/ParameterTable.h"
#include "dataset/ParameterValueXml.h"
#include "dtm/documents/ParameterDocument.h"
#include "tests/dataset/ImageTestSupport.h"
#include "xml/XmlNodeReads.h"

namespace doctest {
namespace {

std::wstring ExpectedTemplate(const wchar_t* storageState, const wchar_t* dataSetState, const wchar_t* tag,
                              const wchar_t* bus, const wchar_t* deviceType = kKeptDeviceType) {
    return std::wstring(
               L"<?xml version=\"1.0\"?> <FDT xmlns\t\t\t\t=\"x-schema:DTMParameterSchema.xml\" \t"
               L"xmlns:fdt\t\t\t=\"x-schema:FDTDataTypesSchema.xml\" \tfdt:storageState\t=\"") +
           storageState + L"\" \tfdt:dataSetState\t=\"" + dataSetState + L"\"> \t" + deviceType +
           L" \t<DtmDevice fdt:tag=\"" + tag + L"\"> \t \t" + bus + L"\t</DtmDevice> </FDT> ";
}

constexpr wchar_t kDefaultBus[] =
    L"<BusInformation> <MasterSlaveBus busAddress=\"0\" busMasterConfigurationPart=\"\" /> </BusInformation>";

class ParameterDocumentTest : public DocumentsTest {
protected:
    std::wstring Parameters(HRESULT expected = S_OK) {
        ql::Bstr document;
        EXPECT_HR(expected, Query<IDtmParameter>()->GetParameters(nullptr, document.Put()));
        return std::wstring(document.View());
    }
    // The document loaded with validation; fails the test when it does not validate.
    ql::ComPtr<IXMLDOMDocument2> Loaded(const std::wstring& text) {
        ql::Bstr xml(text);
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        RecordingSink sink;
        EXPECT_HR(S_OK, LoadValidated(xml.Get(), document.Put(), &loaded, &sink));
        EXPECT_EQ(VARIANT_TRUE, loaded) << (sink.messages.empty() ? "" : sink.messages.back());
        return document;
    }
    std::string Read(IXMLDOMNode* node, const wchar_t* path) {
        ql::Bstr query(path);
        ql::Variant value;
        const HRESULT hr = XmlGetNodeValue(node, query.Get(), value.Put(), VT_BSTR);
        return SUCCEEDED(hr) ? Narrow(V_BSTR(value.Get())) : "<none>";
    }
};

TEST_F(ParameterDocumentTest, TheTableGivesTheTemplateWithStatesTagAndBus) {
    EXPECT_EQ(Narrow(ExpectedTemplate(L"persistent", L"default", L"VarnokP3 DTM", kDefaultBus)),
              Narrow(Parameters()));
    // The values set below make the dataset modified: the document's storage state follows.
    SetValue(3, *MakeUI4(126));
    SetValue(4, *MakeBytes({0x0A, 0xFF}));
    const std::wstring modified = Parameters();
    EXPECT_EQ(Narrow(ExpectedTemplate(L"transient", L"default", L"VarnokP3 DTM",
                                      L"<BusInformation> <MasterSlaveBus busAddress=\"126\" "
                                      L"busMasterConfigurationPart=\"0AFF\" /> </BusInformation>")),
              Narrow(modified));
    Loaded(modified);
}

TEST_F(ParameterDocumentTest, TheTagIsEscapedAndReadsBack) {
    const struct {
        const wchar_t* tag;
        const char* inDocument;
    } cases[] = {
        {L"FT & <1> \"A\"", nullptr},
        {L"plain tag", "fdt:tag=\"plain tag\""},
        {L"", "fdt:tag=\" \""},  // an empty tag is written as one blank
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(std::wstring_view(c.tag)));
        SetValue(1, *MakeBstr(c.tag));
        const std::wstring text = Parameters();
        if (c.inDocument) {
            EXPECT_NE(std::string::npos, Narrow(text).find(c.inDocument));
        }
        ql::ComPtr<IXMLDOMDocument2> document = Loaded(text);
        ASSERT_TRUE(document);
        if (*c.tag) {
            EXPECT_EQ(Narrow(std::wstring_view(c.tag)), Read(document.Get(), L"FDT/DtmDevice/@fdt:tag"));
        }
    }
}

// A stored project may carry a device type text that is well formed but not valid against the schema (an
// attribute the schema does not define). The DTM loads and configures with it; its document then does not
// validate, which the frame is told, and GetParameters hands the text over as it is.
TEST_F(ParameterDocumentTest, ADeviceTypeThatDoesNotValidateIsReportedAndReturned) {
    const std::wstring deviceType =
        L"<fdt:DtmDeviceType xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" "
        L"readAccuss=\"1\"><fdt:VersionInformation "
        L"name=\"Orvo Varnok Profile3 Device\" vendor=\"Orvo\" version=\"1.0\"/></fdt:DtmDeviceType>";
    const std::vector<BYTE> image =
        imagetest::ImageBuilder().Header(&deviceType).VariantI4(0).U32(0x300).Get();
    dtm_ = MakeDtm(kSystemTag, &image);
    ASSERT_TRUE(dtm_);
    frame_->calls.clear();

    const std::wstring expected =
        ExpectedTemplate(L"persistent", L"default", L"VarnokP3 DTM", kDefaultBus, deviceType.c_str());
    EXPECT_EQ(Narrow(expected), Narrow(Parameters()));
    const std::vector<std::string> messages = frame_->Messages();
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(0u, messages[0].find("::LoadXMLDocument (ParseError)\n")) << messages[0];

    // A save hands the frame that same document.
    SetValue(3, *MakeUI4(9));
    frame_->calls.clear();
    ql::ComPtr<IStream> saved = vtest::StreamOn({});
    ASSERT_HR(S_OK, Query<IPersistStreamInit>()->Save(saved.Get(), TRUE));
    EXPECT_EQ(1u, frame_->Count("NotifyParameterDocument"));
}

}  // namespace
}  // namespace doctest
