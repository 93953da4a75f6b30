#include "XmlTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>

#include "classlib/Utf8.h"
#include "xml/SchemaRegistryFolder.h"

namespace xmltest {

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
        case E_OUTOFMEMORY:
            return "E_OUTOFMEMORY";
        case E_NOTIMPL:
            return "E_NOTIMPL";
        case E_NOINTERFACE:
            return "E_NOINTERFACE";
        case E_ACCESSDENIED:
            return "E_ACCESSDENIED";
        case static_cast<HRESULT>(0x800C0006):
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

void RecordingSink::DeliverMessage(BSTR text) noexcept {
    messages.push_back(ql::Utf8FromWide(std::wstring_view(text ? text : L"", ::SysStringLen(text))));
}

void ComTest::SetUp() {
    ASSERT_EQ(S_OK, ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    initialized_ = true;
}

void ComTest::TearDown() {
    if (initialized_) ::CoUninitialize();
}

std::wstring SourcePath(const char* relative) {
    // The source tree is a Unix path; Wine shows the Unix root as drive Z:.
    std::wstring path = L"Z:" + ql::WideFromUtf8(VARNOK_SOURCE_DIR) + L"/" + ql::WideFromUtf8(relative);
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring SchemasFolder() { return SourcePath("data/schemas"); }

TempFolder::TempFolder() {
    static unsigned counter = 0;
    std::wostringstream name;
    name << L"varnok-xml-" << ::GetCurrentProcessId() << L"-" << ++counter;
    const std::filesystem::path path = std::filesystem::temp_directory_path() / name.str();
    std::filesystem::create_directories(path);
    path_ = path.wstring();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::CopySchemas(const std::vector<std::wstring>& fileNames) const {
    for (const std::wstring& name : fileNames) {
        const std::filesystem::path from = std::filesystem::path(SchemasFolder()) / name;
        std::error_code error;
        std::filesystem::copy_file(from, std::filesystem::path(path_) / name, error);
        EXPECT_FALSE(error) << from.string() << ": " << error.message();
    }
}

void TempFolder::WriteFile(const std::wstring& name, const std::string& content) const {
    std::ofstream file(std::filesystem::path(path_) / name, std::ios::binary);
    file << content;
    EXPECT_TRUE(file.good());
}

ScopedRegistryFolder::ScopedRegistryFolder() { Remove(); }

ScopedRegistryFolder::~ScopedRegistryFolder() { Remove(); }

void ScopedRegistryFolder::SetString(const std::string& folder) const {
    SetRaw(REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1));
}

void ScopedRegistryFolder::SetRaw(DWORD type, const void* data, DWORD size) const {
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSchemaPathsKey, kSchemaPathsValue, type, data, size));
}

void ScopedRegistryFolder::Remove() {
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSchemaPathsKey, kSchemaPathsValue);
    // The keys exist only for these tests; each goes only when nothing is left below it.
    for (const char* key :
         {"Software\\Quellmark\\Quellbase\\XML\\SchemaPaths", "Software\\Quellmark\\Quellbase\\XML",
          "Software\\Quellmark\\Quellbase", "Software\\Quellmark"}) {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    }
}

ql::Bstr Text(const wchar_t* text) { return ql::Bstr(text); }

std::vector<std::wstring> Namespaces(IXMLDOMSchemaCollection* collection) {
    std::vector<std::wstring> namespaces;
    LONG length = 0;
    if (!collection || FAILED(collection->get_length(&length))) return namespaces;
    for (LONG i = 0; i < length; ++i) {
        ql::Bstr uri;
        EXPECT_EQ(S_OK, collection->get_namespaceURI(i, uri.Put()));
        namespaces.emplace_back(uri.View());
    }
    return namespaces;
}

std::vector<std::wstring> SchemaNamespaces(const std::vector<std::wstring>& files) {
    std::vector<std::wstring> namespaces;
    for (const std::wstring& file : files) namespaces.push_back(L"x-schema:" + file);
    return namespaces;
}

}  // namespace xmltest
