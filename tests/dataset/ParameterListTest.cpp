// The parameter list: the exported document's exact form, the value texts that always import back, the
// import's matching rules, and the round trip of every persistent record with randomised values.
#include <random>
#include <string>

#include "RandomValues.h"
#include "XmlStoreTestSupport.h"
#include "dataset/ParameterListExport.h"
#include "dataset/ParameterListImport.h"
#include "dataset/ParameterListText.h"

namespace {

class ParameterListTest : public XmlStoreTest {
protected:
    std::string Export() {
        ql::Bstr text;
        EXPECT_HR(S_OK, ExportParameters(store(), &listHost_, text.Put()));
        return Narrow(text.Get());
    }
    HRESULT Import(const std::wstring& text) {
        ql::Bstr document(text);
        return ImportParameters(store(), listHost_, document.Get());
    }
    static std::wstring List(const std::wstring& entries) {
        return L"<?xml version=\"1.0\"?><PARAMETERS>" + entries + L"</PARAMETERS>";
    }
    static std::wstring Entry(const wchar_t* id, const wchar_t* type, const wchar_t* value) {
        return std::wstring(L"<Parameter id=\"") + id + L"\" name=\"n\" type=\"" + type + L"\" value=\"" +
               value + L"\"/>";
    }
};

TEST_F(ParameterListTest, TheExportIsTheExactDocumentOfThePersistentRecords) {
    const std::string text = Export();
    const std::string head = "<?xml version=\"1.0\"?> \r\n<PARAMETERS> \r\n";
    ASSERT_EQ(head, text.substr(0, head.size()));
    const std::string firstEntries =
        "<Parameter \r\n\tid    =\"1\" \r\n\tname  =\"Tag\" \r\n\ttype  =\"VT_BSTR\" \r\n\tvalue =\"VarnokP3 "
        "DTM\" "
        "\r\n/> \r\n<Parameter \r\n\tid    =\"3\" \r\n\tname  =\"Station Address\" \r\n\ttype  =\"VT_UI1\" "
        "\r\n\tvalue "
        "=\"0\" \r\n/> \r\n";
    EXPECT_EQ(firstEntries, text.substr(head.size(), firstEntries.size()));
    const std::string tail = "</PARAMETERS> \r\n";
    EXPECT_EQ(tail, text.substr(text.size() - tail.size()));

    // One entry per persistent record, in definition order; none for transient records.
    size_t entries = 0, position = 0;
    std::string order;
    while ((position = text.find("\tid    =\"", position)) != std::string::npos) {
        position += 9;
        order += text.substr(position, text.find('"', position) - position) + ",";
        ++entries;
    }
    size_t persistent = 0;
    std::string expectedOrder;
    for (ULONG i = 0; i < store().Variables().Count(); ++i) {
        CQuelkVariable record;
        ASSERT_HR(S_OK, store().Variables().GetVariableAt(static_cast<int>(i), &record));
        if (record.Persistent == 1) {
            ++persistent;
            expectedOrder += std::to_string(record.Id()) + ",";
        }
    }
    EXPECT_EQ(persistent, entries);
    EXPECT_EQ(expectedOrder, order);
    EXPECT_EQ(std::string::npos, text.find("name  =\"AllParam\""));

    // Progress for every record, then the display is hidden.
    const ULONG count = store().Variables().Count();
    ASSERT_EQ(count + 1, listHost_.progress.size());
    EXPECT_EQ("5/" + std::to_string(count) + " Export", listHost_.progress[5]);
    EXPECT_EQ("0/" + std::to_string(count) + " ", listHost_.progress.back());
}

TEST_F(ParameterListTest, ValueTextsAndTypeNames) {
    ql::Variant r4, r8, bools, empty, tiny;
    r4.SetR4(2.5f);
    r8.SetR8(-0.125);
    bools.SetBool(true);
    tiny.SetR4(1.2345678e-5f);
    const struct {
        const char* name;
        ql::Variant value;
        const char* type;
        const char* text;
    } cases[] = {
        {"float", std::move(r4), "VT_R4", "2.500000"},
        {"double", std::move(r8), "VT_R8", "-0.125000"},
        {"unsigned", MakeUI4(7), "VT_UI4", "7"},
        {"bytes", MakeBytes({0x0A, 0xFF}), "VT_UI1 | VT_ARRAY", "0AFF"},
        {"empty", std::move(empty), "VT_EMPTY", ""},
        {"bool", std::move(bools), "VT_BOOL", "True"},
        {"text", MakeBstr(L"a \"b\" <c>"), "VT_BSTR", "a \"b\" <c>"},
        // Six decimals would lose these: as many digits as it takes.
        {"small float", std::move(tiny), "VT_R4", "1.23456784e-05"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring type, text;
        ASSERT_HR(S_OK, ParameterListTypeName(c.value.Type(), type));
        ASSERT_HR(S_OK, ParameterListValueText(*c.value, text));
        EXPECT_EQ(c.type, ql::Utf8FromWide(type));
        EXPECT_EQ(c.text, ql::Utf8FromWide(text));
    }
    // A byte string is never cut (the display form stops after 255 digits).
    std::wstring text;
    ASSERT_HR(S_OK, ParameterListValueText(*MakeBytes({}), text));
    EXPECT_EQ(L"", text);
    ql::Variant long_bytes = MakeBytes({});
    {
        ql::SafeArray array;
        ASSERT_HR(S_OK, array.Create(VT_UI1, 200));
        ql::SafeArrayData<BYTE> data(array.Get());
        for (ULONG i = 0; i < 200; ++i) data[i] = 0xAB;
        long_bytes.AttachArray(VT_UI1, array.Detach());
    }
    ASSERT_HR(S_OK, ParameterListValueText(*long_bytes, text));
    EXPECT_EQ(400u, text.size());
}

TEST_F(ParameterListTest, MarkupInTextsIsEscapedAndImportsBack) {
    SetValue(1, *MakeBstr(L"a\"b<c&d>e"));
    const std::string text = Export();
    EXPECT_NE(std::string::npos, text.find("value =\"a&quot;b&lt;c&amp;d>e\"")) << text.substr(0, 200);
    SetValue(1, *MakeBstr(L"other"));
    ql::Bstr document(ql::WideFromUtf8(text));
    ASSERT_HR(S_OK, ImportParameters(store(), listHost_, document.Get()));
    EXPECT_EQ("bstr:'a\"b<c&d>e'", ValueOf(1));
}

TEST_F(ParameterListTest, NoBufferBoundsAnEntry) {
    // Far beyond the 392 bytes an entry's value once had, and beyond 127 bytes of a byte string.
    std::wstring tag(3000, L'x');
    tag += L"&end";
    SetValue(1, *MakeBstr(tag.c_str()));
    std::vector<BYTE> bytes(240);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i);
    SetValue(46, *MakeBytes(bytes));
    ql::Bstr text;
    ASSERT_HR(S_OK, ExportParameters(store(), &listHost_, text.Put()));
    SetValue(1, *MakeBstr(L""));
    SetValue(46, *MakeBytes({}));
    ASSERT_HR(S_OK, ImportParameters(store(), listHost_, text.Get()));
    ql::Variant value;
    ASSERT_HR(S_OK, store().GetValue(1, value.Put()));
    EXPECT_EQ(tag, vtest::StringOf(V_BSTR(value.Get())));
    EXPECT_EQ(Describe(*MakeBytes(bytes)), ValueOf(46));
}

TEST_F(ParameterListTest, ATextXmlCannotHoldFailsTheExport) {
    SetValue(1, *MakeBstr(L"bell\x07"));
    ql::Bstr text;
    EXPECT_HR(E_INVALIDARG, ExportParameters(store(), &listHost_, text.Put()));
    EXPECT_TRUE(text.IsNull());
    EXPECT_HR(E_POINTER, ExportParameters(store(), &listHost_, nullptr));
}

TEST_F(ParameterListTest, ImportTakesOnlyMatchingTypesAndConvertibleValues) {
    const struct {
        const char* name;
        std::wstring entries;
        ULONG id;
        const char* value;
    } cases[] = {
        {"matching type", Entry(L"16", L"VT_UI2", L"513"), 16, "ui2:513"},
        {"declared type, not the value's", Entry(L"16", L"VT_UI4", L"77"), 16, "ui2:0"},
        {"id with leading zeros", Entry(L"016", L"VT_UI2", L"77"), 16, "ui2:0"},
        {"first of two elements", Entry(L"16", L"VT_UI2", L"5") + Entry(L"16", L"VT_UI2", L"6"), 16, "ui2:5"},
        {"letters for a number", Entry(L"16", L"VT_UI2", L"abc"), 16, "ui2:0"},
        {"empty number", Entry(L"18", L"VT_UI2", L""), 18, "ui2:0"},
        {"odd hexadecimal digits", Entry(L"46", L"VT_UI1 | VT_ARRAY", L"0AF"), 46, "bytes:"},
        {"hexadecimal", Entry(L"46", L"VT_UI1 | VT_ARRAY", L"0aff"), 46, "bytes:0AFF"},
        {"unknown id", Entry(L"9999", L"VT_UI2", L"1"), 16, "ui2:0"},
        {"escaped text", Entry(L"1", L"VT_BSTR", L"x &amp; &quot;y&quot;"), 1, "bstr:'x & \"y\"'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        EXPECT_HR(S_OK, Import(List(c.entries)));
        EXPECT_EQ(c.value, ValueOf(c.id));
    }
}

TEST_F(ParameterListTest, ADocumentThatDoesNotLoadChangesNothing) {
    EXPECT_HR(E_FAIL, Import(L"<PARAMETERS><Parameter id=\"1\" type=\"VT_BSTR\" value=\"x\"></PARAMETERS>"));
    EXPECT_HR(E_FAIL, Import(L""));
    EXPECT_EQ("bstr:'VarnokP3 DTM'", ValueOf(1));
    EXPECT_FALSE(listHost_.reports.messages.empty()) << "the parse error goes to the frame";
    EXPECT_HR(E_POINTER, ImportParameters(store(), listHost_, nullptr));
    TestListHost noCache;
    ql::Bstr text(List(Entry(L"1", L"VT_BSTR", L"x")));
    EXPECT_HR(E_POINTER, ImportParameters(store(), noCache, text.Get()));
}

TEST_F(ParameterListTest, EveryPersistentRecordComesBackWithRandomisedValues) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        SetUp();
        std::mt19937 random(seed);
        std::vector<std::pair<ULONG, std::string>> expected;
        for (ULONG i = 0; i < store().Variables().Count(); ++i) {
            CQuelkVariable record;
            ASSERT_HR(S_OK, store().Variables().GetVariableAt(static_cast<int>(i), &record));
            if (record.Persistent != 1) continue;
            const ql::Variant value = randomvalues::RandomValueFor(record, random);
            ASSERT_HR(S_OK, store().SetValue(record.Id(), *value)) << record.Id();
            expected.emplace_back(record.Id(), ValueOf(record.Id()));
        }
        ql::Bstr text;
        ASSERT_HR(S_OK, ExportParameters(store(), &listHost_, text.Put()));

        ql::ComPtr<CTestStoreObject> fresh;
        ASSERT_HR(S_OK, ql::MakeObject(fresh));
        ASSERT_HR(S_OK, DefineDeviceParameters(&fresh->Store().Variables(), nullptr, nullptr));
        ASSERT_HR(S_OK, ImportParameters(fresh->Store(), listHost_, text.Get()));
        for (const auto& [id, value] : expected) {
            ql::Variant imported;
            ASSERT_HR(S_OK, fresh->Store().GetValue(id, imported.Put()));
            EXPECT_EQ(value, Describe(*imported)) << "parameter " << id;
        }
    }
}

}  // namespace
