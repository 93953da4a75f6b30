#include "dtm/documents/PaBlockTexts.h"

#include <cstddef>

#include "dtm/documents/PaRecordBytes.h"

namespace {

struct CodeText {
    BYTE code;
    const char* text;
};

// One parent class of a block: its text and the texts of its classes; a class code without a row gives
// `otherClass`.
struct ParentClassRow {
    BYTE code;
    const char* text;
    const CodeText* classes;
    size_t classCount;
    const char* otherClass;
};

template <size_t N>
constexpr ParentClassRow Parent(BYTE code, const char* text, const CodeText (&classes)[N]) {
    return {code, text, classes, N, "Reserved"};
}
constexpr ParentClassRow ParentWithAnyClass(BYTE code, const char* text, const char* anyClass) {
    return {code, text, nullptr, 0, anyClass};
}

constexpr const char* kReserved = "Reserved";
constexpr const char* kNotUsed = "Not Used";
constexpr const char* kDefaultClass = "Deafult";

// ---- Block 1: physical block. Only the parent class has a table; the class is tested for 250 alone.
constexpr BYTE kPhysicalClassNotUsed = 250;
constexpr CodeText kPhysicalParents[] = {
    {1, "Transmitter"}, {2, "Actuator"},    {3, "Discrete I/O"},     {4, "Controller"},
    {5, "Analyser"},    {6, "Lab Devices"}, {127, "Multi-Variable"}, {250, "Not Used"},
    {251, "None"},      {252, "UnKnown"},   {253, "Sepcial"},
};
constexpr BYTE kManufacturerPhysicalFirst = 128;
constexpr BYTE kManufacturerPhysicalLast = 249;

// ---- Block 2: function block.
constexpr CodeText kInputClasses[] = {{1, "Analog Input"}, {2, "Discrete Input"}};
constexpr CodeText kOutputClasses[] = {{1, "Analog Output"}, {2, "Discrete Output"}};
constexpr CodeText kControlClasses[] = {{1, "PID"}, {2, "Sample Selector"}, {3, "Lab_Device_Control"}};
constexpr CodeText kAdvanceControlClasses[] = {{1, "Lab Instruments"}};
constexpr CodeText kCalculationClasses[] = {{8, "Totaliser"}};
constexpr CodeText kAuxillaryClasses[] = {{1, "Ramp"}, {2, "BM_Logbock"}, {3, "Sample"}};
constexpr ParentClassRow kFunctionParents[] = {
    Parent(1, "Input", kInputClasses),
    Parent(2, "Output", kOutputClasses),
    Parent(3, "Control", kControlClasses),
    Parent(4, "Advance Control", kAdvanceControlClasses),
    Parent(5, "Calculation", kCalculationClasses),
    Parent(6, "Auxillary", kAuxillaryClasses),
    ParentWithAnyClass(7, "Alart", kReserved),
};
constexpr ParentClassRow kFunctionOtherParent = ParentWithAnyClass(0, kReserved, kNotUsed);

// ---- Block 3: transducer block.
constexpr CodeText kPressureClasses[] = {{1, "Differential"},   {2, "Absolute"},
                                         {3, "Gage"},           {4, "Pressure+Level+Flow"},
                                         {5, "Pressure+Level"}, {6, "Pressure+Flow"}};
constexpr CodeText kTemperatureClasses[] = {
    {1, "(TC)Termocouple"},       {2, "(RTD)Resistance Thermometer"}, {3, "Pyrometer"},
    {16, "TC+DC U (DC Voltage)"}, {17, "RTD+R )R-Resistance)"},       {18, "TC+RTD+R+DC U"}};
constexpr CodeText kFlowClasses[] = {{1, "Electromagnetic"},      {2, "Vortex"},     {3, "Coriolis"},
                                     {4, "Thermal Mass"},         {5, "Ultrasonic"}, {6, "Variable Area"},
                                     {7, "Differential Pressure"}};
constexpr CodeText kLevelClasses[] = {{1, "Hydrostatic"}, {2, "Echo Level"}, {3, "Radiometric"}};
constexpr CodeText kActuatorClasses[] = {
    {1, "Electirc"}, {2, "Electro-pneumatic"}, {3, "Electro-hydrauilic"}};
constexpr CodeText kDiscreteClasses[] = {{1, "Sensor Input"}, {2, "Actuator"}};
constexpr CodeText kAnalyzerClasses[] = {{1, "Standard"}};
constexpr CodeText kAuxiliaryClasses[] = {{1, "Transfer"}, {2, "Control"}, {3, "Limit"}};
constexpr CodeText kAlarmClasses[] = {{1, "Binary Message"}};
constexpr ParentClassRow kTransducerParents[] = {
    Parent(1, "Pressure", kPressureClasses),
    Parent(2, "Temperature", kTemperatureClasses),
    Parent(3, "Flow", kFlowClasses),
    Parent(4, "Level", kLevelClasses),
    Parent(5, "Actuator", kActuatorClasses),
    Parent(6, "Discrete I/O", kDiscreteClasses),
    Parent(7, "Analyzer", kAnalyzerClasses),
    Parent(8, "Auxiliary", kAuxiliaryClasses),
    Parent(9, "Alarm", kAlarmClasses),
    ParentWithAnyClass(250, "Not Used", "Not Used"),
    ParentWithAnyClass(251, "None", "None"),
    ParentWithAnyClass(252, "UnKnown", "UnKnown"),
    ParentWithAnyClass(253, "Sepcial", "Special"),
};
constexpr BYTE kManufacturerTransducerFirst = 240;
constexpr BYTE kManufacturerTransducerLast = 249;
constexpr ParentClassRow kTransducerManufacturerParent =
    ParentWithAnyClass(0, "Manufacturer Specific", kNotUsed);
constexpr ParentClassRow kTransducerOtherParent = ParentWithAnyClass(0, kReserved, kNotUsed);

enum BlockCode : BYTE { kPhysicalBlock = 1, kFunctionBlock = 2, kTransducerBlock = 3 };

template <size_t N>
const char* FindText(const CodeText (&rows)[N], BYTE code) noexcept {
    for (const CodeText& row : rows) {
        if (row.code == code) return row.text;
    }
    return nullptr;
}

template <size_t N>
const ParentClassRow* FindParent(const ParentClassRow (&rows)[N], BYTE code) noexcept {
    for (const ParentClassRow& row : rows) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

const char* ClassOf(const ParentClassRow& parent, BYTE blockClass) noexcept {
    for (size_t i = 0; i < parent.classCount; ++i) {
        if (parent.classes[i].code == blockClass) return parent.classes[i].text;
    }
    return parent.otherClass;
}

void Put(const char** out, const char* text) noexcept {
    if (out) *out = text;
}

const char* PhysicalParentText(BYTE parentClass) noexcept {
    if (const char* text = FindText(kPhysicalParents, parentClass)) return text;
    if (parentClass >= kManufacturerPhysicalFirst && parentClass <= kManufacturerPhysicalLast)
        return "Manufacturer Specific";
    return kReserved;
}

const ParentClassRow& TransducerParent(BYTE parentClass) noexcept {
    if (const ParentClassRow* row = FindParent(kTransducerParents, parentClass)) return *row;
    if (parentClass >= kManufacturerTransducerFirst && parentClass <= kManufacturerTransducerLast)
        return kTransducerManufacturerParent;
    return kTransducerOtherParent;
}

// Mode byte to the actual-mode and normal-mode texts; null for a mode byte without texts.
struct ModeTexts {
    BYTE mode;
    const char* actual;
    const char* normal;
};
constexpr ModeTexts kModeTexts[] = {
    {0x08, "Auto", "Auto"},
    {0x10, "MAN", "Manual"},
    {0x80, "Out Of Service", "Out Of Service"},
};
const ModeTexts* FindMode(BYTE mode) noexcept {
    for (const ModeTexts& row : kModeTexts) {
        if (row.mode == mode) return &row;
    }
    return nullptr;
}

constexpr size_t kBlockModeBytes = 3;
constexpr BYTE kDefaultMode = 0x08;
constexpr BYTE kDefaultPermitted = 0x58;

}  // namespace

void FormatBlockClass(BYTE block, BYTE parentClass, BYTE blockClass, const char** blockText,
                      const char** parentClassText, const char** classText) noexcept {
    switch (block) {
        case kPhysicalBlock:
            Put(blockText, "Physical Block");
            Put(parentClassText, PhysicalParentText(parentClass));
            Put(classText, blockClass == kPhysicalClassNotUsed ? kNotUsed : kDefaultClass);
            return;
        case kFunctionBlock: {
            const ParentClassRow* parent = FindParent(kFunctionParents, parentClass);
            if (!parent) parent = &kFunctionOtherParent;
            Put(blockText, "Function Block");
            Put(parentClassText, parent->text);
            Put(classText, ClassOf(*parent, blockClass));
            return;
        }
        case kTransducerBlock: {
            const ParentClassRow& parent = TransducerParent(parentClass);
            Put(blockText, "Transducer Block");
            Put(parentClassText, parent.text);
            Put(classText, ClassOf(parent, blockClass));
            return;
        }
        default:
            Put(blockText, "Reserved(NotDefined)");
            Put(parentClassText, kReserved);
            Put(classText, kDefaultClass);
            return;
    }
}

void FormatBlockMode(const VARIANT& record, const char** actualText, const char** normalText,
                     ULONG* automaticPermitted, ULONG* outOfServicePermitted,
                     ULONG* manualPermitted) noexcept {
    BYTE bytes[kBlockModeBytes] = {kDefaultMode, kDefaultPermitted, kDefaultMode};
    const PaRecordRead read = ReadPaRecord(record, sizeof bytes, bytes);
    if (read == PaRecordRead::NoArray) return;

    const BYTE actual = bytes[0], permitted = bytes[1], normal = bytes[2];
    if (const ModeTexts* texts = FindMode(actual)) Put(actualText, texts->actual);
    if (const ModeTexts* texts = FindMode(normal)) Put(normalText, texts->normal);
    if (automaticPermitted) *automaticPermitted = (permitted & kPermittedAutomatic) ? 1 : 0;
    if (outOfServicePermitted) *outOfServicePermitted = (permitted & kPermittedOutOfService) ? 1 : 0;
    if (manualPermitted) *manualPermitted = (permitted & kPermittedManual) ? 1 : 0;
}
