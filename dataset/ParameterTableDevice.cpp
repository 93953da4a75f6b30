// The definitions of the device's dataset, in the order of the list. Columns: id, DP-V1 address (slot,
// index) or none, name, data type, access word, write level (the user level a write needs), persistent,
// then bounds and default (value equal to the default unless a second one is given). Names are the system's
// own texts, kept exactly (the blank at the end of 75 included); the duplicate names of 50-52 and 53-55 are
// two duct definitions, and 131/132 are internal copies of the unit selections 47/56.
#include "dataset/ParameterTable.h"
#include "dataset/ParameterTableEnums.h"

namespace {

struct TableAddress {
    ULONG isDeviceParameter;
    LONG address;
};

constexpr TableAddress Device(LONG slot, LONG index) { return {1, slot * 65536 + index}; }
// Internal items have no DP-V1 address; the table writes -1 for them, -4 for "Slot" and "Index".
constexpr TableAddress kInternal{0, -1};
constexpr TableAddress kInternalSlotIndex{0, -4};

constexpr ParameterDefinition Common(ParameterKind kind, ULONG id, TableAddress address, const char* name,
                                     VARTYPE type, ULONG access, ULONG writeLevel, ULONG persistent) {
    ParameterDefinition definition{};
    definition.Kind = kind;
    definition.IsDeviceParameter = address.isDeviceParameter;
    definition.Id = id;
    definition.Address = address.address;
    definition.Name = name;
    definition.DataType = type;
    definition.Access = access;
    definition.WriteLevel = writeLevel;
    definition.Persistent = persistent;
    return definition;
}

// A text or byte-string parameter; bounds are empty texts.
constexpr ParameterDefinition Text(ULONG id, TableAddress address, const char* name, VARTYPE type,
                                   ULONG access, ULONG writeLevel, ULONG persistent, const char* defaultText,
                                   const char* valueText) {
    ParameterDefinition definition =
        Common(ParameterKind::Text, id, address, name, type, access, writeLevel, persistent);
    definition.DefaultText = defaultText;
    definition.ValueText = valueText;
    return definition;
}

constexpr ParameterDefinition Text(ULONG id, TableAddress address, const char* name, VARTYPE type,
                                   ULONG access, ULONG writeLevel, ULONG persistent,
                                   const char* defaultText) {
    return Text(id, address, name, type, access, writeLevel, persistent, defaultText, defaultText);
}

constexpr ParameterDefinition Numeric(ULONG id, TableAddress address, const char* name, VARTYPE type,
                                      ULONG access, ULONG writeLevel, ULONG persistent, double minimum,
                                      double maximum, double defaultNumber) {
    ParameterDefinition definition =
        Common(ParameterKind::Numeric, id, address, name, type, access, writeLevel, persistent);
    definition.MinNumber = minimum;
    definition.MaxNumber = maximum;
    definition.DefaultNumber = defaultNumber;
    definition.ValueNumber = defaultNumber;
    return definition;
}

constexpr ParameterDefinition Enumeration(ULONG id, TableAddress address, const char* name, VARTYPE type,
                                          ULONG access, ULONG writeLevel, ULONG persistent,
                                          const char* const* entries, ULONG defaultCode) {
    ParameterDefinition definition =
        Common(ParameterKind::Enumeration, id, address, name, type, access, writeLevel, persistent);
    definition.EnumerationKind = kEnumerationList;
    definition.Entries = entries;
    definition.DefaultCode = defaultCode;
    definition.ValueCode = defaultCode;
    return definition;
}

// clang-format off
const ParameterDefinition kDeviceParameters[] = {
    Text(1, kInternal, "Tag", VT_BSTR, kAccessDeviceReadWrite, kUserLevelObserver, 1, "", "VarnokP3 DTM"),
    Numeric(kParameterStationAddress, kInternal, "Station Address", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 126, 0),
    Numeric(kParameterApi, kInternal, "Api", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 255, 0),
    Text(kParameterBusConfiguration, kInternal, "busConfiguration", kByteArray, kAccessDeviceReadWrite, kUserLevelObserver, 0, ""),
    Text(5, kInternal, "AllParam", kByteArray, kAccessDeviceReadWrite, kUserLevelObserver, 0, ""),
    Numeric(6, kInternalSlotIndex, "Slot", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 0, 0, 255, 0),
    Numeric(7, kInternalSlotIndex, "Index", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 0, 0, 255, 0),
    Text(kParameterUserName, kInternal, "Username", VT_BSTR, kAccessDeviceReadWrite, kUserLevelObserver, 1, "kvnd"),
    Text(kParameterServicePassword, kInternal, "Password", VT_BSTR, kAccessDeviceReadWrite, kUserLevelObserver, 1, ""),
    Text(12, kInternal, "DSNumber", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 0, "not used"),
    Text(13, kInternal, "DeviceID", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 0, "Trevask Devices"),
    Text(14, kInternal, "Display Tag", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 0, "Display Tag"),
    Text(15, Device(0, 16), "Physical Block - BlockObject", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "000101FA00000000000040020300000023003301"),
    Numeric(16, Device(0, 17), "Physical Block - StaticRevision", VT_UI2, kAccessDeviceReadOnly, kUserLevelObserver, 1, 0, 65535, 0),
    Text(17, Device(0, 18), "Physical Block - Tag", kByteArray, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, "2020202020202020202020202020202020202020202020202020202020202020"),
    Numeric(18, Device(0, 19), "Physical Block - Strategy", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(19, Device(0, 20), "Physical Block - AlertKey", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 255, 0),
    Enumeration(20, Device(0, 21), "Physical Block - Target Mode", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, kListE1, 8),
    Text(21, Device(0, 22), "Physical Block - Mode Block", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "080808"),
    Text(22, Device(0, 23), "Physical Block - Alarm", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, ""),
    Text(23, Device(0, 24), "Physical Block - SoftwareRevision", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 1, "2.1.0 - 03/21/05"),
    Text(24, Device(0, 25), "Physical Block - HardwareRevision", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 1, "1.0"),
    Numeric(25, Device(0, 26), "Physical Block - ManufacturerId", VT_UI2, kAccessDeviceReadOnly, kUserLevelObserver, 1, 0, 0, 250),
    Text(26, Device(0, 27), "Physical Block - DeviceId", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 1, "Trevask Devices"),
    Text(27, Device(0, 28), "Physical Block - DeviceSerialNum", VT_BSTR, kAccessDeviceReadOnly, kUserLevelObserver, 1, "not used"),
    Enumeration(28, Device(0, 40), "Physical Block - ID Selector", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, kListE2, 0),
    Text(29, Device(0, 29), "Physical Block - Diagnosis", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "00000000"),
    Text(30, Device(0, 30), "Physical Block - DiagnosisExt", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "000000000000"),
    Text(31, Device(1, 62), "Transducer Block - BlockObject", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "000101FA00000000000040020300000023003301"),
    Numeric(32, Device(1, 63), "Transducer Block - StaticRevision", VT_UI2, kAccessDeviceReadOnly, kUserLevelObserver, 1, 0, 65535, 0),
    Text(33, Device(1, 64), "Transducer Block - Tag", kByteArray, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, "2020202020202020202020202020202020202020202020202020202020202020"),
    Numeric(34, Device(1, 65), "Transducer Block - Strategy", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(35, Device(1, 66), "Transducer Block - AlertKey", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 255, 0),
    Enumeration(36, Device(1, 67), "Transducer Block - Target Mode", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, kListE1, 8),
    Text(37, Device(1, 68), "Transducer Block - Mode Block", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "089808"),
    Text(38, Device(1, 69), "Transducer Block - Alarm", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, ""),
    Numeric(39, Device(1, 70), "Transducer Block - CalibrationFactor", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 1),
    Numeric(40, Device(1, 71), "Transducer Block - LowFlowCutOff", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(41, Device(1, 74), "Transducer Block - ZeroPoint", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(42, Device(1, 75), "Transducer Block - ZeroPointAdjust", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Enumeration(43, Device(1, 76), "Transducer Block - ZeroPointUnit", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE3, 1342),
    Numeric(44, Device(1, 77), "Transducer Block - NominalSize", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 100.6),
    Enumeration(45, Device(1, 78), "Transducer Block - NominalSizeUnits", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE4, 1013),
    Text(46, Device(1, 83), "Transducer Block - MassFlow", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, ""),
    Enumeration(131, kInternal, "Transducer Block - MassFlowUnit", VT_UI2, kAccessSingleReadWrite, kUserLevelObserver, 1, kListE5, 1322),
    Enumeration(47, Device(1, 84), "Transducer Block - MassFlowUnit", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE5, 1322),
    Numeric(48, Device(1, 85), "Transducer Block - MassFlowHighLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(49, Device(1, 86), "Transducer Block - MassFlowLowLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Enumeration(50, kInternal, "Transducer Block - Shape of Tubing", VT_UI1, kAccessSingleReadWrite, kUserLevelObserver, 1, kListE6, 0),
    Numeric(51, kInternal, "Transducer Block - Rectangular Duct Nominal Width", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0.1, 9999, 89.154),
    Numeric(52, kInternal, "Transducer Block - Rectangular Duct Nominal Length", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0.1, 9999, 89.154),
    Enumeration(53, kInternal, "Transducer Block - Shape of Tubing", VT_UI1, kAccessSingleReadWrite, kUserLevelObserver, 1, kListE6, 0),
    Numeric(54, kInternal, "Transducer Block - Rectangular Duct Nominal Width", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0.1, 9999, 89.154),
    Numeric(55, kInternal, "Transducer Block - Rectangular Duct Nominal Length", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0.1, 9999, 89.154),
    Enumeration(132, kInternal, "Transducer Block - Orvo Units", VT_UI2, kAccessSingleReadWrite, kUserLevelObserver, 1, kListE7, 2000),
    Enumeration(56, Device(1, 115), "Transducer Block - Orvo Units", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE7, 2000),
    Numeric(57, Device(1, 116), "Transducer Block - Orvo Min Flow", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(58, Device(1, 117), "Transducer Block - Orvo Max Flow", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(59, Device(1, 118), "Transducer Block - Orvo Full Scale", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Text(60, Device(1, 16), "AI Function Block (Flow) - BlockObject", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "000101FA00000000000040020300000023003301"),
    Numeric(61, Device(1, 17), "AI Function Block (Flow) - StaticRevision", VT_UI2, kAccessDeviceReadOnly, kUserLevelObserver, 1, 0, 65535, 0),
    Text(62, Device(1, 18), "AI Function Block (Flow) - Tag", kByteArray, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, "2020202020202020202020202020202020202020202020202020202020202020"),
    Numeric(63, Device(1, 19), "AI Function Block (Flow) - Strategy", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(64, Device(1, 20), "AI Function Block (Flow) - AlertKey", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 255, 0),
    Enumeration(65, Device(1, 21), "AI Function Block (Flow) - Target Mode", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, kListE8, 8),
    Text(66, Device(1, 22), "AI Function Block (Flow) - Mode Block", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "089808"),
    Text(67, Device(1, 23), "AI Function Block (Flow) - Alarm", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, ""),
    Text(68, Device(1, 24), "AI Function Block (Flow) - Batch", kByteArray, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, "00000000000000000000"),
    Numeric(123, kInternal, "AI Function Block (Flow) - Batch ID", VT_UI4, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 4294967295.0, 0),
    Numeric(124, kInternal, "AI Function Block (Flow) - RUP", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(125, kInternal, "AI Function Block (Flow) - Operation", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(126, kInternal, "AI Function Block (Flow) - Phase", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Text(69, Device(1, 26), "AI Function Block (Flow) - OutputFlowValue", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, ""),
    Text(70, Device(1, 27), "AI Function Block (Flow) - PercentFlow", kByteArray, kAccessDeviceReadWrite, kUserLevelObserver, 1, ""),
    Numeric(105, kInternal, "AI Function Block (Flow) - PercentFlow0", VT_R4, kAccessWritable, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(106, kInternal, "AI Function Block (Flow) - PercentFlow100", VT_R4, kAccessWritable, kUserLevelObserver, 1, 0, 0, 100),
    Text(71, Device(1, 28), "AI Function Block (Flow) - OutputScale", kByteArray, kAccessDeviceReadWrite, kUserLevelObserver, 1, "42C8000000000000053E05"),
    Numeric(107, kInternal, "AI Function Block (Flow) - UpperLimit", VT_R4, kAccessWritable, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(108, kInternal, "AI Function Block (Flow) - LowerLimit", VT_R4, kAccessWritable, kUserLevelObserver, 1, 0, 0, 0),
    Enumeration(109, kInternal, "AI Function Block (Flow) - Units", VT_UI2, kAccessSingleReadWrite, kUserLevelPlanningEngineer, 1, kListE3, 1342),
    Numeric(110, kInternal, "AI Function Block (Flow) - DecimalPoint", VT_UI1, kAccessWritable, kUserLevelObserver, 1, 0, 0, 0),
    Enumeration(72, Device(1, 29), "AI Function Block (Flow) - LinearizationType", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE9, 0),
    Numeric(73, Device(1, 30), "AI Function Block (Flow) - FlowSourceChannel", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 65535, 270),
    Numeric(74, Device(1, 32), "AI Function Block (Flow) - PVFilterTime", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Enumeration(75, Device(1, 33), "AI Function Block (Flow) - Fail Safe Type ", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, kListE10, 1),
    Numeric(76, Device(1, 34), "AI Function Block (Flow) - Fail Safe Value", VT_R4, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 0, 0),
    Numeric(77, Device(1, 35), "AI Function Block (Flow) - AlarmHysteresis", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0.5),
    Numeric(78, Device(1, 37), "AI Function Block (Flow) - HiHiAlarmLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 100),
    Numeric(79, Device(1, 39), "AI Function Block (Flow) - HiAlarmLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 100),
    Numeric(80, Device(1, 41), "AI Function Block (Flow) - LoAlarmLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(81, Device(1, 43), "AI Function Block (Flow) - LoLoAlarmLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Text(82, Device(1, 50), "AI Function Block (Flow) - Simulate", kByteArray, kAccessDeviceReadWrite, kUserLevelObserver, 1, "", "000000000000"),
    Enumeration(112, kInternal, "AI Function Block (Flow) - Status", VT_UI1, kAccessSingleReadWrite, kUserLevelPlanningEngineer, 1, kListE11, 0),
    Numeric(111, kInternal, "AI Function Block (Flow) - Value", VT_R4, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 0, 0),
    Enumeration(113, kInternal, "AI Function Block (Flow) - Enable", VT_UI1, kAccessSingleReadWrite, kUserLevelPlanningEngineer, 1, kListE12, 0),
    Text(83, Device(1, 51), "AI Function Block (Flow) - OutputUnitText", kByteArray, kAccessDeviceReadWrite, kUserLevelObserver, 1, "20202020202020202020202020202020"),
    Text(84, Device(2, 16), "AI Function Block (Totalizer) - BlockObject", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "000101FA00000000000040020300000023003301"),
    Numeric(85, Device(2, 17), "AI Function Block (Totalizer) - StaticRevision", VT_UI2, kAccessDeviceReadOnly, kUserLevelObserver, 1, 0, 65535, 0),
    Text(86, Device(2, 18), "AI Function Block (Totalizer) - Tag", kByteArray, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, "2020202020202020202020202020202020202020202020202020202020202020"),
    Numeric(87, Device(2, 19), "AI Function Block (Totalizer) - Strategy", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(88, Device(2, 20), "AI Function Block (Totalizer) - AlertKey", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 255, 0),
    Enumeration(89, Device(2, 21), "AI Function Block (Totalizer) - Target Mode", VT_UI1, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, kListE8, 8),
    Text(90, Device(2, 22), "AI Function Block (Totalizer) - Mode Block", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "089808"),
    Text(91, Device(2, 23), "AI Function Block (Totalizer) - Alarm", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, ""),
    Text(92, Device(2, 24), "AI Function Block (Totalizer) - Batch", kByteArray, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, "00000000000000000000"),
    Numeric(127, kInternal, "AI Function Block (Totalizer) - Batch ID", VT_UI4, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 4294967295.0, 0),
    Numeric(128, kInternal, "AI Function Block (Totalizer) - RUP", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(129, kInternal, "AI Function Block (Totalizer) - Operation", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Numeric(130, kInternal, "AI Function Block (Totalizer) - Phase", VT_UI2, kAccessDeviceReadWrite, kUserLevelPlanningEngineer, 1, 0, 65535, 0),
    Text(93, Device(2, 26), "AI Function Block (Totalizer) - Totalizer", kByteArray, kAccessDeviceReadOnly, kUserLevelObserver, 1, "0000000000"),
    Enumeration(94, Device(2, 27), "AI Function Block (Totalizer) - Units", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE13, 1088),
    Numeric(95, Device(2, 28), "AI Function Block (Totalizer) - Channel", VT_UI2, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 65535, 270),
    Enumeration(96, Device(2, 29), "AI Function Block (Totalizer) - SetTotalizer", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE14, 0),
    Enumeration(97, Device(2, 30), "AI Function Block (Totalizer) - ModeTotalizer", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE15, 0),
    Enumeration(98, Device(2, 31), "AI Function Block (Totalizer) - FailTotalizer", VT_UI1, kAccessDeviceReadWrite, kUserLevelObserver, 1, kListE16, 0),
    Numeric(99, Device(2, 32), "AI Function Block (Totalizer) - PresetTotalizer", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(100, Device(2, 33), "AI Function Block (Totalizer) - AlarmHysteresis", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(101, Device(2, 34), "AI Function Block (Totalizer) - HiHiLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(102, Device(2, 35), "AI Function Block (Totalizer) - HiLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(103, Device(2, 36), "AI Function Block (Totalizer) - LoLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
    Numeric(104, Device(2, 37), "AI Function Block (Totalizer) - LoLoLimit", VT_R4, kAccessDeviceReadWrite, kUserLevelObserver, 1, 0, 0, 0),
};
// clang-format on

}  // namespace

ParameterTableView DeviceParameterTable() noexcept {
    return {kDeviceParameters, sizeof kDeviceParameters / sizeof kDeviceParameters[0]};
}
