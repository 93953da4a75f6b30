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
        // Lower bound 3: entries are addressed from the start of the data.
        const ql::Variant list = MakeArray<const wchar_t*>(VT_BSTR, {c.entry}, 3);
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

TEST(EnumEntriesTest, ListChecks) {
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
    ql::Variant nullArray, twoDimensions;
    nullArray.AttachArray(VT_BSTR, nullptr);
    twoDimensions.AttachArray(VT_BSTR, ::SafeArrayCreate(VT_BSTR, 2, bounds));
    const struct {
        const char* name;
        ql::Variant list;
        HRESULT hr;
    } cases[] = {
        {"VT_EMPTY", ql::Variant(), E_INVALIDARG},
        {"no BSTR array", MakeArray<LONG>(VT_I4, {8}), E_INVALIDARG},
        {"null array", std::move(nullArray), E_UNEXPECTED},
        {"two dimensions", std::move(twoDimensions), E_INVALIDARG},
        {"no entries", MakeArray<const wchar_t*>(VT_BSTR, {}), S_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ULONG count = 99;
        EXPECT_HR(c.hr, GetEnumListCount(*c.list, &count));
        EXPECT_EQ(0u, count);
        long code = 0;
        BSTR text = kUntouched;
        EXPECT_HR(c.hr == S_OK ? E_UNEXPECTED : c.hr, GetEnumListEntry(*c.list, 0, &code, &text));
        ULONG index = 77;
        EXPECT_FALSE(GetEnumEntryByValue(*c.list, 8, &index, &text));
        EXPECT_EQ(77u, index);
        EXPECT_EQ(kUntouched, text);
    }
    EXPECT_HR(E_POINTER, GetEnumListCount(*cases[4].list, nullptr));
}

TEST(EnumEntriesTest, LookupFindsTheFirstEntryAndStopsAtAMalformedOne) {
    const ql::Variant list =
        MakeArray<const wchar_t*>(VT_BSTR, {L"8;Auto", L"16;Manual", L"16;Again", L"x", L"4;Late"});
    ULONG count = 0;
    EXPECT_HR(S_OK, GetEnumListCount(*list, &count));
    EXPECT_EQ(5u, count);
    long code = 0;
    BSTR text = kUntouched;
    EXPECT_HR(E_UNEXPECTED, GetEnumListEntry(*list, 5, &code, &text));
    ULONG index = 0;
    ql::Bstr found;
    ASSERT_TRUE(GetEnumEntryByValue(*list, 16, &index, found.Put()));
    EXPECT_EQ(1u, index);
    EXPECT_EQ(L"Manual", found.View());
    index = 77;
    text = kUntouched;
    EXPECT_FALSE(GetEnumEntryByValue(*list, 4, &index, &text));  // the search ends at "x"
    EXPECT_FALSE(GetEnumEntryByValue(*list, 99, &index, &text));
    EXPECT_EQ(77u, index);
    EXPECT_EQ(kUntouched, text);
}

}  // namespace
