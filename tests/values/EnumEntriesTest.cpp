// Reading EnumEntryArray entries: code with "%ld;", text after the first semicolon.
#include "classlib/Bstr.h"
#include "classlib/Utf8.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"
#include "values/EnumEntries.h"

namespace {

using namespace vtest;

const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<UINT_PTR>(0x1234));

TEST(EnumEntriesTest, EntriesReadCodeAndText) {
    const struct {
        const wchar_t* entry;  // null: a null BSTR entry
        HRESULT hr;
        long code;
        const wchar_t* text;
    } cases[] = {
        {L"128;Out Of Service", S_OK, 128, L"Out Of Service"},
        {L"42", S_OK, 42, L"42"},
        {L"7;", S_OK, 7, L""},
        {L"-3;Minus", S_OK, -3, L"Minus"},
        {L" 5 ;t", S_OK, 5, L"t"},
        {L"5; t", S_OK, 5, L" t"},
        {L"0x10;x", S_OK, 0, L"x"},
        {L"1;a;b", S_OK, 1, L"a;b"},
        {L";x", E_UNEXPECTED, 0, nullptr},
        {L"Auto", E_UNEXPECTED, 0, nullptr},
        {L"", E_UNEXPECTED, 0, nullptr},
        {nullptr, E_UNEXPECTED, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry ? ql::Utf8FromWide(c.entry) : "<null>");
        // Lower bound 3: entries are addressed from the start of the data. The element is a real BSTR: the
        // array copies it by its length prefix.
        const ql::Bstr entry(c.entry);
        const ql::Variant list = MakeArray<const wchar_t*>(VT_BSTR, {entry.Get()}, 3);
        long code = -99;
        BSTR text = kUntouched;
        EXPECT_HR(c.hr, GetEnumListEntry(*list, 0, &code, &text));
        if (c.hr != S_OK) {
            EXPECT_EQ(-99, code);
            EXPECT_EQ(kUntouched, text);
            continue;
        }
        ql::Bstr owned;
        owned.Attach(text);
        EXPECT_EQ(c.code, code);
        EXPECT_EQ(c.text, owned.View());
    }
}

}  // namespace

namespace {

// The search by code reads most entries' codes straight from their wide text; it must find what the
// entry's ANSI form read with "%ld;" (GetEnumListEntry) gives, for every entry: white space and signs,
// numbers near and beyond the overflow, and characters beyond ASCII that the code page may turn into
// digits or spaces.
TEST(EnumEntriesTest, SearchByCodeAgreesWithTheAnsiReading) {
    constexpr long kMarker = 424242;  // the code of the entry that follows the one under test
    const wchar_t* const entries[] = {
        L"8;Auto",
        L" 5 ;t",
        L"\t\n\v\f\r-12;ctl",
        L"+7;plus",
        L"-0;zero",
        L"0x10;x",
        L"123456789;nine",
        L"1234567890;ten",
        L"99999999999;over",
        L"-99999999999;under",
        L"\uFF11\uFF12;full",
        L"12\uFF13;x",
        L"\u3000 7;wide space",
        L"5\u00E9;accent",
        L"\u00A05;nbsp",
        L"+",
        L"-;minus",
        L"+ 5;gap",
        L"Auto",
        L";x",
        L"",
    };
    for (const wchar_t* text : entries) {
        SCOPED_TRACE(ql::Utf8FromWide(text));
        const ql::Bstr entry(text), marker(L"424242;marker");
        const ql::Variant list = MakeArray<const wchar_t*>(VT_BSTR, {entry.Get(), marker.Get()}, 0);
        long code = 0;
        BSTR first = nullptr;
        const HRESULT read = GetEnumListEntry(*list, 0, &code, &first);
        ql::Bstr firstText;
        firstText.Attach(first);

        ULONG index = 99;
        ql::Bstr found;
        if (FAILED(read)) {
            // A malformed entry ends every search.
            EXPECT_FALSE(GetEnumEntryByValue(*list, kMarker, &index, found.Put()));
            continue;
        }
        ASSERT_NE(kMarker, code);
        ASSERT_TRUE(GetEnumEntryByValue(*list, code, &index, found.Put()));
        EXPECT_EQ(0u, index);
        EXPECT_EQ(firstText.View(), found.View());
        ASSERT_TRUE(GetEnumEntryByValue(*list, kMarker, &index, found.Put()));
        EXPECT_EQ(1u, index);
    }
}

}  // namespace
