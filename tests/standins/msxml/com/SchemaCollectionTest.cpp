// XMLSchemaCache: add (file locations and loaded documents), length, namespaceURI, get, remove, and its
// attachment to documents.
#include "MsxmlTestSupport.h"

namespace msxmltest {
namespace {

class SchemaCollectionTest : public MsxmlTest {
protected:
    static HRESULT AddFile(IXMLDOMSchemaCollection* cache, const wchar_t* uri, const std::wstring& location) {
        return cache->add(ql::Bstr(uri).Get(), *MakeBstr(location.c_str()));
    }
    static std::vector<std::wstring> Namespaces(IXMLDOMSchemaCollection* cache) {
        std::vector<std::wstring> names;
        LONG length = 0;
        EXPECT_HR(S_OK, cache->get_length(&length));
        for (LONG i = 0; i < length; ++i) {
            ql::Bstr name;
            EXPECT_HR(S_OK, cache->get_namespaceURI(i, name.Put()));
            names.emplace_back(name.View());
        }
        return names;
    }
};

TEST_F(SchemaCollectionTest, AddKeepsOrderAndReplacesANamespaceInPlace) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    EXPECT_HR(S_OK, AddFile(cache.Get(), L"x-schema:A.xml", SchemaFilePath(L"FDTApplicationIdSchema.xml")));
    EXPECT_HR(S_OK, AddFile(cache.Get(), L"x-schema:B.xml", SchemaFilePath(L"FDTOperationPhaseSchema.xml")));
    EXPECT_HR(S_OK, AddFile(cache.Get(), L"x-schema:A.xml", SchemaFilePath(L"FDTApplicationIdSchema.xml")));
    EXPECT_EQ((std::vector<std::wstring>{L"x-schema:A.xml", L"x-schema:B.xml"}), Namespaces(cache.Get()));
    ql::Bstr name;
    EXPECT_HR(E_INVALIDARG, cache->get_namespaceURI(2, name.Put()));
}

TEST_F(SchemaCollectionTest, FailedAddLeavesTheCollectionUnchanged) {
    TempFolder folder;
    const struct {
        const char* name;
        std::wstring location;
        HRESULT expected;  // S_OK: any failure
    } cases[] = {
        {"missing file", folder.File(L"absent.xml"), kObjectNotFound},
        {"not well-formed",
         folder.Write(L"broken.xml", "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\">"),
         static_cast<HRESULT>(0xC00CE553)},
        {"element type without a name",
         folder.Write(L"bad.xml",
                      "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\"><ElementType/></Schema>"),
         S_OK},
    };
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HRESULT hr = AddFile(cache.Get(), L"x-schema:X.xml", c.location);
        if (c.expected == S_OK) {
            EXPECT_TRUE(FAILED(hr)) << HResultName(hr);
        } else {
            EXPECT_HR(c.expected, hr);
        }
        EXPECT_TRUE(Namespaces(cache.Get()).empty());
    }
}

TEST_F(SchemaCollectionTest, AddTakesALoadedSchemaDocument) {
    ql::ComPtr<IXMLDOMDocument2> schema = Loaded(
        L"<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\">"
        L"<ElementType name=\"r\" content=\"empty\" model=\"closed\"/></Schema>");
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(schema && cache);
    ql::Variant value;
    value.SetDispatch(schema.Get());
    ASSERT_HR(S_OK, cache->add(ql::Bstr(L"x-schema:Small.xml").Get(), *value.Get()));
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_HR(S_OK, LoadXml(document.Get(), L"<r xmlns=\"x-schema:Small.xml\"/>", &loaded));
    EXPECT_HR(S_FALSE, LoadXml(document.Get(), L"<r xmlns=\"x-schema:Small.xml\"><r/></r>", &loaded));
}

TEST_F(SchemaCollectionTest, GetGivesTheSchemaElementAndRemoveDropsIt) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
    ASSERT_TRUE(cache);
    const ql::Bstr uri(L"x-schema:FDTOperationPhaseSchema.xml");
    ql::ComPtr<IXMLDOMNode> schema, none;
    ASSERT_HR(S_OK, cache->get(uri.Get(), schema.Put()));
    ASSERT_TRUE(schema);
    EXPECT_EQ(L"Schema", NameOf(schema.Get()));
    EXPECT_HR(S_FALSE, cache->get(ql::Bstr(L"x-schema:Other.xml").Get(), none.Put()));
    EXPECT_FALSE(none);
    EXPECT_HR(S_OK, cache->remove(uri.Get()));
    EXPECT_TRUE(Namespaces(cache.Get()).empty());
}

TEST_F(SchemaCollectionTest, DocumentHandsBackTheAttachedCollectionAndRefusesAnyOtherObject) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    ASSERT_TRUE(document);
    ql::Variant attached, none, notACache;
    ASSERT_HR(S_OK, document->get_schemas(attached.Put()));
    ASSERT_EQ(VT_DISPATCH, attached.Type());
    EXPECT_EQ(IdentityOf(cache.Get()), IdentityOf(V_DISPATCH(attached.Get())));
    V_VT(none.Put()) = VT_NULL;
    EXPECT_HR(S_OK, document->putref_schemas(*none.Get()));
    EXPECT_HR(S_FALSE, document->get_schemas(attached.Put()));
    notACache.SetUnknown(NewDocument().Get());
    EXPECT_HR(E_INVALIDARG, document->putref_schemas(*notACache.Get()));
}

}  // namespace
}  // namespace msxmltest
