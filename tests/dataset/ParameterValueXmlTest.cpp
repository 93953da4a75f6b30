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

TEST_F(ParameterValueXmlTest, TypedFormsOfEveryVarType) {
    ql::Variant r4, i4, date, boolean;
    const ql::Variant bytes = MakeBytes({0x01, 0xAB}), markup = MakeBstr(L"a&b<c\"d");
    r4.SetR4(1.5f);
    i4.SetI4(-5);
    date.Put()->vt = VT_DATE;
    V_DATE(date.Get()) = 46000.5;
    boolean.SetBool(true);
    const struct {
        const char* name;
        const VARIANT* value;
        HRESULT expected;
        const char* fragment;
    } cases[] = {
        {"float", r4.Get(), S_OK, "dataType=\"float\"> <fdt:NumberData number=\"1.5\" />"},
        {"int", i4.Get(), S_OK, "dataType=\"int\"> <fdt:NumberData number=\"-5\" />"},
        {"bytes", bytes.Get(), S_OK, "dataType=\"hexString\"> <fdt:StringData string=\"01AB\" />"},
        {"markup", markup.Get(), S_OK,
         "dataType=\"ascii\"> <fdt:StringData string=\"a&amp;b&lt;c&quot;d\" />"},
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

TEST_F(ParameterValueXmlTest, AGroupNameWithAQuoteGetsAGroupPerRecord) {
    ASSERT_HR(S_OK, WriteDtmVariables(document_.Get(), root_.Get(), Record(16, L"Q\"x", kExportVariant)));
    ASSERT_HR(S_OK, WriteDtmVariables(document_.Get(), root_.Get(), Record(18, L"Q\"x", kExportVariant)));
    EXPECT_EQ(2, Count(L"fdt:DtmVariables"));
}

}  // namespace
