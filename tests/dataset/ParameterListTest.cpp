// The parameter list: the exported document's exact form, the value texts that always import back, the
// import's matching rules, and the round trip of every persistent record with randomised values.
#include <cstdio>
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
        return ImportParameters(store(), listHost_, document.Get(), skips_);
    }
    static std::wstring List(const std::wstring& entries) {
        return L"<?xml version=\"1.0\"?><PARAMETERS>" + entries + L"</PARAMETERS>";
    }
    static std::wstring Entry(const wchar_t* id, const wchar_t* type, const wchar_t* value) {
        return std::wstring(L"<Parameter id=\"") + id + L"\" name=\"n\" type=\"" + type + L"\" value=\"" +
               value + L"\"/>";
    }

    ParameterListSkips skips_;
};

TEST_F(ParameterListTest, TheExportIsTheExactDocumentOfThePersistentRecords) {
    const std::string text = Export();
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> \r\n<PARAMETERS> \r\n";
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

TEST_F(ParameterListTest, MarkupInTextsIsEscapedAndImportsBack) {
    SetValue(1, *MakeBstr(L"a\"b<c&d>e"));
    const std::string text = Export();
    EXPECT_NE(std::string::npos, text.find("value =\"a&quot;b&lt;c&amp;d>e\"")) << text.substr(0, 200);
    SetValue(1, *MakeBstr(L"other"));
    ql::Bstr document(ql::WideFromUtf8(text));
    ASSERT_HR(S_OK, ImportParameters(store(), listHost_, document.Get(), skips_));
    EXPECT_EQ("bstr:'a\"b<c&d>e'", ValueOf(1));
}

TEST_F(ParameterListTest, NoBufferBoundsAnEntry) {
    // Far beyond the 392 bytes an entry's value once had, and beyond 127 bytes of a byte string.
    std::wstring tag(3000, L'x');
    tag += L"&end";
    SetValue(1, *MakeBstr(tag.c_str()));
    std::vector<BYTE> bytes(240);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i);
    SetValue(70, *MakeBytes(bytes));
    ql::Bstr text;
    ASSERT_HR(S_OK, ExportParameters(store(), &listHost_, text.Put()));
    SetValue(1, *MakeBstr(L""));
    SetValue(70, *MakeBytes({}));
    ASSERT_HR(S_OK, ImportParameters(store(), listHost_, text.Get(), skips_));
    ql::Variant value;
    ASSERT_HR(S_OK, store().GetValue(1, value.Put()));
    EXPECT_EQ(tag, vtest::StringOf(V_BSTR(value.Get())));
    EXPECT_EQ(Describe(*MakeBytes(bytes)), ValueOf(70));
}

// A number is read in the list's one strict form; an empty value is 0, as the value conversion reads an
// empty text, so a list that leaves a number empty sets it to 0 rather than keeping the old value.
TEST_F(ParameterListTest, NumbersAreReadStrictlyAndAnEmptyValueIsZero) {
    const struct {
        const wchar_t* id;
        const wchar_t* type;
        const wchar_t* value;
        const char* expected;
    } cases[] = {
        {L"73", L"VT_UI2", L"", "ui2:0"},        {L"39", L"VT_R4", L"", "r4:0"},
        {L"73", L"VT_UI2", L"12", "ui2:12"},     {L"73", L"VT_UI2", L" ", "ui2:270"},
        {L"73", L"VT_UI2", L" 12", "ui2:270"},   {L"73", L"VT_UI2", L"12 ", "ui2:270"},
        {L"73", L"VT_UI2", L"+12", "ui2:270"},   {L"73", L"VT_UI2", L"0x12", "ui2:270"},
        {L"73", L"VT_UI2", L"65536", "ui2:270"}, {L"73", L"VT_UI2", L"-1", "ui2:270"},
        {L"39", L"VT_R4", L"nan", "r4:1"},       {L"39", L"VT_R4", L"1,5", "r4:1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "'" << ql::Utf8FromWide(c.value) << "' as " << ql::Utf8FromWide(c.type));
        SetUp();
        EXPECT_HR(S_OK, Import(List(Entry(c.id, c.type, c.value))));
        EXPECT_EQ(c.expected, ValueOf(static_cast<ULONG>(std::stoul(c.id))));
    }
}

TEST_F(ParameterListTest, ADocumentThatDoesNotLoadChangesNothing) {
    EXPECT_HR(E_FAIL, Import(L"<PARAMETERS><Parameter id=\"1\" type=\"VT_BSTR\" value=\"x\"></PARAMETERS>"));
    EXPECT_HR(E_FAIL, Import(L""));
    EXPECT_EQ("bstr:'VarnokP3 DTM'", ValueOf(1));
    EXPECT_FALSE(listHost_.reports.messages.empty()) << "the parse error goes to the frame";
    EXPECT_HR(E_POINTER, ImportParameters(store(), listHost_, nullptr, skips_));
    TestListHost noCache;
    ql::Bstr text(List(Entry(L"1", L"VT_BSTR", L"x")));
    EXPECT_HR(E_POINTER, ImportParameters(store(), noCache, text.Get(), skips_));
}

TEST_F(ParameterListTest, EveryRecordAListMaySetComesBackWithRandomisedValues) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        SetUp();
        std::mt19937 random(seed);
        std::vector<std::pair<ULONG, std::string>> expected;
        for (ULONG i = 0; i < store().Variables().Count(); ++i) {
            CQuelkVariable record;
            ASSERT_HR(S_OK, store().Variables().GetVariableAt(static_cast<int>(i), &record));
            if (!randomvalues::IsSetByLists(record)) continue;
            const ql::Variant value = randomvalues::RandomValueFor(record, random);
            ASSERT_HR(S_OK, store().SetValue(record.Id(), *value)) << record.Id();
            expected.emplace_back(record.Id(), ValueOf(record.Id()));
        }
        ql::Bstr text;
        ASSERT_HR(S_OK, ExportParameters(store(), &listHost_, text.Put()));

        ql::ComPtr<CTestStoreObject> fresh;
        ASSERT_HR(S_OK, ql::MakeObject(fresh));
        ASSERT_HR(S_OK, DefineDeviceParameters(&fresh->Store().Variables(), nullptr, nullptr));
        ASSERT_HR(S_OK, ImportParameters(fresh->Store(), listHost_, text.Get(), skips_));
        EXPECT_EQ(0u, skips_.Total());
        for (const auto& [id, value] : expected) {
            ql::Variant imported;
            ASSERT_HR(S_OK, fresh->Store().GetValue(id, imported.Put()));
            EXPECT_EQ(value, Describe(*imported)) << "parameter " << id;
        }
    }
}

// A large list (the DTM takes up to 16 MiB) is walked once: the import costs little beyond loading the
// document, instead of one search of the whole document per record.
TEST_F(ParameterListTest, ALargeListIsWalkedOnce) {
    std::wstring entries;
    for (int i = 0; i < 20000; ++i) entries += Entry(L"9999", L"VT_UI1", L"1");
    entries += Entry(L"3", L"VT_UI1", L"42");
    ql::Bstr text(List(entries));
    auto seconds = [](auto&& work) {
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    const double load = seconds([&] {
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, listHost_.LoadParameterList(text.Get(), document.Put(), &loaded));
    });
    const double import =
        seconds([&] { EXPECT_HR(S_OK, ImportParameters(store(), listHost_, text.Get(), skips_)); });
    EXPECT_EQ("ui1:42", ValueOf(3));
    EXPECT_LT(import, 4 * load) << "load " << load << " s, import " << import << " s";
    std::printf("load %.3f s, import %.3f s\n", load, import);
}

}  // namespace
