#include "MsxmlTestSupport.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "classlib/Utf8.h"

namespace msxmltest {

namespace {
constexpr DWORD kClsctxAll = 0x17;  // CLSCTX_ALL, as the system creates MSXML's classes
}  // namespace

ql::ComPtr<IXMLDOMDocument2> MsxmlTest::NewDocument() {
    ql::ComPtr<IXMLDOMDocument2> document;
    EXPECT_HR(S_OK, ::CoCreateInstance(CLSID_DOMDocument2, nullptr, kClsctxAll, IID_IXMLDOMDocument2,
                                       document.PutVoid()));
    return document;
}

ql::ComPtr<IXMLDOMSchemaCollection> MsxmlTest::NewSchemaCache() {
    ql::ComPtr<IXMLDOMSchemaCollection> cache;
    EXPECT_HR(S_OK, ::CoCreateInstance(CLSID_XMLSchemaCache, nullptr, kClsctxAll, IID_IXMLDOMSchemaCollection,
                                       cache.PutVoid()));
    return cache;
}

ql::ComPtr<IXMLDOMSchemaCollection> MsxmlTest::SchemaCacheWith(const std::vector<std::wstring>& fileNames) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    for (const std::wstring& name : fileNames) {
        if (!cache) break;
        EXPECT_HR(S_OK,
                  cache->add(ql::Bstr(L"x-schema:" + name).Get(), *MakeBstr(SchemaFilePath(name).c_str())))
            << ql::Utf8FromWide(name);
    }
    return cache;
}

ql::ComPtr<IXMLDOMDocument2> MsxmlTest::DocumentWith(IXMLDOMSchemaCollection* schemas) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    if (!document) return document;
    ql::Variant value;
    value.SetUnknown(IdentityOf(schemas));
    EXPECT_HR(S_OK, document->putref_schemas(*value.Get()));
    return document;
}

ql::ComPtr<IXMLDOMDocument2> MsxmlTest::Loaded(const std::wstring& text) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (document) {
        EXPECT_HR(S_OK, LoadXml(document.Get(), text, &loaded));
    }
    return document;
}

std::wstring ReadUtf8File(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    EXPECT_TRUE(file.good()) << ql::Utf8FromWide(path);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return ql::WideFromUtf8(bytes.str());
}

HRESULT LoadXml(IXMLDOMDocument* document, const std::wstring& text, VARIANT_BOOL* loaded) {
    return document->loadXML(ql::Bstr(text).Get(), loaded);
}

HRESULT LoadFile(IXMLDOMDocument* document, const std::wstring& path, VARIANT_BOOL* loaded) {
    return document->load(*MakeBstr(path.c_str()), loaded);
}

std::wstring XmlOf(IXMLDOMNode* node) {
    ql::Bstr xml;
    EXPECT_HR(S_OK, node->get_xml(xml.Put()));
    return StringOf(xml.Get());
}

std::wstring TextOf(IXMLDOMNode* node) {
    ql::Bstr text;
    EXPECT_HR(S_OK, node->get_text(text.Put()));
    return StringOf(text.Get());
}

ParseErrorFields ParseErrorOf(IXMLDOMDocument* document) {
    ParseErrorFields fields;
    ql::ComPtr<IXMLDOMParseError> error;
    EXPECT_HR(S_OK, document->get_parseError(error.Put()));
    if (!error) return fields;
    (void)error->get_errorCode(&fields.errorCode);
    (void)error->get_line(&fields.line);
    (void)error->get_linepos(&fields.linepos);
    (void)error->get_filepos(&fields.filepos);
    ql::Bstr reason, srcText, url;
    (void)error->get_reason(reason.Put());
    (void)error->get_srcText(srcText.Put());
    (void)error->get_url(url.Put());
    fields.reason = StringOf(reason.Get());
    fields.srcText = StringOf(srcText.Get());
    fields.url = StringOf(url.Get());
    return fields;
}

ql::ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* context, const wchar_t* expression, HRESULT* hr) {
    ql::ComPtr<IXMLDOMNode> node;
    const HRESULT result = context->selectSingleNode(ql::Bstr(expression).Get(), node.Put());
    if (hr) *hr = result;
    return node;
}

IUnknown* IdentityOf(IUnknown* object) {
    ql::ComPtr<IUnknown> identity;
    if (object) {
        EXPECT_HR(S_OK, object->QueryInterface(IID_IUnknown, identity.PutVoid()));
    }
    return identity.Get();  // the object keeps its identity alive as long as it lives itself
}

}  // namespace msxmltest
