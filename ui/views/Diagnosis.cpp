#include "ui/views/Diagnosis.h"

#include "ui/pages/UpdatingScope.h"
#include "ui/views/DiagnosisBits.h"
#include "ui/views/ViewResources.h"

namespace {

// The rows bind no control: the view shows the bits itself.
const ParameterMap& DiagnosisMap() {
    static const ParameterMap map{
        {kDiagnosisId, "Diagnosis", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
        {kDiagnosisExtId, "DiagnosisExt", 0, 0, "", kAccessDeviceReadWrite, kControlDefaultColors},
    };
    return map;
}

}  // namespace

CDiagnosis::CDiagnosis() noexcept
    : CCyclicView(IDD_DIAGNOSIS, CLSID_Diagnosis, DiagnosisMap(), kFunctionDiagnosis, L"Diagnosis Class") {}

HRESULT CDiagnosis::FinalConstruct() noexcept {
    return AttachView(GetControllingUnknown(), {kDiagnosisId, kDiagnosisExtId});
}

HRESULT CDiagnosis::ShowValueById(ULONG id, VARIANT value) noexcept {
    if (IsDiagnosisId(id)) {
        // The view's own box changes are no edits.
        UpdatingScope updating(m_updating);
        ShowDiagnosisBits(DialogWindow(), id, value);
        return S_OK;
    }
    return CQuelkControlBase::ShowValueById(id, value);
}

LRESULT CDiagnosis::OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept {
    const LRESULT result = CQuelkControlBase::OnShowWindow(message, show, lParam, handled);
    if (show) {
        RestartTimer();
        PlaceDiagnosisOverlays(DialogWindow());
        size_t count = 0;
        const PageOverlay* overlays = DiagnosisOverlays(count);
        StackOverlays(DialogWindow(), overlays, count);
    }
    return result;
}

LRESULT CDiagnosis::OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(control)));
    COLORREF color = 0;
    if (FindDiagnosisColor(id, color)) return PaintArea(hdc, color);
    return CQuelkControlBase::OnCtlColorStatic(message, hdc, control, handled);
}
