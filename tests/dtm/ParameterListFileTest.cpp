// The parameter list as frames keep it in files: the real DTM's IDtmImportExport with lists written in
// every encoding, lists that try to set what the user could not, and characters XML cannot hold.
#include <string>

#include "ParameterListTestSupport.h"
#include "classlib/Utf8.h"

namespace dtmtest {
namespace {

TEST_F(ParameterListFileTest, ExportWritesUtf8ThatImportsBackWhole) {
    ASSERT_NO_FATAL_FAILURE(ConfigureAs(L"planningEngineer"));
    const std::wstring tag = L"caf\u00E9 \u65E5\u672C";
    SetTag(tag);
    const std::string text = Export();
    EXPECT_EQ(0u, text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_NE(std::string::npos, text.find("value =\"" + ql::Utf8FromWide(tag) + "\""));
    SetTag(L"other");
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_HR(S_OK, Import(text, &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(tag, Tag());
}

TEST_F(ParameterListFileTest, AListIsReadInTheEncodingItCarries) {
    const std::string entry = Entry(1, "VT_BSTR", "caf\xC3\xA9");  // UTF-8
    const std::string ansiEntry = Entry(1, "VT_BSTR", "caf\xE9");  // windows-1252
    std::string utf16;                                             // UTF-16, little end first
    for (wchar_t c : ql::WideFromUtf8(List("<?xml version=\"1.0\"?>", entry))) {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    const struct {
        const char* name;
        std::string text;
        VARIANT_BOOL ok;
        const wchar_t* tag;
    } cases[] = {
        {"UTF-8 without a declaration", List("<?xml version=\"1.0\"?>", entry), VARIANT_TRUE, L"caf\u00E9"},
        {"ANSI written before UTF-8", List("<?xml version=\"1.0\"?>", ansiEntry), VARIANT_TRUE, L"caf\u00E9"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + List("", entry), VARIANT_TRUE, L"caf\u00E9"},
        {"UTF-16 with its mark", "\xFF\xFE" + utf16, VARIANT_TRUE, L"caf\u00E9"},
        {"declared windows-1252", List("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", ansiEntry),
         VARIANT_TRUE, L"caf\u00E9"},
        {"declared UTF-8 that is none", List("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", ansiEntry),
         VARIANT_FALSE, L"before"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(ConfigureAs(L"planningEngineer"));
        SetTag(L"before");
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_HR(c.ok == VARIANT_TRUE ? S_OK : S_FALSE, Import(c.text, &ok));
        EXPECT_EQ(c.ok, ok);
        EXPECT_EQ(c.tag, Tag());
    }
}

// A list refused as a whole changes nothing and tells the frame why, in one message.
TEST_F(ParameterListFileTest, AListRefusedAsAWholeTellsTheFrameWhy) {
    const std::string entry = Entry(1, "VT_BSTR", "after");
    auto declared = [&](const char* encoding, const std::string& entries) {
        return List(std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?>", entries);
    };
    const std::string list = List("", entry);
    const struct {
        const char* name;
        Bytes stream;
        const wchar_t* reason;
    } cases[] = {
        {"Shift_JIS", Framed(declared("Shift_JIS", entry)), L"no text the DTM can read"},
        {"UTF-32", Framed(declared("UTF-32", entry)), L"no text the DTM can read"},
        {"an unknown encoding", Framed(declared("x-varnok", entry)), L"no text the DTM can read"},
        {"declared UTF-8 that is none", Framed(declared("UTF-8", Entry(1, "VT_BSTR", "caf\xE9"))),
         L"no text the DTM can read"},
        {"a length beyond the data", Framed(list, list.size() + 1), L"ends before the"},
        {"no length", Bytes{0x10, 0x00}, L"ends before the length"},
        {"a length beyond any list", Framed(list, 0x7FFFFFFF), L"more than the"},
        {"an empty list", Framed(""), L"ParseError"},
        {"no XML", Framed("PARAMETERS"), L"ParseError"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(ConfigureAs(L"planningEngineer"));
        SetTag(L"before");
        frame_->ClearCalls();
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_HR(S_FALSE, ImportStream(c.stream, &ok));
        EXPECT_EQ(VARIANT_FALSE, ok);
        EXPECT_EQ(L"before", Tag());
        ASSERT_EQ(1u, frame_->CountCalls(L"NotifyErrorMessage"));
        const std::wstring& message = frame_->LastCall(L"NotifyErrorMessage")->Arguments[1];
        EXPECT_NE(std::wstring::npos, message.find(c.reason)) << ql::Utf8FromWide(message);
    }
}

// A list sets only what the user could set through the DTM; what it skips, the frame hears of.
TEST_F(ParameterListFileTest, ImportTakesOnlyWhatTheUserCouldSet) {
    const std::string tagBytes(2 * 32, '4');  // 32 bytes of 0x44: the tag's own length
    const struct {
        const char* name;
        const wchar_t* level;
        ULONG id;
        std::string type;
        std::string value;
        bool taken;
    } cases[] = {
        {"software revision", L"planningEngineer", 23, "VT_BSTR", "9.9", false},
        {"manufacturer", L"planningEngineer", 25, "VT_UI2", "7", false},
        {"device id", L"planningEngineer", 26, "VT_BSTR", "other", false},
        {"transient record", L"planningEngineer", 12, "VT_BSTR", "x", false},
        {"service password", L"planningEngineer", 11, "VT_BSTR", "ozq", false},
        {"strategy by an operator", L"operator", 18, "VT_UI2", "5", false},
        {"station address 200", L"planningEngineer", 3, "VT_UI1", "200", false},
        {"target mode 77", L"planningEngineer", 20, "VT_UI1", "77", false},
        {"negative duct width", L"planningEngineer", 51, "VT_R4", "-1.000000", false},
        {"tag of one byte", L"planningEngineer", 17, "VT_UI1 | VT_ARRAY", "41", false},
        {"tag of 100000 bytes", L"planningEngineer", 17, "VT_UI1 | VT_ARRAY", std::string(200000, '4'),
         false},
        {"tag of its length", L"planningEngineer", 17, "VT_UI1 | VT_ARRAY", tagBytes, true},
        {"station address by an operator", L"operator", 3, "VT_UI1", "42", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(ConfigureAs(c.level));
        const std::string before = Describe(*dtm_->Store().Variables().Find(c.id)->Value);
        frame_->ClearCalls();
        VARIANT_BOOL ok = VARIANT_FALSE;
        EXPECT_HR(S_OK, Import(List("", Entry(c.id, c.type, c.value)), &ok));
        EXPECT_EQ(c.taken ? VARIANT_TRUE : VARIANT_FALSE, ok);
        const std::string after = Describe(*dtm_->Store().Variables().Find(c.id)->Value);
        EXPECT_EQ(c.taken, before != after) << after;
        const FrameCall* message = frame_->LastCall(L"NotifyErrorMessage");
        EXPECT_EQ(c.taken, message == nullptr);
        if (message) {
            EXPECT_NE(std::wstring::npos, message->Arguments[1].find(L"1 parameters"));
        }
    }
}

// One character XML cannot hold (a control byte in a text read from the device) costs neither the list nor
// the parameter document: it is written replaced.
TEST_F(ParameterListFileTest, ACharacterXmlCannotHoldIsWrittenReplaced) {
    ASSERT_NO_FATAL_FAILURE(ConfigureAs(L"planningEngineer"));
    SetTag(
        L"FT\x01"
        L"101");
    EXPECT_NE(std::string::npos, Export().find("value =\"FT\xEF\xBF\xBD"
                                               "101\""));

    ql::ComPtr<IDtmParameter> parameters;
    ASSERT_HR(S_OK, dtm_->QueryInterface(IID_IDtmParameter, parameters.PutVoid()));
    ql::Bstr path(L"\\"), document;
    ASSERT_HR(S_OK, parameters->GetParameters(path.Get(), document.Put()));
    EXPECT_NE(std::wstring::npos, document.View().find(L"fdt:tag=\"FT\uFFFD"
                                                       L"101\""));
}

}  // namespace
}  // namespace dtmtest
