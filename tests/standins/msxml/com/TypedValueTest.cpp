// nodeTypedValue and dataType: the VARIANT types of the schema's dt:type values, and stores through
// nodeTypedValue and dataType.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

// One attribute per data type on element v, whose text is typed ui4 too; the schema and the document are
// made from this table.
const struct TypedCase {
    const wchar_t* name;
    const wchar_t* dataType;  // null: untyped
    const wchar_t* text;      // as the document holds it
    const char* value;        // Describe() of nodeTypedValue
} kTyped[] = {
    {L"b", L"boolean", L"1", "bool:-1"},
    {L"u1", L"ui1", L"255", "ui1:255"},
    {L"u2", L"ui2", L"65535", "ui2:65535"},
    {L"u4", L"ui4", L"4294967295", "ui4:4294967295"},
    {L"s1", L"i1", L"-128", "vt16"},  // VT_I1, checked by its text below
    {L"s2", L"i2", L"-32768", "i2:-32768"},
    {L"s4", L"i4", L"-7", "i4:-7"},
    {L"n", L"int", L"12", "i4:12"},
    {L"f4", L"r4", L"1.5", "r4:1.5"},
    {L"f8", L"r8", L"-2.5E3", "r8:-2500"},
    {L"fl", L"float", L"0.25", "r8:0.25"},
    {L"num", L"number", L"3.75", "bstr:'3.75'"},
    {L"str", L"string", L" a b ", "bstr:' a b '"},
    {L"id", L"uuid", L"6F9619FF-8B86-D011-B42D-00C04FC964FF", "bstr:'6F9619FF-8B86-D011-B42D-00C04FC964FF'"},
    {L"hex", L"bin.hex", L"0aFF", "bytes:0AFF"},
    {L"when", L"dateTime", L"2005-03-02T10:20:30", "vt7"},  // VT_DATE, checked below
    {L"plain", nullptr, L"12", "bstr:'12'"},
};

class TypedValueTest : public MsxmlTest {
protected:
    void SetUp() override {
        MsxmlTest::SetUp();
        std::wstring schema =
            L"<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\" "
            L"xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">";
        std::wstring attributes, document = L"<v xmlns=\"x-schema:Types.xml\"";
        for (const TypedCase& c : kTyped) {
            schema += std::wstring(L"<AttributeType name=\"") + c.name + L"\"" +
                      (c.dataType ? std::wstring(L" dt:type=\"") + c.dataType + L"\"" : L"") + L"/>";
            attributes += std::wstring(L"<attribute type=\"") + c.name + L"\"/>";
            document += std::wstring(L" ") + c.name + L"=\"" + c.text + L"\"";
        }
        schema += L"<ElementType name=\"v\" content=\"textOnly\" dt:type=\"ui4\">" + attributes +
                  L"</ElementType></Schema>";
        ql::ComPtr<IXMLDOMDocument2> schemaDocument = Loaded(schema);
        ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
        ASSERT_TRUE(schemaDocument && cache);
        ql::Variant value;
        value.SetUnknown(schemaDocument.Get());
        ASSERT_HR(S_OK, cache->add(ql::Bstr(L"x-schema:Types.xml").Get(), *value.Get()));
        document_ = DocumentWith(cache.Get());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_HR(S_OK, LoadXml(document_.Get(), document + L">  42 </v>", &loaded));
    }
    ql::ComPtr<IXMLDOMNode> Node(const std::wstring& expression) {
        ql::ComPtr<IXMLDOMNode> node = SelectSingle(document_.Get(), expression.c_str());
        EXPECT_TRUE(node) << ql::Utf8FromWide(expression);
        return node;
    }
    static std::string TypedValueOf(IXMLDOMNode* node) {
        ql::Variant value;
        EXPECT_HR(S_OK, node->get_nodeTypedValue(value.Put()));
        return Describe(*value);
    }

    ql::ComPtr<IXMLDOMDocument2> document_;
};

TEST_F(TypedValueTest, TypedValuesComeInTheVariantTypeOfTheirDataType) {
    for (const TypedCase& c : kTyped) {
        SCOPED_TRACE(ql::Utf8FromWide(c.name));
        ql::ComPtr<IXMLDOMNode> node = Node(std::wstring(L"v/@") + c.name);
        ASSERT_TRUE(node);
        EXPECT_EQ(c.value, TypedValueOf(node.Get()));
        ql::Variant type;
        EXPECT_HR(c.dataType ? S_OK : S_FALSE, node->get_dataType(type.Put()));
        EXPECT_EQ(c.dataType ? "bstr:'" + ql::Utf8FromWide(c.dataType) + "'" : "null", Describe(*type));
    }
    EXPECT_EQ("ui4:42", TypedValueOf(Node(L"v").Get()));
    ql::Variant value;
    ASSERT_HR(S_OK, Node(L"v/@s1")->get_nodeTypedValue(value.Put()));
    EXPECT_EQ(L"-128", vtest::TextOf(*value));
    // The node value of a typed attribute stays its text.
    ASSERT_HR(S_OK, Node(L"v/@s4")->get_nodeValue(value.Put()));
    EXPECT_EQ("bstr:'-7'", Describe(*value));

    ASSERT_HR(S_OK, Node(L"v/@when")->get_nodeTypedValue(value.Put()));
    ASSERT_EQ(VT_DATE, value.Type());
    SYSTEMTIME time = {};
    ASSERT_TRUE(::VariantTimeToSystemTime(V_DATE(value.Get()), &time));
    EXPECT_EQ(
        (std::vector<WORD>{2005, 3, 2, 10, 20, 30}),
        (std::vector<WORD>{time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond}));
}

}  // namespace
}  // namespace msxmltest
