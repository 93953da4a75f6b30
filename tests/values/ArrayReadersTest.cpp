// The value functions that read a caller's array (byte views and copies, hex text, the conversion to text,
// the value comparison, entry lists), each given arrays that do not hold what their VARIANT claims: every
// one refuses them without reading a byte of them, and answers sound arrays as it always did.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/SafeArray.h"
#include "classlib/Utf8.h"
#include "tests/support/CallerTexts.h"
#include "tests/support/HResultText.h"
#include "tests/support/HostileArrays.h"
#include "values/Bytes.h"
#include "values/EnumEntries.h"
#include "values/HexText.h"
#include "values/ValueComparison.h"
#include "values/VariantParts.h"
#include "values/VariantConversion.h"

namespace {

using namespace vtest;

constexpr ULONG kElements = 20;

// What a reader answered: its HRESULT and what it gave back.
std::string Answer(HRESULT hr, const std::string& result) { return HResultName(hr) + " " + result; }

std::string TextAnswer(HRESULT hr, BSTR text) {
    return Answer(hr, text ? "'" + ql::Utf8FromWide(StringOf(text)) + "'" : "null");
}

std::string HexText(const VARIANT& value, BOOL lenient) {
    BSTR text = nullptr;
    const HRESULT hr = BytesToHexBstr(&value, &text, lenient);
    ql::Bstr owned;
    owned.Attach(text);
    return TextAnswer(hr, owned.Get());
}

struct Reader {
    const char* name;
    VARTYPE claimed;
    std::string refusal;  // to every hostile shape
    std::string sound;    // to LetterBytes(kElements), or to the sound list for entry lists
    std::function<std::string(const VARIANT& value)> read;
};

const std::string kLetterHex = "4142434445464748494A4B4C4D4E4F5051525354";

std::vector<Reader> Readers() {
    return {
        {"ByteArrayView", VT_UI1, Answer(DISP_E_TYPEMISMATCH, "0"), Answer(S_OK, "20"),
         [](const VARIANT& value) {
             const ByteArrayView view(value);
             return Answer(view.Status(), std::to_string(view.Size()));
         }},
        {"CopyByteArray", VT_UI1, Answer(DISP_E_TYPEMISMATCH, "1"), Answer(S_OK, "20"),
         [](const VARIANT& value) {
             std::vector<BYTE> bytes(1);
             const HRESULT hr = CopyByteArray(value, bytes);
             return Answer(hr, std::to_string(bytes.size()));
         }},
        {"BytesToHexBstr", VT_UI1, Answer(E_INVALIDARG, "null"), Answer(S_OK, "'" + kLetterHex + "'"),
         [](const VARIANT& value) { return HexText(value, FALSE); }},
        {"BytesToHexBstr, lenient", VT_UI1, Answer(S_OK, "''"), Answer(S_OK, "'" + kLetterHex + "'"),
         [](const VARIANT& value) { return HexText(value, TRUE); }},
        {"ConvertVariantType to text", VT_UI1, Answer(E_INVALIDARG, "empty"),
         Answer(S_OK, "bstr:'" + kLetterHex + "'"),
         [](const VARIANT& value) {
             ql::Variant text;
             const HRESULT hr = ConvertVariantType(text.Get(), &value, VT_BSTR, 0, 0);
             return Answer(hr, Describe(*text));
         }},
        {"ConvertVariantType to numbers", VT_UI1, Answer(DISP_E_TYPEMISMATCH, "empty"),
         Answer(S_OK, "20 of 4"),
         [](const VARIANT& value) {
             ql::Variant numbers;
             const HRESULT hr = ConvertVariantType(numbers.Get(), &value, VT_ARRAY | VT_I4, 0, 0);
             if (numbers.Type() != (VT_ARRAY | VT_I4)) return Answer(hr, Describe(*numbers));
             const SAFEARRAY& array = *V_ARRAY(numbers.Get());
             return Answer(
                 hr, std::to_string(ql::ElementCount(array)) + " of " + std::to_string(array.cbElements));
         }},
        {"EveryPart", VT_UI1, Answer(S_OK, "0"), Answer(S_OK, "1"),
         [](const VARIANT& value) {
             return Answer(S_OK, std::to_string(EveryPart(value, [](VARTYPE, const void*) { return true; })));
         }},
        {"IsVariantEqual, first", VT_UI1, Answer(S_OK, "0"), Answer(S_OK, "1"),
         [](const VARIANT& value) {
             return Answer(S_OK, std::to_string(IsVariantEqual(value, *LetterBytes(kElements))));
         }},
        {"IsVariantEqual, second", VT_UI1, Answer(S_OK, "0"), Answer(S_OK, "1"),
         [](const VARIANT& value) {
             return Answer(S_OK, std::to_string(IsVariantEqual(*LetterBytes(kElements), value)));
         }},
        {"GetEnumListCount", VT_BSTR, Answer(E_INVALIDARG, "0"), Answer(S_OK, "20"),
         [](const VARIANT& value) {
             ULONG count = 99;
             const HRESULT hr = GetEnumListCount(value, &count);
             return Answer(hr, std::to_string(count));
         }},
        {"GetEnumListEntry", VT_BSTR, Answer(E_INVALIDARG, "null"), Answer(S_OK, "'second'"),
         [](const VARIANT& value) {
             long code = 0;
             BSTR text = nullptr;
             const HRESULT hr = GetEnumListEntry(value, 1, &code, &text);
             ql::Bstr owned;
             owned.Attach(text);
             return TextAnswer(hr, owned.Get());
         }},
        {"GetEnumEntryByValue", VT_BSTR, Answer(S_OK, "0"), Answer(S_OK, "1"),
         [](const VARIANT& value) {
             ULONG index = 0;
             ql::Bstr text;
             return Answer(S_OK, std::to_string(GetEnumEntryByValue(value, 3, &index, text.Put())));
         }},
    };
}

// An entry list of 20 entries, "1;first", "2;second", "3;third" over and over.
ql::Variant SoundEntryList() {
    const wchar_t* const entries[] = {L"1;first", L"2;second", L"3;third"};
    std::vector<const wchar_t*> list;
    for (ULONG i = 0; i < kElements; ++i) list.push_back(entries[i % 3]);
    return MakeArray<const wchar_t*>(VT_BSTR, list);
}

TEST(ArrayReadersTest, EveryReaderRefusesArraysThatDoNotHoldWhatTheyClaim) {
    const CallerTexts caller;
    for (const Reader& reader : Readers()) {
        const std::vector<NamedValue> shapes = HostileArrays(reader.claimed, caller.Texts(), kElements);
        for (const NamedValue& shape : shapes) {
            // Texts the platform owns are what an entry list holds: that shape is sound for it.
            if (reader.claimed == VT_BSTR && std::string(shape.name) == "texts") continue;
            SCOPED_TRACE(testing::Message() << reader.name << ", " << shape.name);
            EXPECT_EQ(reader.refusal, reader.read(*shape.value));
            EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
        }
    }
}

TEST(ArrayReadersTest, SoundArraysKeepTheirAnswers) {
    for (const Reader& reader : Readers()) {
        SCOPED_TRACE(reader.name);
        const ql::Variant sound = reader.claimed == VT_BSTR ? SoundEntryList() : LetterBytes(kElements);
        EXPECT_EQ(reader.sound, reader.read(*sound));
    }
}

}  // namespace
