// The PROFIBUS PA vocabulary: status bytes, block classes and block modes, every example of the system's
// own texts (misspellings included) and the edges of each table.
#include <string>

#include "DocumentsTestSupport.h"
#include "dtm/documents/PaBlockTexts.h"
#include "dtm/documents/PaStatusTexts.h"

namespace doctest {
namespace {

struct StatusCase {
    BYTE status;
    const char* quality;
    const char* substatus;
    const char* limits;
};

TEST(PaStatusTextsTest, EveryExampleFormatsAsGiven) {
    const StatusCase cases[] = {
        {0x80, "Good (Non-Cascade)", "Ok", "Ok"},
        {0x81, "Good (Non-Cascade)", "Invalid Status!", "Low Limited"},
        {0x82, "Good (Non-Cascade)", "Invalid Status!", "High Limited"},
        {0x83, "Good (Non-Cascade)", "Ok", "Constant"},
        {0x4F, "Uncertain", "Initial Value", "Constant"},
        {0x00, "Bad", "Non-specific", "Ok"},
        {0xC0, "Good (Cascade)", "Ok", "Ok"},
        {0xC1, "Good (Cascade)", "Invalid Status!", "Low Limited"},
        {0xD0, "Good (Cascade)", "Reserved", "Ok"},
        {0x9C, "Good (Non-Cascade)", "Reserved", "Ok"},
        {0x3C, "Bad", "Reserved", "Ok"},
        {0x1C, "Bad", "Out of Service", "Ok"},
        {0x20, "Bad", "Reserved", "Ok"},
        {0x54, "Uncertain", "Engineering Unit Violation (Unit Not in the Valid Set)", "Ok"},
        {0x64, "Uncertain", "Sensor Calibration", "Ok"},
        {0x68, "Uncertain", "Reserved", "Ok"},
        {0x88, "Good (Non-Cascade)", "Active Advisory Alarm (priority < 8)", "Ok"},
        {0x8C, "Good (Non-Cascade)", "Active Critical Alarm (priority > 8)", "Ok"},
        {0xA4, "Good (Non-Cascade)", "Maintenance Required", "Ok"},
        {0xE0, "Good (Cascade)", "Initiate Fail Safe", "Ok"},
        {0xD4, "Good (Cascade)", "Do Not Select", "Ok"},
        {0xDB, "Good (Cascade)", "Local Override", "Constant"},
        {0x41, "Uncertain", "Non-specific", "Low Limited"},  // only good values contradict themselves
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.status);
        const char* quality = nullptr;
        const char* substatus = nullptr;
        const char* limits = nullptr;
        FormatPaStatus(c.status, &quality, &substatus, &limits);
        EXPECT_STREQ(c.quality, quality);
        EXPECT_STREQ(c.substatus, substatus);
        EXPECT_STREQ(c.limits, limits);
    }
}

struct ClassCase {
    BYTE block, parent, cls;
    const char* blockText;
    const char* parentText;
    const char* classText;
};

TEST(PaBlockTextsTest, BlockClassesFormatAsGiven) {
    const ClassCase cases[] = {
        {1, 1, 250, "Physical Block", "Transmitter", "Not Used"},
        {1, 1, 0, "Physical Block", "Transmitter", "Deafult"},
        {1, 5, 250, "Physical Block", "Analyser", "Not Used"},
        {1, 127, 1, "Physical Block", "Multi-Variable", "Deafult"},
        {1, 128, 250, "Physical Block", "Manufacturer Specific", "Not Used"},
        {1, 249, 250, "Physical Block", "Manufacturer Specific", "Not Used"},
        {1, 253, 250, "Physical Block", "Sepcial", "Not Used"},
        {1, 7, 250, "Physical Block", "Reserved", "Not Used"},
        {1, 254, 250, "Physical Block", "Reserved", "Not Used"},
        {3, 3, 4, "Transducer Block", "Flow", "Thermal Mass"},
        {3, 3, 9, "Transducer Block", "Flow", "Reserved"},
        {3, 2, 17, "Transducer Block", "Temperature", "RTD+R )R-Resistance)"},
        {3, 5, 1, "Transducer Block", "Actuator", "Electirc"},
        {3, 7, 1, "Transducer Block", "Analyzer", "Standard"},
        {3, 245, 0, "Transducer Block", "Manufacturer Specific", "Not Used"},
        {3, 253, 7, "Transducer Block", "Sepcial", "Special"},
        {3, 252, 7, "Transducer Block", "UnKnown", "UnKnown"},
        {3, 10, 1, "Transducer Block", "Reserved", "Not Used"},
        {2, 5, 1, "Function Block", "Calculation", "Reserved"},
        {2, 5, 8, "Function Block", "Calculation", "Totaliser"},
        {2, 6, 2, "Function Block", "Auxillary", "BM_Logbock"},
        {2, 7, 1, "Function Block", "Alart", "Reserved"},
        {2, 9, 1, "Function Block", "Reserved", "Not Used"},
        {2, 0, 1, "Function Block", "Reserved", "Not Used"},
        {0, 1, 1, "Reserved(NotDefined)", "Reserved", "Deafult"},
        {4, 3, 4, "Reserved(NotDefined)", "Reserved", "Deafult"},
    };
    for (const ClassCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.block) + "," + std::to_string(c.parent) + "," + std::to_string(c.cls));
        const char* texts[3] = {};
        FormatBlockClass(c.block, c.parent, c.cls, &texts[0], &texts[1], &texts[2]);
        EXPECT_STREQ(c.blockText, texts[0]);
        EXPECT_STREQ(c.parentText, texts[1]);
        EXPECT_STREQ(c.classText, texts[2]);
    }
}

struct ModeCase {
    const char* name;
    ql::Variant record;
    const char* actual;  // "unset" when the routine must not write it
    const char* normal;
    ULONG automatic, outOfService, manual;
};

TEST(PaBlockTextsTest, BlockModesFormatAsGiven) {
    ql::Variant nullArray;
    VARIANT* raw = nullArray.Put();
    raw->vt = VT_ARRAY | VT_UI1;  // a byte array without its array
    raw->parray = nullptr;
    ModeCase cases[] = {
        {"08 98 08", MakeBytes({0x08, 0x98, 0x08}), "Auto", "Auto", 1, 1, 1},
        {"80 10 10", MakeBytes({0x80, 0x10, 0x10}), "Out Of Service", "Manual", 0, 0, 1},
        {"10 08 80", MakeBytes({0x10, 0x08, 0x80}), "MAN", "Out Of Service", 1, 0, 0},
        {"short record: defaults", MakeBytes({0x80, 0x00}), "Auto", "Auto", 1, 0, 1},
        {"not a byte array: defaults", MakeBstr(L"089808"), "Auto", "Auto", 1, 0, 1},
        {"unknown modes leave the texts", MakeBytes({0x04, 0x00, 0x20}), "unset", "unset", 0, 0, 0},
    };
    for (ModeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const char* actual = "unset";
        const char* normal = "unset";
        ULONG flags[3] = {7, 7, 7};
        FormatBlockMode(*c.record, &actual, &normal, &flags[0], &flags[1], &flags[2]);
        EXPECT_STREQ(c.actual, actual);
        EXPECT_STREQ(c.normal, normal);
        EXPECT_EQ(c.automatic, flags[0]);
        EXPECT_EQ(c.outOfService, flags[1]);
        EXPECT_EQ(c.manual, flags[2]);
    }

    const char* actual = "unset";
    ULONG flag = 7;
    FormatBlockMode(*nullArray, &actual, nullptr, &flag, nullptr, nullptr);
    EXPECT_STREQ("unset", actual) << "a byte array without its array writes nothing at all";
    EXPECT_EQ(7u, flag);
}

}  // namespace
}  // namespace doctest
