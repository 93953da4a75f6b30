// XMLSchemaCache: add (file locations and loaded documents), length, namespaceURI, get, remove, and its
// attachment to documents.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"

namespace msxmltest {
namespace {

class SchemaCollectionTest : public MsxmlTest {
protected:
    static HRESULT AddFile(IXMLDOMSchemaCollection* cache, const wchar_t* uri, const std::wstring& location) {
        ql::Bstr name(uri);
        ql::Variant value;
        EXPECT_EQ(S_OK, value.SetBstr(location.c_str()));
        return cache->add(name.Get(), *value.Get());
    }
    static std::vector<std::wstring> Namespaces(IXMLDOMSchemaCollection* cache) {
        std::vector<std::wstring> names;
        LONG length = 0;
        EXPECT_EQ(S_OK, cache->get_length(&length));
        for (LONG i = 0; i < length; ++i) {
            ql::Bstr name;
            EXPECT_EQ(S_OK, cache->get_namespaceURI(i, name.Put()));
            names.push_back(StringOf(name.Get()));
        }
        return names;
    }
};

const wchar_t kSmallSchema[] =
    L"<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
    L"<ElementType name=\"r\" content=\"empty\" model=\"closed\"/></Schema>";

TEST_F(SchemaCollectionTest, AddKeepsOrderAndReplacesANamespaceInPlace) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    EXPECT_EQ(Hr{S_OK},
              Hr{AddFile(cache.Get(), L"x-schema:A.xml", SchemaFilePath(L"FDTApplicationIdSchema.xml"))});
    EXPECT_EQ(Hr{S_OK},
              Hr{AddFile(cache.Get(), L"x-schema:B.xml", SchemaFilePath(L"FDTOperationPhaseSchema.xml"))});
    EXPECT_EQ(Hr{S_OK},
              Hr{AddFile(cache.Get(), L"x-schema:A.xml", SchemaFilePath(L"FDTApplicationIdSchema.xml"))});
    EXPECT_EQ((std::vector<std::wstring>{L"x-schema:A.xml", L"x-schema:B.xml"}), Namespaces(cache.Get()));
    ql::Bstr name;
    EXPECT_EQ(Hr{E_INVALIDARG}, Hr{cache->get_namespaceURI(2, name.Put())});
}

TEST_F(SchemaCollectionTest, FailedAddLeavesTheCollectionUnchanged) {
    TempFolder folder;
    const std::wstring notXml =
        folder.Write(L"broken.xml", "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\">");
    const std::wstring notSchema = folder.Write(
        L"bad.xml", "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\"><ElementType/></Schema>");
    struct {
        const char* name;
        std::wstring location;
        bool syntax;  // a parse error rather than a schema error
    } cases[] = {
        {"missing file", folder.Path() + L"\\absent.xml", false},
        {"not well-formed", notXml, true},
        {"element type without a name", notSchema, false},
    };
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HRESULT hr = AddFile(cache.Get(), L"x-schema:X.xml", c.location);
        EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
        if (c.syntax) {
            EXPECT_EQ(0xC00CE500u, static_cast<ULONG>(hr) & 0xFFFFFF00u) << std::hex << hr;
        }
        LONG length = -1;
        EXPECT_EQ(S_OK, cache->get_length(&length));
        EXPECT_EQ(0, length);
    }
    EXPECT_EQ(Hr{kObjectNotFound},
              Hr{AddFile(cache.Get(), L"x-schema:X.xml", folder.Path() + L"\\absent.xml")});
}

TEST_F(SchemaCollectionTest, AddTakesALoadedSchemaDocument) {
    ql::ComPtr<IXMLDOMDocument2> schema = NewDocument();
    ASSERT_TRUE(schema);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(Hr{S_OK}, Hr{LoadXml(schema.Get(), kSmallSchema, &loaded)});
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    ql::Bstr uri(L"x-schema:Small.xml");
    ql::Variant value;
    value.SetDispatch(schema.Get());
    ASSERT_EQ(Hr{S_OK}, Hr{cache->add(uri.Get(), *value.Get())});

    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    EXPECT_EQ(Hr{S_OK}, Hr{LoadXml(document.Get(), L"<r xmlns=\"x-schema:Small.xml\"/>", &loaded)});
    EXPECT_EQ(Hr{S_FALSE}, Hr{LoadXml(document.Get(), L"<r xmlns=\"x-schema:Small.xml\"><r/></r>", &loaded)});
}

TEST_F(SchemaCollectionTest, GetGivesTheSchemaElementAndRemoveDropsIt) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = SchemaCacheWith({L"FDTOperationPhaseSchema.xml"});
    ASSERT_TRUE(cache);
    ql::Bstr uri(L"x-schema:FDTOperationPhaseSchema.xml");
    ql::ComPtr<IXMLDOMNode> schema;
    ASSERT_EQ(Hr{S_OK}, Hr{cache->get(uri.Get(), schema.Put())});
    ASSERT_TRUE(schema);
    EXPECT_EQ(L"Schema", NameOf(schema.Get()));

    ql::Bstr other(L"x-schema:Other.xml");
    ql::ComPtr<IXMLDOMNode> none;
    EXPECT_EQ(Hr{S_FALSE}, Hr{cache->get(other.Get(), none.Put())});
    EXPECT_FALSE(none);

    EXPECT_EQ(Hr{S_OK}, Hr{cache->remove(uri.Get())});
    LONG length = -1;
    EXPECT_EQ(S_OK, cache->get_length(&length));
    EXPECT_EQ(0, length);
}

TEST_F(SchemaCollectionTest, DocumentHandsBackTheAttachedCollection) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    ASSERT_TRUE(cache);
    ql::ComPtr<IXMLDOMDocument2> document = DocumentWith(cache.Get());
    ASSERT_TRUE(document);
    ql::Variant attached;
    ASSERT_EQ(S_OK, document->get_schemas(attached.Put()));
    ASSERT_EQ(VT_DISPATCH, attached.Type());
    EXPECT_EQ(IdentityOf(cache.Get()).Get(), IdentityOf(V_DISPATCH(attached.Get())).Get());

    ql::Variant none;
    V_VT(none.Put()) = VT_NULL;
    EXPECT_EQ(Hr{S_OK}, Hr{document->putref_schemas(*none.Get())});
    EXPECT_EQ(Hr{S_FALSE}, Hr{document->get_schemas(attached.Put())});
}

TEST_F(SchemaCollectionTest, ObjectThatIsNoSchemaCacheIsRefused) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    ql::ComPtr<IXMLDOMDocument2> notACache = NewDocument();
    ASSERT_TRUE(document && notACache);
    ql::Variant value;
    value.SetUnknown(notACache.Get());
    EXPECT_EQ(Hr{E_INVALIDARG}, Hr{document->putref_schemas(*value.Get())});
}

}  // namespace
}  // namespace msxmltest
