// The ids the generated headers give every interface and class must be exactly the ones the frame,
// the controls and outside components use; a typo here breaks QueryInterface silently.
#include <gtest/gtest.h>
#include <msxml2.h>

#include <string>

#include "FdtInterfaces.h"
#include "QuelkInterfaces.h"
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
    };
    ExpectIds(cases, ARRAYSIZE(cases));
}

TEST(InterfaceIdsTest, PrivateAndAutomationInterfaces) {
    const IdCase cases[] = {
        {"IQuelkDtm", __uuidof(IQuelkDtm), L"{5BB187F0-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkDtmDispatch", __uuidof(IQuelkDtmDispatch), L"{5BB187F1-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkVariables", __uuidof(IQuelkVariables), L"{CE6184E4-3487-4976-8772-6CA65AEC8AE7}"},
        {"IQuelkVariablesEx", __uuidof(IQuelkVariablesEx), L"{CE6184E5-3487-4976-8772-6CA65AEC8AE7}"},
        {"IQuelkVariableFields", __uuidof(IQuelkVariableFields), L"{CE6184E6-3487-4976-8772-6CA65AEC8AE7}"},
        {"IQuelkValueCheck", __uuidof(IQuelkValueCheck), L"{FB98A7A0-9CCD-11D8-918F-00105AD83182}"},
        {"IQuelkPersistData", __uuidof(IQuelkPersistData), L"{CE6184E7-3487-4976-8772-6CA65AEC8AE7}"},
        {"IQuelkFunctions", __uuidof(IQuelkFunctions), L"{5BB187F6-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkDpv1Communication", __uuidof(IQuelkDpv1Communication),
         L"{CE6184E1-3487-4976-8772-6CA65AEC8AE7}"},
        {"IQuelkDpv1Client", __uuidof(IQuelkDpv1Client), L"{5BB187FB-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkOnlineAccess", __uuidof(IQuelkOnlineAccess), L"{5BB187FF-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkOnlineState", __uuidof(IQuelkOnlineState), L"{5BB187FC-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkBusInformation", __uuidof(IQuelkBusInformation), L"{5BB187FD-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkLocalization", __uuidof(IQuelkLocalization), L"{7A2E43D0-9033-11D7-9094-00105AD83182}"},
        {"IQuelkLocalizationInit", __uuidof(IQuelkLocalizationInit),
         L"{67C35690-A8A1-11D7-90AE-00105AD83182}"},
        {"IQuelkParameterTexts", __uuidof(IQuelkParameterTexts), L"{BFB27AC0-976A-11D7-909B-00105AD83182}"},
        {"IQuelkAboutFile", __uuidof(IQuelkAboutFile), L"{6024FEA2-65D3-11D7-8010-00010209F22F}"},
        {"IQuelkActivityLog", __uuidof(IQuelkActivityLog), L"{A8ECFA50-91E0-11D8-9180-00105AD83182}"},
        {"IQuelkDtmTrace", IID_IQuelkDtmTrace, L"{A8ECFA50-91E0-11D8-9180-00105AD83182}"},
        {"IQuelkDtmExtension", __uuidof(IQuelkDtmExtension), L"{5BB187F7-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkPersistExtension", __uuidof(IQuelkPersistExtension),
         L"{5BB187F8-E852-452E-B82D-2A98B6549F78}"},
        {"IQuelkControl", __uuidof(IQuelkControl), L"{1AADB900-C6A7-11D7-90C7-00105AD83182}"},
        {"IQuelkControlCompat", __uuidof(IQuelkControlCompat), L"{A923F040-7716-11D7-801F-00010209F22F}"},
        {"IQuelkControlInfo", __uuidof(IQuelkControlInfo), L"{1AADB901-C6A7-11D7-90C7-00105AD83182}"},
        {"IQuelkControlSite", __uuidof(IQuelkControlSite), L"{9BFCD690-DF7C-11D7-90D5-00105AD83182}"},
        {"IQuelkPageMode", __uuidof(IQuelkPageMode), L"{660F5A7D-6153-434B-9A6B-C99C04DD714F}"},
        {"IQuelkChildControl", __uuidof(IQuelkChildControl), L"{9BFCD691-DF7C-11D7-90D5-00105AD83182}"},
        {"IDtmObject", __uuidof(IDtmObject), L"{82EC6B48-BCE7-4529-B383-4057DD22D927}"},
        {"IUserInfo", __uuidof(IUserInfo), L"{52C0AE96-ADDC-4ED3-B5E9-935020B3DDCC}"},
        {"ICheckOnlineParameter", __uuidof(ICheckOnlineParameter), L"{56AEA755-2D7D-4DAE-B09F-D9A331712A31}"},
        {"ISrvLogin", __uuidof(ISrvLogin), L"{AF2D00A8-49F5-4CEF-9FB3-428A6A37C20D}"},
        {"IQuelkFrameCaption", __uuidof(IQuelkFrameCaption), L"{142C8939-0426-11D5-9975-00105A3C305E}"},
        {"IQuelkFrameButtons", __uuidof(IQuelkFrameButtons), L"{E4E38930-3B24-11D6-BF50-00010209F22F}"},
        {"IQuelkMessageHook", __uuidof(IQuelkMessageHook), L"{142C893A-0426-11D5-9975-00105A3C305E}"},
        {"IQuelkMessageSink", __uuidof(IQuelkMessageSink), L"{142C893B-0426-11D5-9975-00105A3C305E}"},
        {"ITrendChart", __uuidof(ITrendChart), L"{DBC2ED92-D32C-11D3-A74A-0060087AB05A}"},
        {"ITrendChartPens", __uuidof(ITrendChartPens), L"{DBC2ED93-D32C-11D3-A74A-0060087AB05A}"},
        {"ITrendChartTiming", __uuidof(ITrendChartTiming), L"{DBC2ED94-D32C-11D3-A74A-0060087AB05A}"},
        {"ITrendChartView", __uuidof(ITrendChartView), L"{DBC2ED90-D32C-11D3-A74A-0060087AB05A}"},
        {"IManufacturerLookup", __uuidof(IManufacturerLookup), L"{DEB73A24-76D0-4840-9D56-999E2CEB604C}"},
    };
    ExpectIds(cases, ARRAYSIZE(cases));
}

TEST(InterfaceIdsTest, LibraryAndClasses) {
    const IdCase cases[] = {
        {"VarnokP3Lib", LIBID_VarnokP3Lib, L"{617699B9-7020-4AD2-8504-3948040EFCC2}"},
        {"BaseOrvo", CLSID_BaseOrvo, L"{02A4FC28-B83A-46E2-8F37-C2226942818D}"},
        {"Diagnosis", CLSID_Diagnosis, L"{D26A74F5-9231-4D77-AA60-579518EF9236}"},
        {"DtmObject", CLSID_DtmObject, L"{2D1A9B03-C8B5-45EA-ADE0-B8D7C26AE6D4}"},
        {"MeasuredValues", CLSID_MeasuredValues, L"{0C7576F9-78A2-4D6F-A94F-93DEBA01B204}"},
        {"P1_Root", CLSID_P1_Root, L"{96DFF891-84EF-496E-9561-54439A2BC743}"},
        {"P2_PBDevInfo", CLSID_P2_PBDevInfo, L"{7DE66E84-868C-4B5C-A12B-9771882FFFE4}"},
        {"P3_PBDiagnosis", CLSID_P3_PBDiagnosis, L"{70377716-2859-4D9B-B7AC-531933EC7CCE}"},
        {"P4_TBMassFlow", CLSID_P4_TBMassFlow, L"{1185F07C-18A7-49A0-BCBC-F18CC9F883B1}"},
        {"P5_TBTemp", CLSID_P5_TBTemp, L"{1086262D-27F4-4FDA-93A7-5D5BE955C38E}"},
        {"P6_TBCal1", CLSID_P6_TBCal1, L"{60C961EC-EC6C-4E6A-BE17-5DE29A506191}"},
        {"P7_TBCal2", CLSID_P7_TBCal2, L"{84CCCA66-453B-4252-B1F8-7FC335DC4AF1}"},
        {"P8_TBExtTS", CLSID_P8_TBExtTS, L"{0FBA08C2-B5C8-4B6F-94A0-9BC8D6869215}"},
        {"P9_TBOutPut", CLSID_P9_TBOutPut, L"{53CBF216-BCC4-46F4-9CDC-70FEDF76AD8E}"},
        {"Q1_AIFBFlow", CLSID_Q1_AIFBFlow, L"{B73DA041-CC30-4ADA-8CF1-59A077158F0D}"},
        {"Q2_AIFBTemp", CLSID_Q2_AIFBTemp, L"{35C6F304-5ED4-4D45-8D23-210CACC489A6}"},
        {"Q3_AIFBTotal", CLSID_Q3_AIFBTotal, L"{8312F3FD-AFD4-4FDF-AAF4-7C5C8C68A1C1}"},
        {"SrvLogin", CLSID_SrvLogin, L"{4F9712FF-0BF1-4CFE-B2B4-8F6C603E949F}"},
        {"TBExtra", CLSID_TBExtra, L"{48952900-4787-4F79-846B-651088117B9E}"},
        {"TreeFrame", CLSID_TreeFrame, L"{BFC664C7-F499-41DF-ACA5-DBD33E10409F}"},
        {"Trend", CLSID_Trend, L"{7CBC3883-833D-43F1-8AF1-765CBCBE94B5}"},
        {"QuelkMessageHook (outside)", CLSID_QuelkMessageHook, L"{FD8910A2-138C-42D2-8681-81E4DB8A6439}"},
        {"TrendChart (outside)", CLSID_TrendChart, L"{CB9FCA2D-221F-11D3-A686-0060087AB05A}"},
        {"ManufacturerLookup (outside)", CLSID_ManufacturerLookup, L"{F9B1F0F7-6D4A-45CD-91E2-6D9FF6D33A81}"},
        {"QuelkAboutView2 (outside)", CLSID_QuelkAboutView2, L"{6024FEA4-65D3-11D7-8010-00010209F22F}"},
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
