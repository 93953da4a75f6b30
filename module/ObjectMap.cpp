// The module's twenty creatable classes. Each entry below is the class's static initialiser: it links the
// entry into the self-registered list at load, in the order written here, so the object map that
// CModuleApp::InitInstance builds from the list holds them in the reverse order (Trend first, BaseOrvo last),
// and registration and the class-object search follow that order.
//
// A class whose implementation has not arrived yet is served with ql::CreateNotImplemented (E_NOTIMPL); its
// implementation replaces that with &ql::CreateInstance<CClass> and nothing else.
// These definitions must stay in a source of the DLL itself: in a static library the linker would drop
// a file that nothing references, and its classes with it.
#include "classlib/ObjectMap.h"

#include <windows.h>

#include "VarnokP3.h"
#include "classlib/ComponentCategories.h"
#include "comm/BaseOrvo.h"
#include "dtm/DtmObjectFactory.h"
#include "module/ModuleResources.h"
#include "ui/frame/TreeFrame.h"
#include "ui/login/SrvLogin.h"
#include "ui/pages/P1_Root.h"
#include "ui/pages/P2_PBDevInfo.h"
#include "ui/pages/P4_TBMassFlow.h"
#include "ui/pages/P5_TBTemp.h"
#include "ui/pages/P6_TBCal1.h"
#include "ui/pages/P7_TBCal2.h"
#include "ui/pages/P8_TBExtTS.h"
#include "ui/pages/P9_TBOutPut.h"
#include "ui/pages/Q1_AIFBFlow.h"
#include "ui/pages/Q2_AIFBTemp.h"
#include "ui/pages/Q3_AIFBTotal.h"
#include "ui/pages/TBExtra.h"
#include "ui/views/Diagnosis.h"
#include "ui/views/MeasuredValues.h"
#include "ui/views/P3_PBDiagnosis.h"
#include "ui/views/Trend.h"

namespace {

// The component categories through which an FDT frame finds DTMs; the last is also the bus category
// "Profibus DP/V1" that the DTM information names.
constexpr CATID kDtmObjectCategoryIds[] = {
    {0x036d1490, 0x387b, 0x11d4, {0x86, 0xe1, 0x00, 0xe0, 0x98, 0x72, 0x70, 0xb9}},
    {0x036d1491, 0x387b, 0x11d4, {0x86, 0xe1, 0x00, 0xe0, 0x98, 0x72, 0x70, 0xb9}},
    {0x036d1499, 0x387b, 0x11d4, {0x86, 0xe1, 0x00, 0xe0, 0x98, 0x72, 0x70, 0xb9}},
};

const ql::CategoryMapEntry* DtmObjectCategories() noexcept {
    static const ql::CategoryMapEntry map[] = {
        {&kDtmObjectCategoryIds[0]}, {&kDtmObjectCategoryIds[1]}, {&kDtmObjectCategoryIds[2]}, {nullptr}};
    return map;
}

// DtmObject takes its categories away itself before its script removes the class key.
HRESULT UpdateDtmObjectRegistry(BOOL doRegister) noexcept {
    // Categories already gone are no failure: unregistering removes what it can before the script runs.
    if (!doRegister) (void)ql::RegisterClassCategories(CLSID_DtmObject, DtmObjectCategories(), false);
    return ql::UpdateRegistryFromResource(IDR_DTMOBJECT, doRegister != FALSE);
}

template <UINT ScriptId>
ql::ObjectMapEntry Entry(const CLSID& clsid, ql::CreateInstanceFn createInstance) {
    return ql::MakeObjectEntry(clsid, &ql::UpdateRegistryFromScript<ScriptId>, createInstance);
}

ql::AutoObjectEntry g_baseOrvo(Entry<IDR_BASEORVO>(CLSID_BaseOrvo, &ql::CreateInstance<CBaseOrvo>));
ql::AutoObjectEntry g_diagnosis(Entry<IDR_DIAGNOSIS>(CLSID_Diagnosis, &ql::CreateInstance<CDiagnosis>));
ql::AutoObjectEntry g_dtmObject(ql::MakeObjectEntry(CLSID_DtmObject, &UpdateDtmObjectRegistry,
                                                    &CreateDtmObject, &DtmObjectCategories));
ql::AutoObjectEntry g_measuredValues(Entry<IDR_MEASUREDVALUES>(CLSID_MeasuredValues,
                                                               &ql::CreateInstance<CMeasuredValues>));
ql::AutoObjectEntry g_p1Root(Entry<IDR_P1_ROOT>(CLSID_P1_Root, &ql::CreateInstance<CP1_Root>));
ql::AutoObjectEntry g_p2PbDevInfo(Entry<IDR_P2_PBDEVINFO>(CLSID_P2_PBDevInfo,
                                                          &ql::CreateInstance<CP2_PBDevInfo>));
ql::AutoObjectEntry g_p3PbDiagnosis(Entry<IDR_P3_PBDIAGNOSIS>(CLSID_P3_PBDiagnosis,
                                                              &ql::CreateInstance<CP3_PBDiagnosis>));
ql::AutoObjectEntry g_p4TbMassFlow(Entry<IDR_P4_TBMASSFLOW>(CLSID_P4_TBMassFlow,
                                                            &ql::CreateInstance<CP4_TBMassFlow>));
ql::AutoObjectEntry g_p5TbTemp(Entry<IDR_P5_TBTEMP>(CLSID_P5_TBTemp, &ql::CreateInstance<CP5_TBTemp>));
ql::AutoObjectEntry g_p6TbCal1(Entry<IDR_P6_TBCAL1>(CLSID_P6_TBCal1, &ql::CreateInstance<CP6_TBCal1>));
ql::AutoObjectEntry g_p7TbCal2(Entry<IDR_P7_TBCAL2>(CLSID_P7_TBCal2, &ql::CreateInstance<CP7_TBCal2>));
ql::AutoObjectEntry g_p8TbExtTs(Entry<IDR_P8_TBEXTTS>(CLSID_P8_TBExtTS, &ql::CreateInstance<CP8_TBExtTS>));
ql::AutoObjectEntry g_p9TbOutPut(Entry<IDR_P9_TBOUTPUT>(CLSID_P9_TBOutPut,
                                                        &ql::CreateInstance<CP9_TBOutPut>));
ql::AutoObjectEntry g_q1AifbFlow(Entry<IDR_Q1_AIFBFLOW>(CLSID_Q1_AIFBFlow,
                                                        &ql::CreateInstance<CQ1_AIFBFlow>));
ql::AutoObjectEntry g_q2AifbTemp(Entry<IDR_Q2_AIFBTEMP>(CLSID_Q2_AIFBTemp,
                                                        &ql::CreateInstance<CQ2_AIFBTemp>));
ql::AutoObjectEntry g_q3AifbTotal(Entry<IDR_Q3_AIFBTOTAL>(CLSID_Q3_AIFBTotal,
                                                          &ql::CreateInstance<CQ3_AIFBTotal>));
ql::AutoObjectEntry g_srvLogin(Entry<IDR_SRVLOGIN>(CLSID_SrvLogin, &ql::CreateInstance<CSrvLogin>));
ql::AutoObjectEntry g_tbExtra(Entry<IDR_TBEXTRA>(CLSID_TBExtra, &ql::CreateInstance<CTBExtra>));
ql::AutoObjectEntry g_treeFrame(Entry<IDR_TREEFRAME>(CLSID_TreeFrame, &ql::CreateInstance<CTreeFrame>));
ql::AutoObjectEntry g_trend(Entry<IDR_TREND>(CLSID_Trend, &ql::CreateInstance<CTrend>));

}  // namespace
