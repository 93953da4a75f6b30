#include "dtm/documents/PaStatusTexts.h"

namespace {

constexpr BYTE kQualityMask = 0xC0;
constexpr BYTE kSubstatusMask = 0x3C;
constexpr BYTE kLimitsMask = 0x03;
constexpr int kSubstatusShift = 2;

constexpr const char* kReserved = "Reserved";

// Indexed by quality (status >> 6): bad, uncertain, good (non-cascade), good (cascade).
constexpr const char* kQualityTexts[4] = {"Bad", "Uncertain", "Good (Non-Cascade)", "Good (Cascade)"};
constexpr const char* kLimitsTexts[4] = {"Ok", "Low Limited", "High Limited", "Constant"};

// Indexed by [quality][(status & 0x3C) >> 2]; the rows from 0x28 on are reserved in every column.
constexpr const char* kSubstatusTexts[4][16] = {
    {"Non-specific", "Configuration Error", "Not Connected", "Device Failure", "Sensor Failure",
     "No Communication (Last Usable Value)", "No Communication (No Usable Value)", "Out of Service",
     kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved},
    {"Non-specific", "Last Usable Value", "Substitute-Set", "Initial Value", "Sensor Conversion Not Accurate",
     "Engineering Unit Violation (Unit Not in the Valid Set)", "Sub-Normal", "Configuration Error",
     "Simulated Value", "Sensor Calibration", kReserved, kReserved, kReserved, kReserved, kReserved,
     kReserved},
    {"Ok", "Update Event", "Active Advisory Alarm (priority < 8)", "Active Critical Alarm (priority > 8)",
     "Unacknowledged Update Event", "Unacknowledged Advisory Alarm", "Unacknowledged Critical Alarm",
     kReserved, "Initial Fail Safe", "Maintenance Required", kReserved, kReserved, kReserved, kReserved,
     kReserved, kReserved},
    {"Ok", "Initialisation Acknowledged", "Initialisation Request", "Not Invited", kReserved, "Do Not Select",
     "Local Override", kReserved, "Initiate Fail Safe", kReserved, kReserved, kReserved, kReserved, kReserved,
     kReserved, kReserved},
};

// A good value that claims to be limited low or high while its substatus says "Ok" contradicts itself.
constexpr const char* kInvalidStatus = "Invalid Status!";

}  // namespace

void FormatPaStatus(BYTE status, const char** quality, const char** substatus, const char** limits) noexcept {
    const unsigned qualityIndex = (status & kQualityMask) >> 6;
    const unsigned substatusIndex = (status & kSubstatusMask) >> kSubstatusShift;
    const unsigned limitsIndex = status & kLimitsMask;

    const char* substatusText = kSubstatusTexts[qualityIndex][substatusIndex];
    const bool good = qualityIndex >= 2;
    if (good && substatusIndex == 0 && (limitsIndex == 1 || limitsIndex == 2)) substatusText = kInvalidStatus;

    if (quality) *quality = kQualityTexts[qualityIndex];
    if (substatus) *substatus = substatusText;
    if (limits) *limits = kLimitsTexts[limitsIndex];
}
