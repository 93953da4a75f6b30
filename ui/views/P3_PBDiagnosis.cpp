#include "ui/views/P3_PBDiagnosis.h"

#include "ui/views/DiagnosisBits.h"
#include "ui/views/ViewResources.h"

namespace {

// The rows bind no control: the page shows the bits itself.
const ParameterMap& DiagnosisMap() {
    static const ParameterMap map{
        {kDiagnosisId, "Diagnosis", 0, 0, "", 0x71, kControlDefaultColors},
        {kDiagnosisExtId, "DiagnosisMask", 0, 0, "", 0x71, kControlDefaultColors},
    };
    return map;
}

}  // namespace

CP3_PBDiagnosis::CP3_PBDiagnosis() noexcept
    : CBlockPage(IDD_P3_PBDIAGNOSIS, IDS_P3_PBDIAGNOSIS_TITLE, CLSID_P3_PBDiagnosis, DiagnosisMap()) {}

HRESULT CP3_PBDiagnosis::FinalConstruct() noexcept {
    for (ULONG id : {kDiagnosisId, kDiagnosisExtId}) {
        if (!reader_.Timer().AddId(id)) return E_OUTOFMEMORY;
    }
    return AttachIdentity(GetControllingUnknown());
}

HRESULT CP3_PBDiagnosis::ShowValueById(ULONG id, VARIANT value) noexcept {
    if (IsDiagnosisId(id)) {
        // The page's own box changes are no edits.
        m_updating = TRUE;
        ShowDiagnosisBits(DialogWindow(), id, value);
        m_updating = FALSE;
        return S_OK;
    }
    m_updating = FALSE;
    HRESULT result = S_OK;
    for (UINT row = 0; row < RowCount() && SUCCEEDED(result); ++row) {
        if (Row(row).id == id) result = ShowValue(row, value);
    }
    return result;
}

LRESULT CP3_PBDiagnosis::OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept {
    const LRESULT result = CQuelkOnlinePage::OnShowWindow(message, show, lParam, handled);
    if (show) {
        for (UINT row = 0; row < RowCount(); ++row) (void)SetStateById(Row(row).id, Row(row).state);
    }
    // The page reads only while a person can see it and the window works on the device.
    if (show && OnlineFlag() == 1) {
        reader_.Timer().Stop();
        (void)reader_.Timer().Start(DialogWindow(), reinterpret_cast<UINT_PTR>(this),
                                    CQuelkCyclicReader::kPageInterval);
    } else if (!show) {
        reader_.Timer().Stop();
    }
    if (show) PlaceDiagnosisOverlays(DialogWindow());
    return result;
}

LRESULT CP3_PBDiagnosis::OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(control)));
    COLORREF color = 0;
    if (FindDiagnosisColor(id, color)) return PaintArea(hdc, color);
    return CQuelkOnlinePage::OnCtlColorStatic(message, hdc, control, handled);
}
