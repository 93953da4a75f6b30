// The ids the generated headers give the FDT interfaces must be exactly the ones every frame application
// uses: our own frame host shares the headers, so only this test sees a typo there. (The class ids are
// pinned by the registration test of the module.)
#include <gtest/gtest.h>
#include <msxml2.h>

#include <string>

#include "Fdt100.h"
#include "QuelkToolkit.h"
#include "VarnokP3.h"

namespace {

struct IdCase {
    const char* name;
    const GUID& actual;
    const wchar_t* expected;
};

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

void ExpectIds(const IdCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(std::wstring(cases[i].expected), GuidText(cases[i].actual));
    }
}

TEST(InterfaceIdsTest, FdtInterfaces) {
    const IdCase cases[] = {
        {"IDtm", __uuidof(IDtm), L"{036D1481-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmInformation", __uuidof(IDtmInformation), L"{036D147F-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmParameter", __uuidof(IDtmParameter), L"{036D147D-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmOnlineParameter", __uuidof(IDtmOnlineParameter), L"{036D1483-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmDataLock", __uuidof(IDtmDataLock), L"{036D1478-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmActiveXInformation", __uuidof(IDtmActiveXInformation),
         L"{036D1480-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmDocumentation", __uuidof(IDtmDocumentation), L"{036D147C-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmDataSetCheck", __uuidof(IDtmDataSetCheck), L"{036D1476-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmImportExport", __uuidof(IDtmImportExport), L"{036D148E-387B-11D4-86E1-00E0987270B9}"},
        {"IFdtCommunicationEvents", __uuidof(IFdtCommunicationEvents),
         L"{036D1485-387B-11D4-86E1-00E0987270B9}"},
        {"IDtmActiveXControl", __uuidof(IDtmActiveXControl), L"{036D1486-387B-11D4-86E1-00E0987270B9}"},
        {"IFdtCommunication", __uuidof(IFdtCommunication), L"{039ECFC4-9CA8-44E6-944D-B37F288A34D8}"},
        {"IFrameContainer", __uuidof(IFrameContainer), L"{036D1487-387B-11D4-86E1-00E0987270B9}"},
        {"IFrameEvents", __uuidof(IFrameEvents), L"{F15BA42E-BBF1-42ED-8009-7F664A002CFB}"},
        {"IFrameDialog", __uuidof(IFrameDialog), L"{15C19931-6161-11D4-A0A9-005004011A04}"},
        {"IFrameActiveX", __uuidof(IFrameActiveX), L"{5959F485-2C51-4A55-80A7-DD3C45D8BAF2}"},
        {"IFrameDtmAccess", __uuidof(IFrameDtmAccess), L"{036D147A-387B-11D4-86E1-00E0987270B9}"},
        {"IFrameDocument", __uuidof(IFrameDocument), L"{036D1479-387B-11D4-86E1-00E0987270B9}"},
        // The outside libraries the DTM loads for their IDispatch descriptions.
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
