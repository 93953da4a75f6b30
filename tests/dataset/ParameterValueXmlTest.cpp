// The parameter value XML: groups by the export path, the access attributes, the typed and display forms,
// and escaping that keeps every text readable.
#include <string>

#include "XmlStoreTestSupport.h"
#include "dataset/ParameterValueXml.h"
#include "xml/XmlNodeReads.h"

namespace {

class ParameterValueXmlTest : public XmlStoreTest {
protected:
    void SetUp() override {
        XmlStoreTest::SetUp();
        ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IXMLDOMDocument2, document_.PutVoid()));
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ql::Bstr root(L"<Root xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"/>");
        ASSERT_EQ(S_OK, document_->put_resolveExternals(VARIANT_FALSE));
        ASSERT_EQ(S_OK, document_->loadXML(root.Get(), &loaded));
        ql::ComPtr<IXMLDOMElement> element;
        ASSERT_EQ(S_OK, document_->get_documentElement(element.Put()));
        ASSERT_EQ(S_OK, element.QueryTo(IID_IXMLDOMNode, root_.PutVoid()));
    }
    // A record of the table with `group`, `kind` and `value`.
    CQuelkVariable Record(ULONG id, const wchar_t* group, ULONG kind, const VARIANT* value = nullptr) {
        CQuelkVariable record;
        EXPECT_HR(S_OK, store().Variables().GetVariable(id, 0xFFFFFFFF, &record));
        EXPECT_HR(S_OK, record.ExportGroup.Assign(group));
        record.ExportKind = kind;
        if (value) {
            EXPECT_HR(S_OK, record.Value.CopyFrom(*value));
        }
        return record;
    }
    static std::string ReadFrom(IXMLDOMNode* node, const wchar_t* path) {
        ql::Bstr query(path);
        ql::Variant value;
        return SUCCEEDED(XmlGetNodeValue(node, query.Get(), value.Put(), VT_BSTR))
                   ? Narrow(V_BSTR(value.Get()))
                   : "<none>";
    }
    std::string Read(const wchar_t* path) { return ReadFrom(root_.Get(), path); }
    // `path` read below the `index`th parameter element, in document order.
    std::string ReadVariable(LONG index, const wchar_t* path) {
        ql::Bstr query(L"fdt:DtmVariable");
        ql::ComPtr<IXMLDOMNodeList> nodes;
        ql::ComPtr<IXMLDOMNode> node;
        if (FAILED(root_->selectNodes(query.Get(), nodes.Put())) ||
            FAILED(nodes->get_item(index, node.Put())) || !node)
            return "<no parameter>";
        return ReadFrom(node.Get(), path);
    }
    LONG Count(const wchar_t* path) {
        ql::Bstr query(path);
        ql::ComPtr<IXMLDOMNodeList> nodes;
        LONG count = -1;
        if (SUCCEEDED(root_->selectNodes(query.Get(), nodes.Put())) && nodes) (void)nodes->get_length(&count);
        return count;
    }
    std::string Xml() {
        ql::Bstr xml;
        EXPECT_HR(S_OK, root_->get_xml(xml.Put()));
        return Narrow(xml.Get());
    }

    ql::ComPtr<IXMLDOMDocument2> document_;
    ql::ComPtr<IXMLDOMNode> root_;
};

TEST_F(ParameterValueXmlTest, GroupsFollowTheExportPath) {
    const struct {
        ULONG id;
        const wchar_t* group;
    } records[] = {{16, L"A.B"}, {18, L"A:C"}, {19, L""}, {32, L"A..B"}, {34, L"/Lead"}};
    for (const auto& r : records) {
        SCOPED_TRACE(r.id);
        EXPECT_HR(S_OK,
                  WriteDtmVariables(document_.Get(), root_.Get(), Record(r.id, r.group, kExportVariant)));
    }
    EXPECT_EQ(1, Count(L"fdt:DtmVariables[@name=\"A\"]")) << Xml();
    EXPECT_EQ(1, Count(L"fdt:DtmVariables[@name=\"A\"]/fdt:DtmVariables[@name=\"B\"]/fdt:DtmVariable"));
    EXPECT_EQ(1, Count(L"fdt:DtmVariables[@name=\"A\"]/fdt:DtmVariables[@name=\"C\"]/fdt:DtmVariable"));
    EXPECT_EQ("Physical Block - AlertKey", Read(L"fdt:DtmVariable/@name"));
    EXPECT_EQ(
        1,
        Count(L"fdt:DtmVariables[@name=\"A\"]/fdt:DtmVariables[@name=\"\"]/fdt:DtmVariables[@name=\"B\"]"));
    EXPECT_EQ(1, Count(L"fdt:DtmVariables[@name=\"\"]/fdt:DtmVariables[@name=\"Lead\"]/fdt:DtmVariable"));
}

TEST_F(ParameterValueXmlTest, AccessAttributesFollowTheRecordKind) {
    CQuelkVariable device = Record(46, L"", kExportVariant);
    device.Access = 0x50;
    CQuelkVariable internal = Record(123, L"", kExportVariant);
    internal.Access = 0x00;
    CQuelkVariable writable = Record(124, L"", kExportVariant);
    writable.Access = 0x01;
    for (const CQuelkVariable* record : {&device, &internal, &writable})
        ASSERT_HR(S_OK, WriteDtmVariable(document_.Get(), root_.Get(), *record));
    const char* expected[] = {"1|0", "1|0", "1|1"};
    for (LONG i = 0; i < 3; ++i)
        EXPECT_EQ(expected[i], ReadVariable(i, L"fdt:Value/@readAccess") + "|" +
                                   ReadVariable(i, L"fdt:Value/@writeAccess"))
            << i;
}

TEST_F(ParameterValueXmlTest, TypedFormsOfEveryVarType) {
    ql::Variant r4, r8, i4, ui1, date, ui2, boolean;
    const ql::Variant ui4 = MakeUI4(4000000000u), bytes = MakeBytes({0x01, 0xAB}), noBytes = MakeBytes({}),
                      plain = MakeBstr(L"plain"), markup = MakeBstr(L"a&b<c\"d");
    r4.SetR4(1.5f);
    r8.SetR8(-0.25);
    i4.SetI4(-5);
    ui1.SetUI1(200);
    date.Put()->vt = VT_DATE;
    V_DATE(date.Get()) = 46000.5;
    ui2.Put()->vt = VT_UI2;
    V_UI2(ui2.Get()) = 7;
    boolean.SetBool(true);
    const struct {
        const char* name;
        const VARIANT* value;
        HRESULT expected;
        const char* fragment;
    } cases[] = {
        {"float", r4.Get(), S_OK, "dataType=\"float\"> <fdt:NumberData number=\"1.5\" />"},
        {"double", r8.Get(), S_OK, "dataType=\"double\"> <fdt:NumberData number=\"-0.25\" />"},
        {"int", i4.Get(), S_OK, "dataType=\"int\"> <fdt:NumberData number=\"-5\" />"},
        {"byte", ui1.Get(), S_OK, "dataType=\"byte\"> <fdt:NumberData number=\"200\" />"},
        {"unsigned", ui4.Get(), S_OK, "dataType=\"unsigned\"> <fdt:NumberData number=\"4000000000\" />"},
        {"bytes", bytes.Get(), S_OK, "dataType=\"hexString\"> <fdt:StringData string=\"01AB\" />"},
        {"no bytes", noBytes.Get(), S_OK, "dataType=\"hexString\"> <fdt:StringData string=\"\" />"},
        {"text", plain.Get(), S_OK, "dataType=\"ascii\"> <fdt:StringData string=\"plain\" />"},
        {"markup", markup.Get(), S_OK,
         "dataType=\"ascii\"> <fdt:StringData string=\"a&amp;b&lt;c&quot;d\" />"},
        {"16 bits", ui2.Get(), S_FALSE, nullptr},
        {"boolean", boolean.Get(), S_FALSE, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr text;
        ASSERT_HR(c.expected, WriteVariant(*c.value, text.Put()));
        if (!c.fragment) {
            EXPECT_TRUE(text.IsNull());
            continue;
        }
        EXPECT_EQ(std::string("<fdt:Variant xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" ") + c.fragment +
                      "</fdt:Variant>",
                  Narrow(text.Get()));
    }
    // Under a decimal comma the number keeps its point (the schema's number type, and the reader's); a
    // date follows the regional settings it is read back in.
    constexpr LCID kGerman = 0x0407;
    ql::Bstr text;
    ASSERT_HR(S_OK, WriteVariant(*r4, text.Put(), kGerman));
    EXPECT_NE(std::string::npos, Narrow(text.Get()).find("number=\"1.5\""));
    ASSERT_HR(S_OK, WriteVariant(*date, text.Put(), kGerman));
    // Day, month and year in the German order (Wine writes the day without a leading zero).
    EXPECT_NE(std::string::npos, Narrow(text.Get()).find(".12.2025 12:00:00\"")) << Narrow(text.Get());
}

TEST_F(ParameterValueXmlTest, ValuesReadBackThroughTheDom) {
    ASSERT_HR(S_OK, WriteDtmVariable(document_.Get(), root_.Get(),
                                     Record(26, L"", kExportVariant, MakeBstr(L"x \"q\" <t> & u").Get())));
    ASSERT_HR(S_OK, WriteDtmVariable(document_.Get(), root_.Get(),
                                     Record(27, L"", kExportDisplay, MakeBstr(L"a & b").Get())));
    ql::Variant ui2;
    ui2.Put()->vt = VT_UI2;
    V_UI2(ui2.Get()) = 1322;
    ASSERT_HR(S_OK,
              WriteDtmVariable(document_.Get(), root_.Get(), Record(47, L"", kExportVariant, ui2.Get())));
    ASSERT_HR(S_OK,
              WriteDtmVariable(document_.Get(), root_.Get(), Record(47, L"", kExportDisplay, ui2.Get())));

    EXPECT_EQ("x \"q\" <t> & u", ReadVariable(0, L"fdt:Value/fdt:Variant/fdt:StringData/@string"));
    EXPECT_EQ("a & b", ReadVariable(1, L"fdt:Value/fdt:Display/@string"));
    EXPECT_EQ("<none>", ReadVariable(2, L"fdt:Value/*")) << "a 16-bit value has no typed form";
    EXPECT_EQ("1322", ReadVariable(3, L"fdt:Value/fdt:Display/@string"));
}

TEST_F(ParameterValueXmlTest, FailuresLeaveNoParameterWithoutValue) {
    EXPECT_HR(E_FAIL, WriteParameterValue(document_.Get(), root_.Get(), Record(19, L"", 3)));
    EXPECT_EQ(1, Count(L"fdt:Value")) << "the value element stays, as written before the kind was known";

    EXPECT_HR(E_FAIL, WriteDtmVariables(document_.Get(), root_.Get(), Record(19, L"G", 3)));
    EXPECT_EQ(0, Count(L"fdt:DtmVariables/fdt:DtmVariable"));
    EXPECT_HR(E_INVALIDARG, WriteDtmVariable(document_.Get(), root_.Get(),
                                             Record(26, L"", kExportVariant, MakeBstr(L"\x01").Get())));
    EXPECT_HR(E_INVALIDARG, WriteDtmVariable(document_.Get(), root_.Get(),
                                             Record(26, L"", kExportDisplay, MakeBstr(L"\x02").Get())));
    EXPECT_EQ(0, Count(L"fdt:DtmVariable"));
    EXPECT_HR(E_POINTER, WriteDtmVariables(nullptr, root_.Get(), Record(19, L"", kExportVariant)));
    EXPECT_HR(E_POINTER, WriteDtmVariables(document_.Get(), nullptr, Record(19, L"", kExportVariant)));
}

TEST_F(ParameterValueXmlTest, AGroupNameWithAQuoteGetsAGroupPerRecord) {
    ASSERT_HR(S_OK, WriteDtmVariables(document_.Get(), root_.Get(), Record(16, L"Q\"x", kExportVariant)));
    ASSERT_HR(S_OK, WriteDtmVariables(document_.Get(), root_.Get(), Record(18, L"Q\"x", kExportVariant)));
    EXPECT_EQ(2, Count(L"fdt:DtmVariables"));
}

}  // namespace
