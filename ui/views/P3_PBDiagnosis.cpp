#include "ui/views/P3_PBDiagnosis.h"

#include <iterator>

#include "ui/views/DiagnosisBits.h"
#include "ui/views/ViewResources.h"

namespace {

// The rows bind no control: the page shows the bits itself.
const ParameterMap& DiagnosisMap() {
    static const ParameterMap map{
        {kDiagnosisId, "Diagnosis", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
        {kDiagnosisExtId, "DiagnosisMask", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
    };
    return map;
}

constexpr ULONG kCyclicIds[] = {kDiagnosisId, kDiagnosisExtId};

// The page reads only while a person can see it and the window works on the device.
const BlockPageDesign& DiagnosisDesign() {
    static const BlockPageDesign design = [] {
        BlockPageDesign built{
            nullptr, 0, nullptr, 0, kCyclicIds, std::size(kCyclicIds), CyclicReading::WhilePageOnline};
        built.overlays = DiagnosisOverlays(built.overlayCount);
        built.colors = DiagnosisColors(built.colorCount);
        return built;
    }();
    return design;
}

}  // namespace

CP3_PBDiagnosis::CP3_PBDiagnosis() noexcept
    : CBlockPage(IDD_P3_PBDIAGNOSIS, IDS_P3_PBDIAGNOSIS_TITLE, CLSID_P3_PBDiagnosis, DiagnosisMap(),
                 DiagnosisDesign()) {}

HRESULT CP3_PBDiagnosis::FinalConstruct() noexcept { return AttachBlockPage(GetControllingUnknown()); }

HRESULT CP3_PBDiagnosis::ShowValueById(ULONG id, VARIANT value) noexcept {
    if (IsDiagnosisId(id)) {
        // The page's own box changes are no edits.
        m_updating = TRUE;
        ShowDiagnosisBits(DialogWindow(), id, value);
        m_updating = FALSE;
        return S_OK;
    }
    m_updating = FALSE;
    return CQuelkControlBase::ShowValueById(id, value);
}
