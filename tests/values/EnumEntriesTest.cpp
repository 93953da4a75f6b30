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
