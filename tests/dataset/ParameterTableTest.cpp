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
    int persistent = 0;
    for (ULONG id : ids) persistent += Record(id).Persistent;
    EXPECT_EQ(114, persistent);
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
        {44, "Transducer Block - NominalSize", 65536 + 77, VT_R4, 0x71, 1, 1, "r4:0", "r4:0", "r4:100.599998",
         "r4:100.599998"},
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

// Every field of a record as one text, for comparing datasets.
std::string Fields(const CQuelkVariable& r) {
    const auto text = [](const auto& owned) { return ql::Utf8FromWide(owned.View()); };
    return std::to_string(r.Id()) + "|" + std::to_string(r.IsDeviceParameter) + "|" + Describe(*r.Address) +
           "|" + text(r.Name) + "|" + std::to_string(r.NameResourceId) + "|" + text(r.Description) + "|" +
           std::to_string(r.DataType) + "|" + std::to_string(r.EnumerationKind) + "|" +
           Describe(*r.MinValue) + "|" + Describe(*r.MaxValue) + "|" + Describe(*r.DefaultValue) + "|" +
           Describe(*r.Value) + "|" + Describe(*r.EnumerationEntries) + "|" + std::to_string(r.Persistent) +
           "|" + std::to_string(r.Access) + "|" + std::to_string(r.WriteLevel) + "|" +
           std::to_string(r.SpareWord1) + "|" + text(r.ExportGroup) + "|" + std::to_string(r.ExportKind) +
           "|" + Describe(*r.DisplayAttribute) + "|" + Describe(*r.UpdateRule);
}

std::vector<std::string> AllFields(const CQuelkVariableList& list) {
    std::vector<std::string> all;
    for (int i = 0; i < static_cast<int>(list.Count()); ++i) all.push_back(Fields(*list.At(i)));
    return all;
}

// Datasets are copied from the table defined once; each must hold exactly what running every definition
// for it gives, report the same messages, and (defined into a list that has records) add nothing twice.
TEST(DefinedTableTest, ACopiedDatasetIsWhatDefiningEveryRowGives) {
    CQuelkVariableList direct;
    CollectingSink directMessages;
    const ParameterTableView table = DeviceParameterTable();
    for (size_t i = 0; i < table.count; ++i) {
        const ParameterDefinition& row = table.rows[i];
        if (row.Kind == ParameterKind::Text)
            CQuelkVariableStore::AddStringParameter(&direct, row, &directMessages);
        if (row.Kind == ParameterKind::Numeric)
            CQuelkVariableStore::AddNumericParameter(&direct, row, &directMessages);
        if (row.Kind == ParameterKind::Enumeration)
            CQuelkVariableStore::AddEnumParameter(&direct, row, &directMessages);
    }
    ASSERT_FALSE(directMessages.texts.empty()) << "internal items have no address to convert";

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        CQuelkVariableList copied;
        CollectingSink messages;
        ASSERT_HR(S_OK, DefineDeviceParameters(&copied, nullptr, &messages));
        EXPECT_EQ(AllFields(direct), AllFields(copied));
        EXPECT_EQ(directMessages.texts, messages.texts);

        ql::Variant changed = MakeUI4(99);
        CQuelkVariable record;
        record.Value.CopyFrom(*changed);
        ASSERT_HR(S_OK, copied.SetVariable(3, kFieldValue, record));
        messages.texts.clear();
        ULONG count = 0;
        ASSERT_HR(S_OK, DefineDeviceParameters(&copied, &count, &messages));
        EXPECT_EQ(121u, count);
        EXPECT_EQ("ui4:99", Describe(*copied.Find(3)->Value)) << "the first definition of an id stays";
        EXPECT_EQ(directMessages.texts, messages.texts);
    }
}

// The records of two datasets share what the table gave them; a write into one must never show in the
// other.
TEST(DefinedTableTest, DatasetsFromTheTableKeepTheirOwnFields) {
    CQuelkVariableStore first, second;
    ASSERT_HR(S_OK, DefineDeviceParameters(&first.Variables(), nullptr, nullptr));
    ASSERT_HR(S_OK, DefineDeviceParameters(&second.Variables(), nullptr, nullptr));
    constexpr ULONG kStatus = 112;  // enumerated, with the longest entry list
    const struct {
        ULONG mask;
        ql::Variant value;
    } cases[] = {
        {kFieldName, MakeBstr(L"Renamed")},
        {kFieldDescription, MakeBstr(L"Described")},
        {kFieldExportGroup, MakeBstr(L"Group")},
        {kFieldMinValue, MakeUI4(1)},
        {kFieldMaxValue, MakeUI4(2)},
        {kFieldDefaultValue, MakeUI4(3)},
        {kFieldValue, MakeUI4(4)},
        {kFieldEnumerationEntries, MakeBstr(L"1;One")},
        {kFieldDisplayAttribute, MakeUI4(5)},
        {kFieldUpdateRule, MakeBstr(L"update(113)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        ql::Variant before, written, untouched;
        ASSERT_HR(S_OK, second.GetVariableField(kStatus, c.mask, before.Put()));
        ASSERT_HR(S_OK, first.SetVariableField(kStatus, c.mask, *c.value));
        ASSERT_HR(S_OK, first.GetVariableField(kStatus, c.mask, written.Put()));
        ASSERT_HR(S_OK, second.GetVariableField(kStatus, c.mask, untouched.Put()));
        EXPECT_NE(Describe(*before), Describe(*written));
        EXPECT_EQ(Describe(*before), Describe(*untouched));
    }
}

}  // namespace
