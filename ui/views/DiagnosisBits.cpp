#include "ui/views/DiagnosisBits.h"

#include <cstring>
#include <iterator>

#include "ui/pages/PageDecoration.h"
#include "ui/views/ViewResources.h"
#include "values/Bytes.h"

namespace {

struct BitGroup {
    ULONG parameter;
    size_t byte;
    UINT firstBox;
};

constexpr BitGroup kGroups[] = {
    {kDiagnosisId, 0, IDC_DIAG_STATION1_BIT0},  {kDiagnosisId, 1, IDC_DIAG_STATION2_BIT0},
    {kDiagnosisId, 3, IDC_DIAG_STATION3_BIT0},  {kDiagnosisExtId, 0, IDC_DIAG_PROCESS_BIT0},
    {kDiagnosisExtId, 1, IDC_DIAG_DEVICE_BIT0},
};

constexpr PageOverlay kOverlays[] = {
    {IDC_DIAG_FRAME_OVERLAY, IDC_DIAG_FRAME},       {IDC_DIAG_STATION1_OVERLAY, IDC_DIAG_STATION1},
    {IDC_DIAG_STATION2_OVERLAY, IDC_DIAG_STATION2}, {IDC_DIAG_STATION3_OVERLAY, IDC_DIAG_STATION3},
    {IDC_DIAG_PROCESS_OVERLAY, IDC_DIAG_PROCESS},   {IDC_DIAG_DEVICE_OVERLAY, IDC_DIAG_DEVICE},
};

// The groups' frames, overlays and bit texts by colour.
constexpr PageAreaColor kColors[] = {
    {IDC_DIAG_FRAME_OVERLAY, IDC_DIAG_FRAME, 0xFFFF96},
    {IDC_DIAG_STATION1, IDC_DIAG_STATION1, 0xD7FDD5},
    {IDC_DIAG_STATION1_OVERLAY, IDC_DIAG_STATION1_OVERLAY, 0xD7FDD5},
    {6102, 6102, 0xD7FDD5},
    {6111, 6115, 0xD7FDD5},
    {6065, 6066, 0xD7FDD5},
    {IDC_DIAG_STATION2, IDC_DIAG_STATION2, 0xD2FFFF},
    {IDC_DIAG_STATION2_OVERLAY, IDC_DIAG_STATION2_OVERLAY, 0xD2FFFF},
    {6116, 6116, 0xD2FFFF},
    {6068, 6074, 0xD2FFFF},
    {IDC_DIAG_STATION3, IDC_DIAG_STATION3, 0xAED7FF},
    {IDC_DIAG_STATION3_OVERLAY, IDC_DIAG_STATION3_OVERLAY, 0xAED7FF},
    {6117, 6119, 0xAED7FF},
    {6078, 6082, 0xAED7FF},
    {IDC_DIAG_PROCESS, IDC_DIAG_PROCESS, 0xD7FDD5},
    {IDC_DIAG_PROCESS_OVERLAY, IDC_DIAG_PROCESS_OVERLAY, 0xD7FDD5},
    {6120, 6122, 0xD7FDD5},
    {6086, 6090, 0xD7FDD5},
    {IDC_DIAG_DEVICE, IDC_DIAG_DEVICE, 0xD2FFFF},
    {IDC_DIAG_DEVICE_OVERLAY, IDC_DIAG_DEVICE_OVERLAY, 0xD2FFFF},
    {6091, 6098, 0xD2FFFF},
};

// The parameter's bytes from `value`; false when the boxes must stay as they are.
bool ReadDiagnosisBytes(const VARIANT& value, BYTE* bytes, size_t size) noexcept {
    std::memset(bytes, 0, size);
    if (V_VT(&value) != kByteArrayType) return true;
    const ByteArrayView data(value);
    if (FAILED(data.Status())) return false;
    if (data.Size() != 0) std::memcpy(bytes, data.Data(), data.Size() < size ? data.Size() : size);
    return true;
}

}  // namespace

void ShowDiagnosisBits(HWND dialog, ULONG id, const VARIANT& value) noexcept {
    BYTE bytes[4] = {};
    if (!ReadDiagnosisBytes(value, bytes, id == kDiagnosisId ? 4 : 2)) return;
    for (const BitGroup& group : kGroups) {
        if (group.parameter != id) continue;
        for (UINT bit = 0; bit < 8; ++bit) {
            const HWND box = ::GetDlgItem(dialog, static_cast<int>(group.firstBox + bit));
            if (!box) continue;
            const bool set = (bytes[group.byte] & (1u << bit)) != 0;
            ::SendMessageW(box, BM_SETCHECK, set ? BST_CHECKED : BST_UNCHECKED, 0);
            ::EnableWindow(box, set ? TRUE : FALSE);
        }
    }
}

void PlaceDiagnosisOverlays(HWND dialog) noexcept { PlacePageOverlays(dialog, kOverlays); }

bool FindDiagnosisColor(UINT controlId, COLORREF& color) noexcept {
    return FindAreaColor(kColors, controlId, color);
}

const PageOverlay* DiagnosisOverlays(size_t& count) noexcept {
    count = std::size(kOverlays);
    return kOverlays;
}

const PageAreaColor* DiagnosisColors(size_t& count) noexcept {
    count = std::size(kColors);
    return kColors;
}
