// The enumeration lists of the parameter table, exactly as the device's profile texts were written
// (the spelling "Manufactuer" and the irregular blanks of the status list included: the translation
// file and saved documents refer to these texts).
#include "dataset/ParameterTableEnums.h"

// clang-format off

// Target mode of the physical and transducer blocks (ids 20, 36).
const char* const kListE1[] = {"8;Auto", ""};
// Ident number selector (id 28).
const char* const kListE2[] = {"0;Profile ID", "1;Manufactuer specific", ""};
// Zero point unit and AI (flow) units (ids 43, 109).
const char* const kListE3[] = {"1342;%", "1322;kg/s", "1323;kg/min", "1324;kg/h", "1330;lb/s", "1331;lb/min", "1332;lb/h",
                               "1525;SFPS", "1360;SCFM", "1361;SCFH", "1521;NCMH", "1522;NCMM", "1523;SCFS", "1524;SMPS", ""};
// Nominal size units (id 45).
const char* const kListE4[] = {"1013;mm", "1019;inch", ""};
// Mass flow unit (ids 131, 47).
const char* const kListE5[] = {"1324;kg/h", "1323;kg/min", "1322;kg/s", "1332;lb/h", "1331;lb/min", "1330;lb/s",
                               "1999;Manufacturer Specific", ""};
// Shape of tubing (ids 50, 53).
const char* const kListE6[] = {"0;Circular Pipe", "1;Rectangular Duct", ""};
// Orvo units (ids 132, 56).
const char* const kListE7[] = {"2000;Profile Units", "1525;SFPS", "1360;SCFM", "1361;SCFH", "1521;NCMH", "1522;NCMM",
                               "1523;SCFS", "1524;SMPS", ""};
// Target mode of the AI function blocks (ids 65, 89).
const char* const kListE8[] = {"8;Auto", "16;Manual", "128;Out Of Service", ""};
// Linearization type (id 72).
const char* const kListE9[] = {"0;no linearisation", ""};
// Fail safe type (id 75).
const char* const kListE10[] = {"0;FSAFE_VAL", "1;Last valid OUT Value", "2;Wrong calculated value", ""};
// AI (flow) status (id 112): 27 groups of four codes (quality, then limit Ok / Low / High / Constant).
const char* const kListE11[] = {
    "0;Bad: Non-specific: Ok", "1;Bad: Non-specific: Low Limited",
    "2;Bad: Non-specific: High Limited", "3;Bad: Non-specific: Constant",
    "4;Bad: Configuration Error: Ok", "5;Bad: Configuration Error: : Low Limited",
    "6;Bad: Configuration Error: High Limited", "7;Bad: Configuration Error: Constant",
    "8;Bad: Not Connected: Ok", "9;Bad: Not Connected:  Low Limited",
    "10;Bad: Not Connected: High Limited", "11;Bad: Not Connected: Constant",
    "12;Bad: Device Failure: Ok", "13;Bad: Device Failure: Low Limited",
    "14;Bad: Device Failure: High Limited", "15;Bad: Device Failure: Constant",
    "16;Bad: Sensor Failure: Ok", "17;Bad: Sensor Failure: Low Limited",
    "18;Bad: Sensor Failure: High Limited", "19;Bad: Sensor Failure: Constant",
    "20;Bad: Last Usable Value: Ok", "21;Bad: Last Usable Value: Low Limited",
    "22;Bad: Last Usable Value: High Limited", "23;Bad: Last Usable Value: Constant",
    "24;Bad: No Usable Value: Ok", "25;Bad: No Usable Value: Low Limited",
    "26;Bad: No Usable Value: High Limited", "27;Bad: No Usable Value: Constant",
    "28;Bad: Out of Service: Ok", "29;Bad: Out of Service: Low Limited",
    "30;Bad: Out of Service: High Limited", "31;Bad: Out of Service: Constant",
    "64;Uncertain Non-Specific: Ok", "65;Uncertain Non-Specific:  Low Limited",
    "66;Uncertain Non-Specific:  High Limited", "67;Uncertain Non-Specific:  Constant",
    "68;Uncertain: Last Usable Value: Ok", "69;Uncertain: Last Usable Value:  Low Limited",
    "70;Uncertain: Last Usable Value:  High Limited", "71;Uncertain: Last Usable Value:  Constant",
    "72;Uncertain: Substitute-Set: Ok", "73;Uncertain: Substitute-Set:  Low Limited",
    "74;Uncertain: Substitute-Set:  High Limited", "75;Uncertain: Substitute-Set:  Constant",
    "76;Uncertain: Initial Value: Ok", "77;Uncertain: Initial Value:  Low Limited",
    "78;Uncertain: Initial Value:  High Limited", "79;Uncertain: Initial Value:  Constant",
    "80;Uncertain: Sensor Conversion not Accurate: Ok", "81;Uncertain: Sensor Conversion not Accurate:  Low Limited",
    "82;Uncertain: Sensor Conversion not Accurate:  High Limited", "83;Uncertain: Sensor Conversion not Accurate:  Constant",
    "84;Uncertain: Engineering Unit Violation: Ok", "85;Uncertain: Engineering Unit Violation:  Low Limited",
    "86;Uncertain: Engineering Unit Violation:  High Limited", "87;Uncertain: Engineering Unit Violation:  Constant",
    "88;Uncertain: Sub Normal: Ok", "89;Uncertain: Sub Normal:  Low Limited",
    "90;Uncertain: Sub Normal:  High Limited", "91;Uncertain: Sub Normal:  Constant",
    "92;Uncertain: Configuration Error: Ok", "93;Uncertain: Configuration Error:  Low Limited",
    "94;Uncertain: Configuration Error:  High Limited", "95;Uncertain: Configuration Error:  Constant",
    "96;Uncertain: Simulated Value: Ok", "97;Uncertain: Simulated Value:  Low Limited",
    "98;Uncertain: Simulated Value:  High Limited", "99;Uncertain: Simulated Value:  Constant",
    "100;Uncertain: Sensor Calibration: Ok", "101;Uncertain: Sensor Calibration:  Low Limited",
    "102;Uncertain: Sensor Calibration:  High Limited", "103;Uncertain: Sensor Calibration:  Constant",
    "128;Good: Ok: Ok", "129;Good: Ok: Low Limited",
    "130;Good: Ok: High Limited", "131;Good: Ok: Constant",
    "132;Good: Update Event: Ok", "133;Good: Update Event:  Low Limited",
    "134;Good: Update Event:  High Limited", "135;Good: Update Event:  Constant",
    "136;Good: Active Advisory Alarm: Ok", "137;Good: Active Advisory Alarm:  Low Limited",
    "138;Good: Active Advisory Alarm:  High Limited", "139;Good: Active Advisory Alarm:  Constant",
    "140;Good: Active Critical Alarm: Ok", "141;Good: Active Critical Alarm:  Low Limited",
    "142;Good: Active Critical Alarm:  High Limited", "143;Good: Active Critical Alarm:  Constant",
    "144;Good: Unacknowledged Update Event: Ok", "145;Good: Unacknowledged Update Event:  Low Limited",
    "146;Good: Unacknowledged Update Event:  High Limited", "147;Good: Unacknowledged Update Event:  Constant",
    "148;Good: Unacknowledged Advisory Alarm: Ok", "149;Good: Unacknowledged Advisory Alarm:  Low Limited",
    "150;Good: Unacknowledged Advisory Alarm:  High Limited", "151;Good: Unacknowledged Advisory Alarm:  Constant",
    "152;Good: Unacknowledged Critical Alarm: Ok", "153;Good: Unacknowledged Critical Alarm:  Low Limited",
    "154;Good: Unacknowledged Critical Alarm:  High Limited", "155;Good: Unacknowledged Critical Alarm:  Constant",
    "160;Good: Initiate Failsafe: Ok", "161;Good: Initiate Failsafe:  Low Limited",
    "162;Good: Initiate Failsafe:  High Limited", "163;Good: Initiate Failsafe:  Constant",
    "164;Good: Maintenance Required: Ok", "165;Good: Maintenance Required:  Low Limited",
    "166;Good: Maintenance Required:  High Limited", "167;Good: Maintenance Required:  Constant",
    ""};
// AI (flow) enable (id 113).
const char* const kListE12[] = {"0;Disable", "1;Enable", ""};
// Totalizer units (id 94).
const char* const kListE13[] = {"1526;SCF", "1527;NCM", "1088;kg", "1094;lb", "1034;m3", "1043;ft3", ""};
// Set totalizer (id 96).
const char* const kListE14[] = {"0;TOTALIZE", "1;RESET", "2;PRESET", ""};
// Totalizer mode (id 97).
const char* const kListE15[] = {"0;BALANCED", "1;POS_ONLY", "2;NEG_ONLY", "3;HOLD", ""};
// Totalizer fail behaviour (id 98).
const char* const kListE16[] = {"0;RUN", "1;HOLD", "2;MEMORY", ""};

// clang-format on
