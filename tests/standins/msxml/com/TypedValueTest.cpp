// nodeTypedValue and dataType: the VARIANT types of the schema's dt:type values, and stores through
// nodeTypedValue and dataType.
#include <cmath>

#include "MsxmlTestSupport.h"
#include "classlib/SafeArray.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

// One attribute type per data type, on one element whose text is typed too.
const wchar_t kTypesSchema[] =
    L"<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
    L"<AttributeType name=\"hex\" dt:type=\"bin.hex\"/>"
    L"<AttributeType name=\"b\" dt:type=\"boolean\"/>"
    L"<AttributeType name=\"u1\" dt:type=\"ui1\"/>"
    L"<AttributeType name=\"u2\" dt:type=\"ui2\"/>"
    L"<AttributeType name=\"u4\" dt:type=\"ui4\"/>"
    L"<AttributeType name=\"s1\" dt:type=\"i1\"/>"
    L"<AttributeType name=\"s2\" dt:type=\"i2\"/>"
    L"<AttributeType name=\"s4\" dt:type=\"i4\"/>"
    L"<AttributeType name=\"n\" dt:type=\"int\"/>"
    L"<AttributeType name=\"f4\" dt:type=\"r4\"/>"
    L"<AttributeType name=\"f8\" dt:type=\"r8\"/>"
    L"<AttributeType name=\"fl\" dt:type=\"float\"/>"
    L"<AttributeType name=\"num\" dt:type=\"number\"/>"
    L"<AttributeType name=\"str\" dt:type=\"string\"/>"
    L"<AttributeType name=\"id\" dt:type=\"uuid\"/>"
    L"<AttributeType name=\"when\" dt:type=\"dateTime\"/>"
    L"<AttributeType name=\"plain\"/>"
    L"<ElementType name=\"v\" content=\"textOnly\" dt:type=\"ui4\">"
    L"<attribute type=\"hex\"/><attribute type=\"b\"/><attribute type=\"u1\"/><attribute type=\"u2\"/>"
    L"<attribute type=\"u4\"/><attribute type=\"s1\"/><attribute type=\"s2\"/><attribute type=\"s4\"/>"
    L"<attribute type=\"n\"/><attribute type=\"f4\"/><attribute type=\"f8\"/><attribute type=\"fl\"/>"
    L"<attribute type=\"num\"/><attribute type=\"str\"/><attribute type=\"id\"/><attribute type=\"when\"/>"
    L"<attribute type=\"plain\"/>"
    L"</ElementType></Schema>";

const wchar_t kTypedDocument[] =
    L"<v xmlns=\"x-schema:Types.xml\" hex=\"0aFF\" b=\"1\" u1=\"255\" u2=\"65535\" u4=\"4294967295\" "
    L"s1=\"-128\""
    L" s2=\"-32768\" s4=\"-7\" n=\"12\" f4=\"1.5\" f8=\"-2.5E3\" fl=\"0.25\" num=\"3.75\" str=\" a b \""
    L" id=\"6F9619FF-8B86-D011-B42D-00C04FC964FF\" when=\"2005-03-02T10:20:30\" plain=\"12\">  42 </v>";

class TypedValueTest : public MsxmlTest {
protected:
    void SetUp() override {
        MsxmlTest::SetUp();
        ql::ComPtr<IXMLDOMDocument2> schema = NewDocument();
        VARIANT_BOOL loaded = VARIANT_FALSE;
        ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(schema.Get(), kTypesSchema, &loaded)});
        ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
        ql::Bstr uri(L"x-schema:Types.xml");
        ql::Variant value;
        value.SetUnknown(schema.Get());
        ASSERT_EQ(Hr{S_OK}, Hr{cache->add(uri.Get(), *value.Get())});
        document_ = DocumentWith(cache.Get());
        ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(document_.Get(), kTypedDocument, &loaded)});
    }
    void TearDown() override {
        document_.Reset();
        MsxmlTest::TearDown();
    }
    ql::ComPtr<IXMLDOMNode> Node(const wchar_t* expression) {
        ql::ComPtr<IXMLDOMNode> node = SelectSingle(document_.Get(), expression);
        EXPECT_TRUE(node) << expression;
        return node;
    }

    ql::ComPtr<IXMLDOMDocument2> document_;
};

struct TypedCase {
    const wchar_t* expression;
    const wchar_t* dataType;  // null: untyped
    VARTYPE vt;
    const wchar_t* valueText;  // the value changed to VT_BSTR (invariant locale)
};

const TypedCase kTyped[] = {
    {L"v/@b", L"boolean", VT_BOOL, L"-1"},
    {L"v/@u1", L"ui1", VT_UI1, L"255"},
    {L"v/@u2", L"ui2", VT_UI2, L"65535"},
    {L"v/@u4", L"ui4", VT_UI4, L"4294967295"},
    {L"v/@s1", L"i1", VT_I1, L"-128"},
    {L"v/@s2", L"i2", VT_I2, L"-32768"},
    {L"v/@s4", L"i4", VT_I4, L"-7"},
    {L"v/@n", L"int", VT_I4, L"12"},
    {L"v/@f4", L"r4", VT_R4, L"1.5"},
    {L"v/@f8", L"r8", VT_R8, L"-2500"},
    {L"v/@fl", L"float", VT_R8, L"0.25"},
    {L"v/@num", L"number", VT_BSTR, L"3.75"},
    {L"v/@str", L"string", VT_BSTR, L" a b "},
    {L"v/@id", L"uuid", VT_BSTR, L"6F9619FF-8B86-D011-B42D-00C04FC964FF"},
    {L"v/@plain", nullptr, VT_BSTR, L"12"},
    {L"v", L"ui4", VT_UI4, L"42"},
};

TEST_F(TypedValueTest, TypedValuesComeInTheVariantTypeOfTheirDataType) {
    constexpr LCID kInvariant = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    for (const TypedCase& c : kTyped) {
        SCOPED_TRACE(testing::Message() << ql::Utf8FromWide(c.expression));
        ql::ComPtr<IXMLDOMNode> node = Node(c.expression);
        ASSERT_TRUE(node);
        ql::Variant value;
        ASSERT_EQ(Hr{S_OK}, Hr{node->get_nodeTypedValue(value.Put())});
        EXPECT_EQ(c.vt, value.Type());
        ASSERT_EQ(S_OK, value.ChangeType(VT_BSTR, kInvariant));
        EXPECT_EQ(c.valueText, StringOf(V_BSTR(value.Get())));

        ql::Variant type;
        if (c.dataType) {
            EXPECT_EQ(Hr{S_OK}, Hr{node->get_dataType(type.Put())});
            ASSERT_EQ(VT_BSTR, type.Type());
            EXPECT_EQ(c.dataType, StringOf(V_BSTR(type.Get())));
        } else {
            EXPECT_EQ(Hr{S_FALSE}, Hr{node->get_dataType(type.Put())});
            EXPECT_EQ(VT_NULL, type.Type());
        }
    }
}

std::vector<uint8_t> BytesOf(const ql::Variant& value) {
    std::vector<uint8_t> bytes;
    if (value.Type() != (VT_ARRAY | VT_UI1)) return bytes;
    ql::SafeArrayData<uint8_t> data(V_ARRAY(value.Get()));
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(V_ARRAY(value.Get()), 1, &lower);
    ::SafeArrayGetUBound(V_ARRAY(value.Get()), 1, &upper);
    if (SUCCEEDED(data.Status())) bytes.assign(data.Data(), data.Data() + (upper - lower + 1));
    return bytes;
}

TEST_F(TypedValueTest, BinHexIsAByteArray) {
    ql::ComPtr<IXMLDOMNode> hex = Node(L"v/@hex");
    ASSERT_TRUE(hex);
    ql::Variant value;
    ASSERT_EQ(Hr{S_OK}, Hr{hex->get_nodeTypedValue(value.Put())});
    EXPECT_EQ(VT_ARRAY | VT_UI1, value.Type());
    EXPECT_EQ((std::vector<uint8_t>{0x0A, 0xFF}), BytesOf(value));
}

TEST_F(TypedValueTest, DateTimeIsAnAutomationDate) {
    ql::ComPtr<IXMLDOMNode> when = Node(L"v/@when");
    ASSERT_TRUE(when);
    ql::Variant value;
    ASSERT_EQ(Hr{S_OK}, Hr{when->get_nodeTypedValue(value.Put())});
    ASSERT_EQ(VT_DATE, value.Type());
    SYSTEMTIME time = {};
    ASSERT_TRUE(::VariantTimeToSystemTime(V_DATE(value.Get()), &time));
    EXPECT_EQ(2005, time.wYear);
    EXPECT_EQ(3, time.wMonth);
    EXPECT_EQ(2, time.wDay);
    EXPECT_EQ(10, time.wHour);
    EXPECT_EQ(20, time.wMinute);
    EXPECT_EQ(30, time.wSecond);
}

TEST_F(TypedValueTest, NodeValueOfATypedAttributeIsItsText) {
    ql::ComPtr<IXMLDOMNode> number = Node(L"v/@s4");
    ASSERT_TRUE(number);
    ql::Variant value;
    ASSERT_EQ(Hr{S_OK}, Hr{number->get_nodeValue(value.Put())});
    ASSERT_EQ(VT_BSTR, value.Type());
    EXPECT_EQ(L"-7", StringOf(V_BSTR(value.Get())));
}

TEST_F(TypedValueTest, StoringATypedValueWritesItsText) {
    ql::ComPtr<IXMLDOMNode> hex = Node(L"v/@hex");
    ASSERT_TRUE(hex);
    ql::SafeArray bytes;
    ASSERT_EQ(S_OK, bytes.Create(VT_UI1, 3));
    {
        ql::SafeArrayData<uint8_t> data(bytes.Get());
        ASSERT_EQ(S_OK, data.Status());
        data[0] = 0x01;
        data[1] = 0xAB;
        data[2] = 0x00;
    }
    ql::Variant value;
    value.AttachArray(VT_UI1, bytes.Detach());
    ASSERT_EQ(Hr{S_OK}, Hr{hex->put_nodeTypedValue(*value.Get())});
    EXPECT_EQ(L"01ab00", TextOf(hex.Get()));

    ql::ComPtr<IXMLDOMNode> small = Node(L"v/@u1");
    ASSERT_TRUE(small);
    ql::Variant tooBig;
    tooBig.SetI4(256);
    EXPECT_EQ(Hr{E_FAIL}, Hr{small->put_nodeTypedValue(*tooBig.Get())});
    EXPECT_EQ(L"255", TextOf(small.Get()));
}

TEST_F(TypedValueTest, DataTypeSetOnABuiltElement) {
    ql::Bstr name(L"e");
    ql::ComPtr<IXMLDOMElement> element;
    ASSERT_EQ(S_OK, document_->createElement(name.Get(), element.Put()));
    ql::Bstr text(L"00ff");
    ASSERT_EQ(S_OK, element->put_text(text.Get()));
    ql::Bstr hexType(L"bin.hex");
    ASSERT_EQ(Hr{S_OK}, Hr{element->put_dataType(hexType.Get())});
    ql::Variant value;
    ASSERT_EQ(Hr{S_OK}, Hr{element->get_nodeTypedValue(value.Put())});
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0xFF}), BytesOf(value));

    ql::Bstr numberType(L"ui1");
    EXPECT_EQ(Hr{E_FAIL}, Hr{element->put_dataType(numberType.Get())});  // "00ff" is no ui1
    ql::Bstr unknownType(L"octets");
    EXPECT_EQ(Hr{E_FAIL}, Hr{element->put_dataType(unknownType.Get())});
}

}  // namespace
}  // namespace msxmltest
