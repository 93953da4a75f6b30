#pragma once
// Shared fixtures of the MSXML stand-in tests: COM per test, the server's two classes created as the system
// creates them (CoCreateInstance with CLSCTX_ALL), the sample documents and schema files, and HRESULTs
// that print their names.
#include <windows.h>

#include <gtest/gtest.h>
#include <msxml2.h>

#include <ostream>
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"

extern "C" {
extern const CLSID CLSID_DOMDocument2;
extern const CLSID CLSID_XMLSchemaCache;
}

namespace msxmltest {

// An HRESULT that compares exactly and prints as hexadecimal with its name.
struct Hr {
    HRESULT value;
    bool operator==(const Hr& other) const { return value == other.value; }
    bool operator!=(const Hr& other) const { return value != other.value; }
};
void PrintTo(const Hr& hr, std::ostream* os);

constexpr HRESULT kObjectNotFound = static_cast<HRESULT>(0x800C0006);
constexpr DWORD kClsctxAll = 0x17;  // CLSCTX_ALL, as the system creates MSXML's classes

// One apartment per test, as the system's apartment-threaded objects run.
class MsxmlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new DOMDocument / XMLSchemaCache; fails the test when creation fails.
    ql::ComPtr<IXMLDOMDocument2> NewDocument();
    ql::ComPtr<IXMLDOMSchemaCollection> NewSchemaCache();
    // A schema cache holding the named files of data/schemas under "x-schema:<name>".
    ql::ComPtr<IXMLDOMSchemaCollection> SchemaCacheWith(const std::vector<std::wstring>& fileNames);
    // A new document with `schemas` attached (putref_schemas with VT_UNKNOWN, as the system attaches it).
    ql::ComPtr<IXMLDOMDocument2> DocumentWith(IXMLDOMSchemaCollection* schemas);

private:
    bool initialized_ = false;
};

// Windows paths below the source tree (a Unix path that Wine shows as drive Z:).
std::wstring SourcePath(const std::string& relative);
std::wstring SchemaFilePath(const std::wstring& fileName);
std::wstring SampleDocumentPath(const std::string& relativeToXmlData);
// A UTF-8 file's text.
std::wstring ReadUtf8File(const std::wstring& path);

// loadXML of `text`; `loaded` receives the flag.
HRESULT LoadXml(IXMLDOMDocument* document, const std::wstring& text, VARIANT_BOOL* loaded);
HRESULT LoadFile(IXMLDOMDocument* document, const std::wstring& path, VARIANT_BOOL* loaded);

std::wstring XmlOf(IXMLDOMNode* node);
std::wstring TextOf(IXMLDOMNode* node);
std::wstring NameOf(IXMLDOMNode* node);
std::wstring StringOf(BSTR text);

struct ParseErrorFields {
    LONG errorCode = 0;
    LONG line = 0;
    LONG linepos = 0;
    LONG filepos = 0;
    std::wstring reason;
    std::wstring srcText;
    std::wstring url;
};
ParseErrorFields ParseErrorOf(IXMLDOMDocument* document);

// selectSingleNode; `hr` receives its answer.
ql::ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* context, const wchar_t* expression, HRESULT* hr = nullptr);
// The identity IUnknown of an object, for identity comparisons.
ql::ComPtr<IUnknown> IdentityOf(IUnknown* object);

// The server's DllCanUnloadNow: S_OK once no object of it lives.
HRESULT ServerCanUnloadNow();

// A temporary folder, removed with everything in it when the owner goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;
    std::string Read(const std::wstring& name) const;

private:
    std::wstring path_;
};

}  // namespace msxmltest
