#include "MsxmlTestSupport.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "classlib/Utf8.h"

namespace msxmltest {

namespace {

const char* HrName(HRESULT hr) {
    switch (hr) {
        case S_OK:
            return "S_OK";
        case S_FALSE:
            return "S_FALSE";
        case E_FAIL:
            return "E_FAIL";
        case E_POINTER:
            return "E_POINTER";
        case E_INVALIDARG:
            return "E_INVALIDARG";
        case E_NOTIMPL:
            return "E_NOTIMPL";
        case E_NOINTERFACE:
            return "E_NOINTERFACE";
        case kObjectNotFound:
            return "INET_E_OBJECT_NOT_FOUND";
        default:
            return "";
    }
}

}  // namespace

void PrintTo(const Hr& hr, std::ostream* os) {
    *os << "0x" << std::hex << std::setw(8) << std::setfill('0') << static_cast<unsigned long>(hr.value)
        << std::dec;
    if (*HrName(hr.value)) *os << " (" << HrName(hr.value) << ")";
}

void MsxmlTest::SetUp() {
    ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    initialized_ = true;
}

void MsxmlTest::TearDown() {
    if (initialized_) ::CoUninitialize();
}

ql::ComPtr<IXMLDOMDocument2> MsxmlTest::NewDocument() {
    ql::ComPtr<IXMLDOMDocument2> document;
    const HRESULT hr =
        ::CoCreateInstance(CLSID_DOMDocument2, nullptr, kClsctxAll, IID_IXMLDOMDocument2, document.PutVoid());
    EXPECT_EQ(Hr{S_OK}, Hr{hr});
    return document;
}

ql::ComPtr<IXMLDOMSchemaCollection> MsxmlTest::NewSchemaCache() {
    ql::ComPtr<IXMLDOMSchemaCollection> cache;
    const HRESULT hr = ::CoCreateInstance(CLSID_XMLSchemaCache, nullptr, kClsctxAll,
                                          IID_IXMLDOMSchemaCollection, cache.PutVoid());
    EXPECT_EQ(Hr{S_OK}, Hr{hr});
    return cache;
}

ql::ComPtr<IXMLDOMSchemaCollection> MsxmlTest::SchemaCacheWith(const std::vector<std::wstring>& fileNames) {
    ql::ComPtr<IXMLDOMSchemaCollection> cache = NewSchemaCache();
    if (!cache) return cache;
    for (const std::wstring& name : fileNames) {
        ql::Bstr uri(L"x-schema:" + name);
        ql::Variant location;
        EXPECT_EQ(S_OK, location.SetBstr(SchemaFilePath(name).c_str()));
        EXPECT_EQ(Hr{S_OK}, Hr{cache->add(uri.Get(), *location.Get())}) << ql::Utf8FromWide(name);
    }
    return cache;
}

ql::ComPtr<IXMLDOMDocument2> MsxmlTest::DocumentWith(IXMLDOMSchemaCollection* schemas) {
    ql::ComPtr<IXMLDOMDocument2> document = NewDocument();
    if (!document) return document;
    ql::ComPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, schemas->QueryInterface(IID_IUnknown, unknown.PutVoid()));
    ql::Variant value;
    value.SetUnknown(unknown.Get());
    EXPECT_EQ(Hr{S_OK}, Hr{document->putref_schemas(*value.Get())});
    return document;
}

std::wstring SourcePath(const std::string& relative) {
    std::wstring path = L"Z:" + ql::WideFromUtf8(VARNOK_SOURCE_DIR) + L"/" + ql::WideFromUtf8(relative);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path;
}

std::wstring SchemaFilePath(const std::wstring& fileName) { return SourcePath("data/schemas/") + fileName; }

std::wstring SampleDocumentPath(const std::string& relativeToXmlData) {
    return SourcePath("tests/data/xml/" + relativeToXmlData);
}

std::wstring ReadUtf8File(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    EXPECT_TRUE(file.good()) << ql::Utf8FromWide(path);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return ql::WideFromUtf8(bytes.str());
}

HRESULT LoadXml(IXMLDOMDocument* document, const std::wstring& text, VARIANT_BOOL* loaded) {
    ql::Bstr source(text);
    return document->loadXML(source.Get(), loaded);
}

HRESULT LoadFile(IXMLDOMDocument* document, const std::wstring& path, VARIANT_BOOL* loaded) {
    ql::Variant source;
    EXPECT_EQ(S_OK, source.SetBstr(path.c_str()));
    return document->load(*source.Get(), loaded);
}

std::wstring StringOf(BSTR text) { return std::wstring(text ? text : L"", ::SysStringLen(text)); }

std::wstring XmlOf(IXMLDOMNode* node) {
    ql::Bstr xml;
    EXPECT_EQ(S_OK, node->get_xml(xml.Put()));
    return StringOf(xml.Get());
}

std::wstring TextOf(IXMLDOMNode* node) {
    ql::Bstr text;
    EXPECT_EQ(S_OK, node->get_text(text.Put()));
    return StringOf(text.Get());
}

std::wstring NameOf(IXMLDOMNode* node) {
    ql::Bstr name;
    EXPECT_EQ(S_OK, node->get_nodeName(name.Put()));
    return StringOf(name.Get());
}

ParseErrorFields ParseErrorOf(IXMLDOMDocument* document) {
    ParseErrorFields fields;
    ql::ComPtr<IXMLDOMParseError> error;
    EXPECT_EQ(S_OK, document->get_parseError(error.Put()));
    if (!error) return fields;
    (void)error->get_errorCode(&fields.errorCode);
    (void)error->get_line(&fields.line);
    (void)error->get_linepos(&fields.linepos);
    (void)error->get_filepos(&fields.filepos);
    ql::Bstr text;
    (void)error->get_reason(text.Put());
    fields.reason = StringOf(text.Get());
    (void)error->get_srcText(text.Put());
    fields.srcText = StringOf(text.Get());
    (void)error->get_url(text.Put());
    fields.url = StringOf(text.Get());
    return fields;
}

ql::ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* context, const wchar_t* expression, HRESULT* hr) {
    ql::ComPtr<IXMLDOMNode> node;
    ql::Bstr query(expression);
    const HRESULT result = context->selectSingleNode(query.Get(), node.Put());
    if (hr) *hr = result;
    return node;
}

ql::ComPtr<IUnknown> IdentityOf(IUnknown* object) {
    ql::ComPtr<IUnknown> identity;
    if (object) {
        EXPECT_EQ(S_OK, object->QueryInterface(IID_IUnknown, identity.PutVoid()));
    }
    return identity;
}

HRESULT ServerCanUnloadNow() {
    using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
    HMODULE server = ::GetModuleHandleW(L"msxml_standin.dll");
    if (!server) return E_UNEXPECTED;
    auto canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
        reinterpret_cast<void*>(::GetProcAddress(server, "DllCanUnloadNow")));
    return canUnloadNow ? canUnloadNow() : E_UNEXPECTED;
}

TempFolder::TempFolder() {
    static unsigned counter = 0;
    std::wostringstream name;
    name << L"varnok-msxml-" << ::GetCurrentProcessId() << L"-" << ++counter;
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(path);
    path_ = path.wstring();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = path_ + L"\\" + name;
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string TempFolder::Read(const std::wstring& name) const {
    std::ifstream file(std::filesystem::path(path_ + L"\\" + name), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace msxmltest
