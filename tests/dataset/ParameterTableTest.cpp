// The parameter table as records: order, ids, addresses, types, flags and the values the definitions give.
#include <gmock/gmock.h>

#include <map>

#include "DatasetTestSupport.h"
#include "dataset/ParameterTableEnums.h"

namespace {

using ::testing::ElementsAreArray;

class ParameterTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ULONG count = 0;
        ASSERT_HR(S_OK, DefineDeviceParameters(&list_, &count, nullptr));
        ASSERT_EQ(121u, count);
    }
    const CQuelkVariable& Record(ULONG id) {
        const CQuelkVariable* record = list_.Find(id);
        EXPECT_NE(nullptr, record) << "id " << id;
        static const CQuelkVariable none;
        return record ? *record : none;
    }
    std::string NameOf(ULONG id) { return ql::Utf8FromWide(Record(id).Name.View()); }

    CQuelkVariableList list_;
};

TEST_F(ParameterTableTest, HoldsTheRecordsInTableOrder) {
    const ULONG expected[] = {
        1,   3,   2,   4,   5,  6,   7,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21, 22, 23,
        24,  25,  26,  27,  28, 29,  30,  31,  32,  33,  34,  35,  36,  37,  38,  39,  40,  41,  42, 43, 44,
        45,  46,  131, 47,  48, 49,  50,  51,  52,  53,  54,  55,  132, 56,  57,  58,  59,  60,  61, 62, 63,
        64,  65,  66,  67,  68, 123, 124, 125, 126, 69,  70,  105, 106, 71,  107, 108, 109, 110, 72, 73, 74,
        75,  76,  77,  78,  79, 80,  81,  82,  112, 111, 113, 83,  84,  85,  86,  87,  88,  89,  90, 91, 92,
        127, 128, 129, 130, 93, 94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104};
    std::vector<ULONG> ids;
    for (ULONG i = 0; i < list_.Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, list_.GetVariableAt(static_cast<int>(i), &record));
        ids.push_back(record.Id());
    }
    EXPECT_THAT(ids, ElementsAreArray(expected));
    for (ULONG absent : {8u, 9u, 114u, 115u, 116u, 117u, 118u, 119u, 120u, 121u, 122u}) {
        EXPECT_EQ(-1, list_.FindById(absent)) << absent;
    }
}

// Column totals of the table: a mistyped access word, persistent flag or level in any row changes one.
TEST_F(ParameterTableTest, ColumnTotalsMatchTheTable) {
    std::map<ULONG, int> accessWords, levels, types;
    int persistent = 0, device = 0, enumerations = 0, noAddress = 0, flagged = 0;
    for (ULONG i = 0; i < list_.Count(); ++i) {
        CQuelkVariable r;
        ASSERT_HR(S_OK, list_.GetVariableAt(static_cast<int>(i), &r));
        ++accessWords[r.Access];
        ++levels[r.WriteLevel];
        ++types[r.DataType];
        persistent += r.Persistent;
        device += r.IsDeviceParameter;
        enumerations += r.EnumerationKind == kEnumerationList;
        noAddress += r.Address.Type() == VT_EMPTY;
        flagged += (r.Access & (kAccessRejected | kAccessNoCheck)) != 0;
        EXPECT_EQ(r.IsDeviceParameter == 0, r.Address.Type() == VT_EMPTY) << r.Id();
        EXPECT_EQ(VT_BSTR, r.UpdateRule.Type()) << r.Id();
    }
    // 121 records; only 4, 5, 6, 7, 12, 13 and 14 are transient.
    EXPECT_EQ(114, persistent);
    EXPECT_EQ(84, device);
    EXPECT_EQ(37, noAddress);
    EXPECT_EQ(22, enumerations);
    EXPECT_EQ(0, flagged);  // no definition of this table is out of range or unconvertible
    EXPECT_EQ((std::map<ULONG, int>{{0x01, 5}, {0x31, 7}, {0x50, 29}, {0x71, 80}}), accessWords);
    EXPECT_EQ((std::map<ULONG, int>{{1, 88}, {8, 33}}), levels);
    EXPECT_EQ((std::map<ULONG, int>{
                  {VT_UI1, 24}, {VT_UI2, 25}, {VT_UI4, 2}, {VT_R4, 31}, {VT_BSTR, 10}, {kByteArray, 29}}),
              types);
}

struct RecordCase {
    ULONG id;
    const char* name;
    ULONG address;  // 0xFFFFFFFF: none
    VARTYPE type;
    ULONG access, level, persistent;
    const char* minValue;
    const char* maxValue;
    const char* defaultValue;
    const char* value;
};

TEST_F(ParameterTableTest, RecordsCarryTheirDefinitions) {
    constexpr ULONG kNone = 0xFFFFFFFF;
    const RecordCase cases[] = {
        {1, "Tag", kNone, VT_BSTR, 0x71, 1, 1, "bstr:''", "bstr:''", "bstr:''", "bstr:'VarnokP3 DTM'"},
        {3, "Station Address", kNone, VT_UI1, 0x71, 1, 1, "ui1:0", "ui1:126", "ui1:0", "ui1:0"},
        {10, "Username", kNone, VT_BSTR, 0x71, 1, 1, "bstr:''", "bstr:''", "bstr:'kvnd'", "bstr:'kvnd'"},
        {15, "Physical Block - BlockObject", 16, kByteArray, 0x50, 1, 1, "bytes:", "bytes:",
         "bytes:000101FA00000000000040020300000023003301", "bytes:000101FA00000000000040020300000023003301"},
        {28, "Physical Block - ID Selector", 40, VT_UI1, 0x71, 8, 1, "ui1:0", "ui1:0", "ui1:0", "ui1:0"},
        {37, "Transducer Block - Mode Block", 65536 + 68, kByteArray, 0x50, 1, 1,
         "bytes:", "bytes:", "bytes:089808", "bytes:089808"},
        {44, "Transducer Block - NominalSize", 65536 + 77, VT_R4, 0x71, 1, 1, "r4:0", "r4:0", "r4:100.599998",
         "r4:100.599998"},
        {131, "Transducer Block - MassFlowUnit", kNone, VT_UI2, 0x31, 1, 1, "ui2:0", "ui2:0", "ui2:1322",
         "ui2:1322"},
        {123, "AI Function Block (Flow) - Batch ID", kNone, VT_UI4, 0x71, 8, 1, "ui4:0", "ui4:4294967295",
         "ui4:0", "ui4:0"},
        {75, "AI Function Block (Flow) - Fail Safe Type ", 65536 + 33, VT_UI1, 0x71, 8, 1, "ui1:0", "ui1:0",
         "ui1:1", "ui1:1"},
        {82, "AI Function Block (Flow) - Simulate", 65536 + 50, kByteArray, 0x71, 1, 1,
         "bytes:", "bytes:", "bytes:", "bytes:000000000000"},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.id);
        const CQuelkVariable& r = Record(c.id);
        EXPECT_EQ(c.name, NameOf(c.id));
        EXPECT_EQ(c.address == kNone ? "empty" : "ui4:" + std::to_string(c.address), Describe(*r.Address));
        EXPECT_EQ(c.type, r.DataType);
        EXPECT_EQ(c.access, r.Access);
        EXPECT_EQ(c.level, r.WriteLevel);
        EXPECT_EQ(c.persistent, r.Persistent);
        EXPECT_EQ(c.minValue, Describe(*r.MinValue));
        EXPECT_EQ(c.maxValue, Describe(*r.MaxValue));
        EXPECT_EQ(c.defaultValue, Describe(*r.DefaultValue));
        EXPECT_EQ(c.value, Describe(*r.Value));
    }
    EXPECT_EQ(static_cast<float>(100.6), Record(44).DefaultValue->fltVal);
}

TEST_F(ParameterTableTest, DuplicateNamesAreSeparateRecords) {
    const std::pair<ULONG, ULONG> duplicates[] = {{50, 53}, {51, 54}, {52, 55}, {47, 131}, {56, 132}};
    for (auto [first, second] : duplicates) {
        EXPECT_EQ(NameOf(first), NameOf(second)) << first;
    }
}

std::vector<std::string> Entries(const VARIANT& list) {
    std::vector<std::string> out;
    if (V_VT(&list) != (VT_ARRAY | VT_BSTR)) return out;
    ql::SafeArrayData<BSTR> data(list.parray);
    for (ULONG i = 0; i < list.parray->rgsabound[0].cElements; ++i) out.push_back(ql::Utf8FromWide(data[i]));
    return out;
}

TEST_F(ParameterTableTest, EnumerationsCarryTheirLists) {
    const struct {
        ULONG id;
        std::vector<std::string> entries;
    } cases[] = {
        {20, {"8;Auto"}},
        {28, {"0;Profile ID", "1;Manufactuer specific"}},
        {45, {"1013;mm", "1019;inch"}},
        {50, {"0;Circular Pipe", "1;Rectangular Duct"}},
        {89, {"8;Auto", "16;Manual", "128;Out Of Service"}},
        {97, {"0;BALANCED", "1;POS_ONLY", "2;NEG_ONLY", "3;HOLD"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(kEnumerationList, Record(c.id).EnumerationKind);
        EXPECT_EQ(c.entries, Entries(*Record(c.id).EnumerationEntries));
    }
    EXPECT_EQ(14u, Entries(*Record(109).EnumerationEntries).size());
    EXPECT_EQ("1999;Manufacturer Specific", Entries(*Record(47).EnumerationEntries).back());
    EXPECT_EQ("2000;Profile Units", Entries(*Record(132).EnumerationEntries).front());
    EXPECT_EQ(VT_EMPTY, Record(3).EnumerationEntries.Type());
}

// The status list follows one rule with two irregular entries; rebuilding it from the rule catches any
// slip in the 108 written-out texts.
TEST_F(ParameterTableTest, StatusListFollowsItsGroups) {
    const struct {
        int code;
        const char* prefix;
        bool twoBlanks;
    } groups[] = {
        {0, "Bad: Non-specific", false},
        {4, "Bad: Configuration Error", false},
        {8, "Bad: Not Connected", false},
        {12, "Bad: Device Failure", false},
        {16, "Bad: Sensor Failure", false},
        {20, "Bad: Last Usable Value", false},
        {24, "Bad: No Usable Value", false},
        {28, "Bad: Out of Service", false},
        {64, "Uncertain Non-Specific", true},
        {68, "Uncertain: Last Usable Value", true},
        {72, "Uncertain: Substitute-Set", true},
        {76, "Uncertain: Initial Value", true},
        {80, "Uncertain: Sensor Conversion not Accurate", true},
        {84, "Uncertain: Engineering Unit Violation", true},
        {88, "Uncertain: Sub Normal", true},
        {92, "Uncertain: Configuration Error", true},
        {96, "Uncertain: Simulated Value", true},
        {100, "Uncertain: Sensor Calibration", true},
        {128, "Good: Ok", false},
        {132, "Good: Update Event", true},
        {136, "Good: Active Advisory Alarm", true},
        {140, "Good: Active Critical Alarm", true},
        {144, "Good: Unacknowledged Update Event", true},
        {148, "Good: Unacknowledged Advisory Alarm", true},
        {152, "Good: Unacknowledged Critical Alarm", true},
        {160, "Good: Initiate Failsafe", true},
        {164, "Good: Maintenance Required", true},
    };
    std::vector<std::string> expected;
    for (const auto& g : groups) {
        const std::string p = std::string(g.prefix) + ":" + (g.twoBlanks ? "  " : " ");
        expected.push_back(std::to_string(g.code) + ";" + g.prefix + ": Ok");
        expected.push_back(std::to_string(g.code + 1) + ";" + p + "Low Limited");
        expected.push_back(std::to_string(g.code + 2) + ";" + p + "High Limited");
        expected.push_back(std::to_string(g.code + 3) + ";" + p + "Constant");
    }
    expected[5] = "5;Bad: Configuration Error: : Low Limited";
    expected[9] = "9;Bad: Not Connected:  Low Limited";
    EXPECT_EQ(expected, Entries(*Record(112).EnumerationEntries));
}

// --- The definition operations on definitions of their own.

ParameterDefinition Definition(ParameterKind kind, VARTYPE type) {
    ParameterDefinition d;
    d.Kind = kind;
    d.Id = 900;
    d.IsDeviceParameter = 1;
    d.Address = 0x10012;
    d.Name = "Test";
    d.DataType = type;
    d.Access = 0x71;
    return d;
}

TEST(ParameterDefinitionTest, FlagsDefinitionsThatDoNotFit) {
    struct Case {
        const char* name;
        ParameterDefinition definition;
        ULONG access;
        const char* minValue;
        const char* maxValue;
        const char* defaultValue;
    };
    ParameterDefinition ui1Max300 = Definition(ParameterKind::Numeric, VT_UI1);
    ui1Max300.MaxNumber = 300;
    ParameterDefinition outOfRange = Definition(ParameterKind::Numeric, VT_UI1);
    outOfRange.MaxNumber = 126;
    outOfRange.DefaultNumber = 127;
    ParameterDefinition reversed = Definition(ParameterKind::Numeric, VT_R4);
    reversed.MinNumber = 5;
    reversed.MaxNumber = 1;
    reversed.DefaultNumber = 3;
    ParameterDefinition equalBounds = Definition(ParameterKind::Numeric, VT_UI2);
    equalBounds.DefaultNumber = 250;
    ParameterDefinition oddHex = Definition(ParameterKind::Text, kByteArray);
    oddHex.DefaultText = "0A0";
    oddHex.ValueText = "0A";
    const Case cases[] = {
        // The bound that does not convert is dropped; the record then takes the empty field as 0 of its type.
        {"UI1 maximum 300", ui1Max300, 0x71 | kAccessNoCheck, "ui1:0", "ui1:0", "ui1:0"},
        {"default above the range", outOfRange, 0x71 | kAccessRejected, "ui1:0", "ui1:126", "ui1:127"},
        {"minimum above maximum", reversed, 0x71 | kAccessNoCheck, "r4:5", "r4:1", "r4:3"},
        {"equal bounds: no range", equalBounds, 0x71, "ui2:0", "ui2:0", "ui2:250"},
        {"odd hexadecimal default", oddHex, 0x71 | kAccessNoCheck, "bytes:", "bytes:", "empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CQuelkVariableList list;
        if (c.definition.Kind == ParameterKind::Numeric) {
            CQuelkVariableStore::AddNumericParameter(&list, c.definition, nullptr);
        } else {
            CQuelkVariableStore::AddStringParameter(&list, c.definition, nullptr);
        }
        const CQuelkVariable* r = list.Find(900);
        ASSERT_NE(nullptr, r);
        EXPECT_EQ(c.access, r->Access);
        EXPECT_EQ(c.minValue, Describe(*r->MinValue));
        EXPECT_EQ(c.maxValue, Describe(*r->MaxValue));
        EXPECT_EQ(c.defaultValue, Describe(*r->DefaultValue));
        EXPECT_EQ("ui4:65554", Describe(*r->Address));
    }
}

class CollectingSink : public CQuelkMessageSink {
public:
    std::vector<std::string> texts;
    void DeliverMessage(BSTR text) noexcept override {
        texts.push_back(ql::Utf8FromWide(vtest::StringOf(text)));
    }
};

TEST(ParameterDefinitionTest, InternalItemsReportTheirMissingAddress) {
    CollectingSink sink;
    CQuelkVariableList list;
    ParameterDefinition d = Definition(ParameterKind::Text, VT_BSTR);
    d.IsDeviceParameter = 0;
    d.Address = -1;
    CQuelkVariableStore::AddStringParameter(&list, d, &sink);
    // -2147352566 is DISP_E_OVERFLOW.
    EXPECT_EQ(std::vector<std::string>{"Init parameter Test: address change type returns -2147352566"},
              sink.texts);
    EXPECT_EQ(VT_EMPTY, list.Find(900)->Address.Type());
}

TEST(ParameterDefinitionTest, RecordDropsADefaultThatDoesNotFitItsType) {
    const ql::Variant empty, address = MakeUI4(5), zero = MakeUI4(0), tooBig = MakeUI4(300);
    const CQuelkVariable r(1, 77, *address, L"Byte", 0, VT_UI1, *zero, *zero, *tooBig, *zero, 1, 0x71, 8, 0,
                           L"", 0, L"", kEnumerationNone, *empty, *empty, *empty, VariableHooks{});
    EXPECT_EQ("empty", Describe(*r.DefaultValue));
    EXPECT_EQ("ui1:0", Describe(*r.Value));
    EXPECT_EQ("ui1:0", Describe(*r.MaxValue));
    EXPECT_EQ("ui4:5", Describe(*r.Address));
    EXPECT_EQ(0x71u, r.Access);
}

}  // namespace
