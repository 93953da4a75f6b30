// The designs of the pages without parameters: dialog, title, class, overlays over their areas and area
// colours.
#include "ui/pages/P1_Root.h"
#include "ui/pages/P5_TBTemp.h"
#include "ui/pages/P6_TBCal1.h"
#include "ui/pages/P7_TBCal2.h"
#include "ui/pages/P8_TBExtTS.h"
#include "ui/pages/P9_TBOutPut.h"
#include "ui/pages/PageResources.h"
#include "ui/pages/Q2_AIFBTemp.h"

namespace {

constexpr COLORREF kFrameColor = 0xFFFF96;
constexpr COLORREF kFirstAreaColor = 0xD7FDD5;
constexpr COLORREF kSecondAreaColor = 0xD2FFFF;
constexpr COLORREF kThirdAreaColor = 0xAED7FF;

constexpr PageOverlay kOverlays[] = {{IDC_LAYOUT_FRAME_OVERLAY, IDC_LAYOUT_FRAME},
                                     {IDC_LAYOUT_OVERLAY1, IDC_LAYOUT_AREA1},
                                     {IDC_LAYOUT_OVERLAY2, IDC_LAYOUT_AREA2},
                                     {IDC_LAYOUT_OVERLAY3, IDC_LAYOUT_AREA3},
                                     {IDC_LAYOUT_OVERLAY4, IDC_LAYOUT_AREA4}};

// The frame and its overlay, then each area with its overlay.
#define LAYOUT_FRAME \
    { IDC_LAYOUT_FRAME_OVERLAY, IDC_LAYOUT_FRAME, kFrameColor }
#define LAYOUT_AREA(area, overlay, color) \
    {area, area, color}, { overlay, overlay, color }

constexpr PageAreaColor kTempColors[] = {LAYOUT_FRAME,
                                         LAYOUT_AREA(6125, 6130, kFirstAreaColor),
                                         {6150, 6155, kFirstAreaColor},
                                         LAYOUT_AREA(6126, 6131, kSecondAreaColor),
                                         {6145, 6149, kSecondAreaColor},
                                         LAYOUT_AREA(6127, 6132, kThirdAreaColor),
                                         {6135, 6144, kThirdAreaColor}};
constexpr PageAreaColor kCal1Colors[] = {
    LAYOUT_FRAME, LAYOUT_AREA(6125, 6130, kFirstAreaColor), {6150, 6158, kFirstAreaColor}};
constexpr PageAreaColor kCal2Colors[] = {LAYOUT_FRAME,
                                         LAYOUT_AREA(6125, 6130, kFirstAreaColor),
                                         {6150, 6159, kFirstAreaColor},
                                         LAYOUT_AREA(6126, 6131, kSecondAreaColor),
                                         {6145, 6149, kSecondAreaColor}};
constexpr PageAreaColor kExtTsColors[] = {LAYOUT_FRAME,
                                          LAYOUT_AREA(6125, 6130, kFirstAreaColor),
                                          {6150, 6151, kFirstAreaColor},
                                          LAYOUT_AREA(6128, 6133, kFirstAreaColor),
                                          {6160, 6163, kFirstAreaColor},
                                          LAYOUT_AREA(6126, 6131, kSecondAreaColor),
                                          {6145, 6147, kSecondAreaColor},
                                          LAYOUT_AREA(6127, 6132, kThirdAreaColor),
                                          {6135, 6138, kThirdAreaColor}};
constexpr PageAreaColor kOutputColors[] = {
    LAYOUT_FRAME, LAYOUT_AREA(6125, 6130, kFirstAreaColor), {6150, 6153, kFirstAreaColor}};
constexpr PageAreaColor kAiTempColors[] = {LAYOUT_FRAME,
                                           LAYOUT_AREA(6125, 6130, kFirstAreaColor),
                                           {6150, 6154, kFirstAreaColor},
                                           LAYOUT_AREA(6128, 6133, kFirstAreaColor),
                                           {6160, 6163, kFirstAreaColor},
                                           LAYOUT_AREA(6126, 6131, kSecondAreaColor),
                                           {6145, 6149, kSecondAreaColor},
                                           {6164, 6174, kSecondAreaColor},
                                           LAYOUT_AREA(6127, 6132, kThirdAreaColor),
                                           {6135, 6144, kThirdAreaColor},
                                           {6175, 6183, kThirdAreaColor}};

#undef LAYOUT_AREA
#undef LAYOUT_FRAME

template <size_t N>
constexpr LayoutPageDesign Design(UINT dialogId, UINT titleId, const CLSID& classId, size_t overlayCount,
                                  const PageAreaColor (&colors)[N], bool cyclicTimer) {
    return {dialogId,
            titleId,
            &classId,
            {kOverlays, overlayCount, colors, N, nullptr, 0,
             cyclicTimer ? CyclicReading::WhilePageOnline : CyclicReading::Never}};
}

}  // namespace

const ParameterMap& EmptyPageMap() {
    static const ParameterMap map{};
    return map;
}

// The root keeps the base's colouring and lays no overlay.
const LayoutPageDesign kP1_RootDesign{IDD_P1_ROOT,
                                      IDS_P1_ROOT_TITLE,
                                      &CLSID_P1_Root,
                                      {nullptr, 0, nullptr, 0, nullptr, 0, CyclicReading::Never}};
const LayoutPageDesign kP5_TBTempDesign =
    Design(IDD_P5_TBTEMP, IDS_P5_TBTEMP_TITLE, CLSID_P5_TBTemp, 4, kTempColors, true);
const LayoutPageDesign kP6_TBCal1Design =
    Design(IDD_P6_TBCAL1, IDS_P6_TBCAL1_TITLE, CLSID_P6_TBCal1, 2, kCal1Colors, false);
const LayoutPageDesign kP7_TBCal2Design =
    Design(IDD_P7_TBCAL2, IDS_P7_TBCAL2_TITLE, CLSID_P7_TBCal2, 3, kCal2Colors, false);
const LayoutPageDesign kP8_TBExtTSDesign =
    Design(IDD_P8_TBEXTTS, IDS_P8_TBEXTTS_TITLE, CLSID_P8_TBExtTS, 5, kExtTsColors, false);
const LayoutPageDesign kP9_TBOutPutDesign =
    Design(IDD_P9_TBOUTPUT, IDS_P9_TBOUTPUT_TITLE, CLSID_P9_TBOutPut, 2, kOutputColors, false);
const LayoutPageDesign kQ2_AIFBTempDesign =
    Design(IDD_Q2_AIFBTEMP, IDS_Q2_AIFBTEMP_TITLE, CLSID_Q2_AIFBTemp, 5, kAiTempColors, true);
