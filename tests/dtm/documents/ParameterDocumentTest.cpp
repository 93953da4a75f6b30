// CQuelkDtm::GetParameters: the template with the document's states, the device type, the escaped tag and
// the bus information; the exported parameters when records carry an ExportKind; the refusals.
#include <string>

#include "DocumentsTestSupport.h"
#include "dataset/ParameterTable.h"
#include "dataset/ParameterValueXml.h"
#include "dtm/documents/ParameterDocument.h"
#include "xml/XmlNodeReads.h"

namespace doctest {
namespace {

std::wstring ExpectedTemplate(const wchar_t* storageState, const wchar_t* dataSetState, const wchar_t* tag,
                              const wchar_t* bus) {
    return std::wstring(
               L"<?xml version=\"1.0\"?> <FDT xmlns\t\t\t\t=\"x-schema:DTMParameterSchema.xml\" \t"
               L"xmlns:fdt\t\t\t=\"x-schema:FDTDataTypesSchema.xml\" \tfdt:storageState\t=\"") +
           storageState + L"\" \tfdt:dataSetState\t=\"" + dataSetState + L"\"> \t" + kMinimalDeviceType +
           L" \t<DtmDevice fdt:tag=\"" + tag + L"\"> \t \t" + bus + L"\t</DtmDevice> </FDT> ";
}

constexpr wchar_t kDefaultBus[] =
    L"<BusInformation> <MasterSlaveBus busAddress=\"0\" busMasterConfigurationPart=\"\" /> </BusInformation>";

class ParameterDocumentTest : public DocumentsTest {
protected:
    std::wstring Parameters(HRESULT expected = S_OK) {
        ql::Bstr document;
        EXPECT_HR(expected, dtm_->GetParameters(nullptr, document.Put()));
        return std::wstring(document.View());
    }
    // The document loaded with validation; fails the test when it does not validate.
    ql::ComPtr<IXMLDOMDocument2> Loaded(const std::wstring& text) {
        ql::Bstr xml(text);
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        RecordingSink sink;
        EXPECT_HR(S_OK, host().xml.LoadXMLDocument(xml.Get(), document.Put(), &loaded, &sink));
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
    host().modified = true;
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

TEST_F(ParameterDocumentTest, RefusalsAndFailures) {
    ql::Bstr document;
    EXPECT_HR(E_INVALIDARG, dtm_->GetParameters(nullptr, nullptr));
    for (ULONG state : {1ul, 5ul, 6ul, 7ul, 2ul, 3ul}) {
        SCOPED_TRACE(state);
        host().state = state;
        EXPECT_HR(S_FALSE, dtm_->GetParameters(nullptr, document.Put()));
        EXPECT_TRUE(document.IsNull());
    }
    for (ULONG state : {8ul, 9ul, 10ul, 11ul, 12ul}) {
        host().state = state;
        EXPECT_HR(S_OK, dtm_->GetParameters(nullptr, document.Put())) << state;
    }

    store().SetDataSetState(3);
    EXPECT_NE(std::string::npos, Narrow(Parameters()).find("fdt:dataSetState\t=\"allDataLoaded\""));
    store().SetDataSetState(4);
    Parameters(E_FAIL);
    store().SetDataSetState(0);

    // A tag that holds no text.
    ql::Variant number;
    number.SetI4(5);
    SetField(1, kFieldValue, *number);
    Parameters(E_INVALIDARG);
    SetField(1, kFieldValue, *MakeBstr(L"ok"));

    // No schema cache yet: nothing can be loaded.
    ql::ComPtr<CTestDtm> bare;
    ASSERT_HR(S_OK, ql::MakeObject(bare));
    ASSERT_HR(S_OK, DefineDeviceParameters(&bare->Store().Variables(), nullptr, nullptr));
    EXPECT_HR(E_POINTER, bare->GetParameters(nullptr, document.Put()));
}

TEST_F(ParameterDocumentTest, ExportedRecordsAreWrittenInGroupsAndValidate) {
    const struct {
        ULONG id;
        const wchar_t* group;
        ULONG kind;
    } exported[] = {
        {39, L"Transducer.Flow", kExportVariant},   // VT_R4 1.5
        {47, L"Transducer:Units", kExportVariant},  // VT_UI2: no typed form, a value without child
        {46, L"Transducer.Flow", kExportVariant},   // byte array
        {26, L"", kExportDisplay},                  // text with markup
        {19, L"", kExportVariant},                  // VT_UI1
    };
    for (const auto& e : exported) {
        SetField(e.id, kFieldExportGroup, *MakeBstr(e.group));
        SetField(e.id, kFieldExportKind, *MakeUI4(e.kind));
    }
    ql::Variant flow;
    flow.SetR4(1.5f);
    SetValue(39, *flow);
    SetValue(46, *MakeBytes({0x42, 0xC8, 0x00, 0x00, 0x80}));
    SetValue(26, *MakeBstr(L"A & B <x> \"q\""));

    const std::wstring text = Parameters();
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(text);
    ASSERT_TRUE(document);
    const wchar_t* root = L"FDT/DtmDevice/ExportedVariables/fdt:DtmVariables[@name=\"ExportedVariables\"]";
    ql::Bstr groups(std::wstring(root) + L"/fdt:DtmVariables");
    ql::ComPtr<IXMLDOMNodeList> list;
    ASSERT_HR(S_OK, document->selectNodes(groups.Get(), list.Put()));
    LONG count = 0;
    ASSERT_HR(S_OK, list->get_length(&count));
    EXPECT_EQ(1, count) << "Transducer.Flow and Transducer:Units share one group Transducer";

    const std::wstring transducer = std::wstring(root) + L"/fdt:DtmVariables[@name=\"Transducer\"]";
    const std::wstring flowVariable = transducer +
                                      L"/fdt:DtmVariables[@name=\"Flow\"]/fdt:DtmVariable[@name=\"Transducer "
                                      L"Block - CalibrationFactor\"]/fdt:Value";
    EXPECT_EQ("float", Read(document.Get(), (flowVariable + L"/fdt:Variant/@dataType").c_str()));
    EXPECT_EQ("1.5", Read(document.Get(), (flowVariable + L"/fdt:Variant/fdt:NumberData/@number").c_str()));
    EXPECT_EQ("1", Read(document.Get(), (flowVariable + L"/@readAccess").c_str()));
    EXPECT_EQ("1", Read(document.Get(), (flowVariable + L"/@writeAccess").c_str()));
    const std::wstring massFlow =
        transducer +
        L"/fdt:DtmVariables[@name=\"Flow\"]/fdt:DtmVariable[@name=\"Transducer Block - MassFlow\"]/fdt:Value";
    EXPECT_EQ("42C8000080",
              Read(document.Get(), (massFlow + L"/fdt:Variant/fdt:StringData/@string").c_str()));
    EXPECT_EQ("0", Read(document.Get(), (massFlow + L"/@writeAccess").c_str())) << "access 0x50";
    const std::wstring unit = transducer +
                              L"/fdt:DtmVariables[@name=\"Units\"]/fdt:DtmVariable[@name=\"Transducer Block "
                              L"- MassFlowUnit\"]/fdt:Value";
    EXPECT_EQ("1", Read(document.Get(), (unit + L"/@readAccess").c_str()));
    EXPECT_EQ("<none>", Read(document.Get(), (unit + L"/fdt:Variant/@dataType").c_str()));
    EXPECT_EQ("A & B <x> \"q\"",
              Read(document.Get(),
                   (std::wstring(root) + L"/fdt:DtmVariable[@name=\"Physical Block - DeviceId\"]/fdt:Value/"
                                         L"fdt:Display/@string")
                       .c_str()));
    const std::wstring alertKey =
        std::wstring(root) + L"/fdt:DtmVariable[@name=\"Physical Block - AlertKey\"]/fdt:Value/fdt:Variant";
    EXPECT_EQ("byte", Read(document.Get(), (alertKey + L"/@dataType").c_str()));
    EXPECT_EQ("0", Read(document.Get(), (alertKey + L"/fdt:NumberData/@number").c_str()));
}

TEST_F(ParameterDocumentTest, NumbersStayReadableUnderADecimalComma) {
    SetField(39, kFieldExportKind, *MakeUI4(kExportVariant));
    ql::Variant flow;
    flow.SetR4(1.5f);
    SetValue(39, *flow);
    constexpr LCID kGerman = 0x0407;
    ql::Bstr text;
    ASSERT_HR(S_OK, BuildParameterDocument(host(), text.Put(), kGerman));
    EXPECT_NE(std::string::npos, Narrow(text.Get()).find("number=\"1.5\""));
    Loaded(std::wstring(text.View()));
}

TEST_F(ParameterDocumentTest, ARecordThatCannotBeWrittenIsLeftOut) {
    // A control character cannot stand in XML: the record is refused, the document stays valid.
    SetField(26, kFieldExportKind, *MakeUI4(kExportVariant));
    SetValue(26, *MakeBstr(L"bad\x01text"));
    SetField(27, kFieldExportKind, *MakeUI4(kExportVariant));
    const std::wstring text = Parameters();
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(text);
    ASSERT_TRUE(document);
    EXPECT_EQ("<none>", Read(document.Get(),
                             L"FDT/DtmDevice/ExportedVariables/fdt:DtmVariables/"
                             L"fdt:DtmVariable[@name=\"Physical Block - DeviceId\"]/@name"));
    EXPECT_EQ("not used", Read(document.Get(),
                               L"FDT/DtmDevice/ExportedVariables/fdt:DtmVariables/"
                               L"fdt:DtmVariable/fdt:Value/fdt:Variant/fdt:StringData/@string"));
}

}  // namespace
}  // namespace doctest
