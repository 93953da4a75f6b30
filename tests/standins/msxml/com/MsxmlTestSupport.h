#pragma once
// Shared fixture of the MSXML stand-in tests: the server's two classes created as the system creates them
// (CoCreateInstance with CLSCTX_ALL) in one apartment per test, the sample documents and schema files, and
// short reads of nodes and parse errors. HRESULTs, paths and temporary folders come from tests/support.
#include <windows.h>

#include <gtest/gtest.h>
#include <msxml2.h>

#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "tests/support/ComTest.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TestVariants.h"

extern "C" {
extern const CLSID CLSID_DOMDocument2;
extern const CLSID CLSID_XMLSchemaCache;
}

namespace msxmltest {

using namespace vtest;

constexpr HRESULT kObjectNotFound = static_cast<HRESULT>(0x800C0006);

class MsxmlTest : public ComTest {
protected:
    // A new DOMDocument / XMLSchemaCache; fails the test when creation fails.
    ql::ComPtr<IXMLDOMDocument2> NewDocument();
    ql::ComPtr<IXMLDOMSchemaCollection> NewSchemaCache();
    // A schema cache holding the named files of data/schemas under "x-schema:<name>".
    ql::ComPtr<IXMLDOMSchemaCollection> SchemaCacheWith(const std::vector<std::wstring>& fileNames);
    // A new document with `schemas` attached (putref_schemas with VT_UNKNOWN, as the system attaches it).
    ql::ComPtr<IXMLDOMDocument2> DocumentWith(IXMLDOMSchemaCollection* schemas);
    // A new document that loaded `text` (S_OK expected).
    ql::ComPtr<IXMLDOMDocument2> Loaded(const std::wstring& text);
};

inline std::wstring SchemaFilePath(const std::wstring& fileName) {
    return SchemasFolder() + L"\\" + fileName;
}
inline std::wstring SampleDocumentPath(const std::string& relativeToXmlData) {
    return SourcePath("tests/data/xml/" + relativeToXmlData);
}
// A UTF-8 file's text.
std::wstring ReadUtf8File(const std::wstring& path);

// loadXML of `text` / load of the file at `path`; `loaded` receives the flag.
HRESULT LoadXml(IXMLDOMDocument* document, const std::wstring& text, VARIANT_BOOL* loaded);
HRESULT LoadFile(IXMLDOMDocument* document, const std::wstring& path, VARIANT_BOOL* loaded);

std::wstring XmlOf(IXMLDOMNode* node);
std::wstring TextOf(IXMLDOMNode* node);

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
IUnknown* IdentityOf(IUnknown* object);

}  // namespace msxmltest
