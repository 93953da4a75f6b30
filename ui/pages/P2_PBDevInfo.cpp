#include "ui/pages/P2_PBDevInfo.h"

#include "ui/pages/PageDecoration.h"
#include "ui/pages/PageResources.h"

namespace {

constexpr ULONG kDisplayOnly = kControlDefaultColors;
// Keeps the writable bit out of the device-information rows: the framework never makes them editable.
constexpr ULONG kNeverWritable = 0xFFFFFFFE;

const ParameterMap& DevInfoMap() {
    static const ParameterMap map{
        {20, "TargetMode", 0, IDC_PB_TARGET_MODE, "", 0, kControlComboBox},
        {21, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {15, "", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {16, "Static Revision", 0, IDC_PB_STATIC_REVISION_VALUE, "%u", kAccessDeviceReadWrite, kDisplayOnly},
        {17, "Tag", 0, IDC_PB_TAG, "%s", 0, 0},
        {18, "Strategy", 0, IDC_PB_STRATEGY, "%u", 0, 0},
        {19, "AlertKey", 0, IDC_PB_ALERT_KEY, "%i", 0, 0},
        {22, "Alarm", 0, IDC_PB_ALARM_VALUE, "%s", 0, 0},
        {23, "SoftwareRevision", 0, IDC_PB_SOFTWARE_REVISION, "%s", 0, kDisplayOnly, nullptr, nullptr, 0,
         kNeverWritable},
        {24, "HardwareRevision", 0, IDC_PB_HARDWARE_REVISION, "%s", 0, kDisplayOnly, nullptr, nullptr, 0,
         kNeverWritable},
        {25, "%u", 0, 0, "", kAccessDeviceReadWrite, kDisplayOnly},
        {26, "DeviceId", 0, IDC_PB_DEVICE_ID, "%s", 0, kDisplayOnly, nullptr, nullptr, 0, kNeverWritable},
        {27, "DeviceSerialNum", 0, IDC_PB_SERIAL_NUMBER, "%s", 0, kDisplayOnly, nullptr, nullptr, 0,
         kNeverWritable},
        {28, "Indent# Selector", 0, IDC_PB_ID_SELECTOR, "", 0, kControlComboBox},
    };
    return map;
}

// The page's read every two seconds while online: static revision, mode block, alarm summary.
constexpr ULONG kCyclicIds[] = {16, 21, 22};

// The area colours of the page (static and read-only controls by id).
constexpr PageAreaColor kAreaColors[] = {
    {IDC_PB_FRAME, IDC_PB_FRAME, 0xFFFF96},
    {IDC_PB_MODE_OVERLAY, IDC_PB_MODE_OVERLAY, 0xFFFF96},
    {6395, 6407, 0xFFFF96},
    {IDC_PB_TAG_OVERLAY, IDC_PB_TAG_OVERLAY, 0xD2FFFF},
    {6408, 6411, 0xD2FFFF},
    {6512, 6512, 0xD2FFFF},
    {IDC_PB_ALARM_OVERLAY, IDC_PB_ALARM_OVERLAY, 0xAED7FF},
    {6415, 6420, 0xAED7FF},
    {IDC_PB_INFO_OVERLAY, 6102, 0xD7FDD5},
    {6111, 6115, 0xD7FDD5},
    {IDC_PB_SPARE_OVERLAY, IDC_PB_SPARE_OVERLAY, 0x64D7FF},
};

// Each overlay static lies exactly over its hidden group box.
constexpr PageOverlay kOverlays[] = {{IDC_PB_MODE_OVERLAY, IDC_PB_MODE_AREA},
                                     {IDC_PB_INFO_OVERLAY, IDC_PB_INFO_AREA},
                                     {IDC_PB_TAG_OVERLAY, IDC_PB_TAG_AREA},
                                     {IDC_PB_ALARM_OVERLAY, IDC_PB_ALARM_AREA}};

constexpr BlockPageDesign kDesign =
    MakeBlockPageDesign(kOverlays, kAreaColors, CyclicReading::WhileDtmOnline, kCyclicIds);

}  // namespace

CP2_PBDevInfo::CP2_PBDevInfo() noexcept
    : CEditableBlockPage(IDD_P2_PBDEVINFO, IDS_P2_PBDEVINFO_TITLE, CLSID_P2_PBDevInfo, DevInfoMap(),
                         kDesign) {}

HRESULT CP2_PBDevInfo::FinalConstruct() noexcept { return AttachBlockPage(GetControllingUnknown()); }
