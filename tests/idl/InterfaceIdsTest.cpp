// The ids the generated headers give must be exactly the ones every frame application uses: our own frame
// host shares the headers, so only a test sees a typo there. (The class ids are pinned by the registration
// test of the module.)
#include <gtest/gtest.h>
#include <msxml2.h>

#include <string>

#include "Fdt100.h"
#include "QuelkToolkit.h"
#include "classlib/GuidText.h"

namespace {

struct IdCase {
    const char* name;
    const GUID& actual;
    const wchar_t* expected;
};

void ExpectIds(const IdCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(std::wstring(cases[i].expected), ql::GuidText(cases[i].actual));
    }
}

// The FDT interface ids are pinned by the layout test of the registered FDT library, which is built from
// the same definitions as the headers; the libraries' own ids must be those every frame and toolkit use.
TEST(InterfaceIdsTest, OutsideTypeLibraries) {
    const IdCase cases[] = {
        {"LIBID_Fdt100", LIBID_Fdt100, L"{036D1471-387B-11D4-86E1-00E0987270B9}"},
        {"LIBID_QuelkToolkitLib", LIBID_QuelkToolkitLib, L"{CE6184EC-3487-4976-8772-6CA65AEC8AE7}"},
    };
    ExpectIds(cases, ARRAYSIZE(cases));
}

// <msxml2.h> maps CLSID_DOMDocument to the version-independent class; libuuid's own symbol of that
// name is the older MSXML 2.0 class, which our stand-in does not answer. Linking the MSXML ids
// together with libuuid (IXMLDOMNode comes from there) must not clash.
TEST(InterfaceIdsTest, MsxmlIdsWithLibuuid) {
    const IdCase cases[] = {
        {"DOMDocument", CLSID_DOMDocument, L"{F6D90F11-9C73-11D3-B32E-00C04F990BB4}"},
        {"XMLSchemaCache", CLSID_XMLSchemaCache, L"{373984C9-B845-449B-91E7-45AC83036ADE}"},
        {"IXMLDOMDocument2", IID_IXMLDOMDocument2, L"{2933BF95-7B36-11D2-B20E-00C04F983E60}"},
        {"IXMLDOMSchemaCollection", IID_IXMLDOMSchemaCollection, L"{373984C8-B845-449B-91E7-45AC83036ADE}"},
        {"IXMLDOMNode (libuuid)", IID_IXMLDOMNode, L"{2933BF80-7B36-11D2-B20E-00C04F983E60}"},
    };
    ExpectIds(cases, ARRAYSIZE(cases));
}

}  // namespace
