#pragma once
// The module's twenty classes as the registry must show them.
#include <windows.h>

#include "VarnokP3.h"

namespace moduletest {

enum class ClassKind { Dtm, Control, PropertyPage };

struct ServerClass {
    const wchar_t* name;
    const CLSID& clsid;
    const wchar_t* clsidText;
    const wchar_t* description;
    ClassKind kind;
    const wchar_t* toolboxBitmap;  // controls only
};

inline const ServerClass kServerClasses[] = {
    {L"BaseOrvo", CLSID_BaseOrvo, L"{02A4FC28-B83A-46E2-8F37-C2226942818D}", L"BaseOrvo Ctrl",
     ClassKind::Control, L"102"},
    {L"Diagnosis", CLSID_Diagnosis, L"{D26A74F5-9231-4D77-AA60-579518EF9236}", L"Diagnosis Class",
     ClassKind::Control, L"212"},
    {L"DtmObject", CLSID_DtmObject, L"{2D1A9B03-C8B5-45EA-ADE0-B8D7C26AE6D4}", L"DtmObject DTM",
     ClassKind::Dtm, nullptr},
    {L"MeasuredValues", CLSID_MeasuredValues, L"{0C7576F9-78A2-4D6F-A94F-93DEBA01B204}",
     L"MeasuredValues Class", ClassKind::Control, L"205"},
    {L"P1_Root", CLSID_P1_Root, L"{96DFF891-84EF-496E-9561-54439A2BC743}", L"P1_Root Class",
     ClassKind::PropertyPage, nullptr},
    {L"P2_PBDevInfo", CLSID_P2_PBDevInfo, L"{7DE66E84-868C-4B5C-A12B-9771882FFFE4}", L"P2_PBDevInfo Class",
     ClassKind::PropertyPage, nullptr},
    {L"P3_PBDiagnosis", CLSID_P3_PBDiagnosis, L"{70377716-2859-4D9B-B7AC-531933EC7CCE}",
     L"P3_PBDiagnosis Class", ClassKind::PropertyPage, nullptr},
    {L"P4_TBMassFlow", CLSID_P4_TBMassFlow, L"{1185F07C-18A7-49A0-BCBC-F18CC9F883B1}", L"P4_TBMassFlow Class",
     ClassKind::PropertyPage, nullptr},
    {L"P5_TBTemp", CLSID_P5_TBTemp, L"{1086262D-27F4-4FDA-93A7-5D5BE955C38E}", L"P5_TBTemp Class",
     ClassKind::PropertyPage, nullptr},
    {L"P6_TBCal1", CLSID_P6_TBCal1, L"{60C961EC-EC6C-4E6A-BE17-5DE29A506191}", L"P6_TBCal1 Class",
     ClassKind::PropertyPage, nullptr},
    {L"P7_TBCal2", CLSID_P7_TBCal2, L"{84CCCA66-453B-4252-B1F8-7FC335DC4AF1}", L"P7_TBCal2 Class",
     ClassKind::PropertyPage, nullptr},
    {L"P8_TBExtTS", CLSID_P8_TBExtTS, L"{0FBA08C2-B5C8-4B6F-94A0-9BC8D6869215}", L"P8_TBExtTS Class",
     ClassKind::PropertyPage, nullptr},
    {L"P9_TBOutPut", CLSID_P9_TBOutPut, L"{53CBF216-BCC4-46F4-9CDC-70FEDF76AD8E}", L"P9_TBOutPut Class",
     ClassKind::PropertyPage, nullptr},
    {L"Q1_AIFBFlow", CLSID_Q1_AIFBFlow, L"{B73DA041-CC30-4ADA-8CF1-59A077158F0D}", L"Q1_AIFBFlow Class",
     ClassKind::PropertyPage, nullptr},
    {L"Q2_AIFBTemp", CLSID_Q2_AIFBTemp, L"{35C6F304-5ED4-4D45-8D23-210CACC489A6}", L"Q2_AIFBTemp Class",
     ClassKind::PropertyPage, nullptr},
    {L"Q3_AIFBTotal", CLSID_Q3_AIFBTotal, L"{8312F3FD-AFD4-4FDF-AAF4-7C5C8C68A1C1}", L"Q3_AIFBTotal Class",
     ClassKind::PropertyPage, nullptr},
    {L"SrvLogin", CLSID_SrvLogin, L"{4F9712FF-0BF1-4CFE-B2B4-8F6C603E949F}", L"SrvLogin Class",
     ClassKind::Control, L"215"},
    {L"TBExtra", CLSID_TBExtra, L"{48952900-4787-4F79-846B-651088117B9E}", L"TBExtra Class",
     ClassKind::PropertyPage, nullptr},
    {L"TreeFrame", CLSID_TreeFrame, L"{BFC664C7-F499-41DF-ACA5-DBD33E10409F}", L"TreeFrame Class",
     ClassKind::Control, L"105"},
    {L"Trend", CLSID_Trend, L"{7CBC3883-833D-43F1-8AF1-765CBCBE94B5}", L"Trend Class", ClassKind::Control,
     L"218"},
};

inline constexpr wchar_t kLibidText[] = L"{617699B9-7020-4AD2-8504-3948040EFCC2}";

}  // namespace moduletest
