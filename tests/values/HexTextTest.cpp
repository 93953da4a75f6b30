// Byte arrays and their hexadecimal text, and byte arrays from streams on global memory.
#include <shlwapi.h>

#include "ValueTestSupport.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "values/HexText.h"

namespace {

const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<UINT_PTR>(0x1234));

ql::Variant TwoDimensionalBytes() {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    ql::Variant v;
    v.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, bounds));
    return v;
}

TEST(BytesToHexBstrTest, WritesTwoUpperCaseDigitsPerByte) {
    struct Case {
        const char* name;
        ql::Variant value;
        BOOL lenient;
        HRESULT hr;
        const wchar_t* text;  // null: *text untouched
    };
    ql::Variant i4;
    i4.SetI4(5);
    ql::Variant i4Again;
    i4Again.SetI4(5);
    Case cases[] = {
        {"three bytes", MakeBytes({0x0A, 0x1B, 0xFF}), FALSE, S_OK, L"0A1BFF"},
        {"lower bound is not consulted", MakeBytes({0x01, 0x02, 0x03}, 5), FALSE, S_OK, L"010203"},
        {"no bytes", MakeBytes({}), FALSE, S_OK, L""},
        {"no byte array, strict", std::move(i4), FALSE, E_INVALIDARG, nullptr},
        {"no byte array, lenient", std::move(i4Again), TRUE, S_OK, L""},
        {"two dimensions, strict", TwoDimensionalBytes(), FALSE, E_INVALIDARG, nullptr},
        {"two dimensions, lenient", TwoDimensionalBytes(), TRUE, E_INVALIDARG, nullptr},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        BSTR text = kUntouched;
        EXPECT_HR(c.hr, BytesToHexBstr(c.value.Get(), &text, c.lenient));
        if (!c.text) {
            EXPECT_EQ(kUntouched, text);
            continue;
        }
        ql::Bstr owned;
        owned.Attach(text);
        ASSERT_FALSE(owned.IsNull());  // an empty text is a real BSTR
        EXPECT_EQ(c.text, std::wstring(owned.View()));
    }

    ql::Variant noArray;
    noArray.AttachArray(VT_UI1, nullptr);
    BSTR text = kUntouched;
    EXPECT_HR(E_UNEXPECTED, BytesToHexBstr(noArray.Get(), &text, FALSE));
    EXPECT_EQ(nullptr, text);
    EXPECT_HR(E_POINTER, BytesToHexBstr(nullptr, &text, FALSE));
    EXPECT_HR(E_POINTER, BytesToHexBstr(noArray.Get(), nullptr, FALSE));
}

// An array too large for its text to be allocated answers E_OUTOFMEMORY, never S_OK with a null text.
// The descriptor is made by hand: its data is never read when the text cannot exist.
TEST(BytesToHexBstrTest, TextThatCannotBeAllocatedIsOutOfMemory) {
    BYTE data[4] = {};
    for (ULONG count : {0x7FFFFFFFul, 0x80000000ul, 0xFFFFFFFFul}) {
        SCOPED_TRACE(count);
        SAFEARRAY descriptor{};
        descriptor.cDims = 1;
        descriptor.fFeatures = FADF_STATIC | FADF_FIXEDSIZE;
        descriptor.cbElements = 1;
        descriptor.pvData = data;
        descriptor.rgsabound[0].cElements = count;
        VARIANT value;
        V_VT(&value) = VT_ARRAY | VT_UI1;
        value.parray = &descriptor;
        BSTR text = kUntouched;
        EXPECT_HR(E_OUTOFMEMORY, BytesToHexBstr(&value, &text, FALSE));
        EXPECT_EQ(nullptr, text);
        EXPECT_EQ(0u, descriptor.cLocks);
    }
}

TEST(HexBstrToByteArrayTest, ReadsEitherCaseAndRefusesAnyOtherCharacter) {
    struct Case {
        const char* name;
        std::wstring_view text;
        HRESULT hr;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"mixed case", L"0a1B", S_OK, {0x0A, 0x1B}},
        {"odd length", L"ABC", E_INVALIDARG, {}},
        {"no digit", L"0G", E_INVALIDARG, {}},
        // Only the characters before a NUL used to be checked: the pair after it decoded as garbage.
        {"NUL after a pair", std::wstring_view(L"0A\0\0", 4), E_INVALIDARG, {}},
        {"NUL inside a pair", std::wstring_view(L"0\0FF", 4), E_INVALIDARG, {}},
        {"NUL only", std::wstring_view(L"\0\0", 2), E_INVALIDARG, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr text;
        ASSERT_EQ(S_OK, text.Assign(c.text));
        ql::Variant value;
        value.SetI4(42);
        EXPECT_HR(c.hr, HexBstrToByteArray(value.Get(), text.Get(), TRUE));
        if (c.hr != S_OK) {
            EXPECT_EQ(VT_I4, value.Type());  // the output keeps what it held
            EXPECT_EQ(42, value->lVal);
            continue;
        }
        EXPECT_EQ(VT_ARRAY | VT_UI1, value.Type());
        EXPECT_EQ(c.bytes, Elements<BYTE>(*value));
    }
}

TEST(HexBstrToByteArrayTest, EmptyTextAndRoundTrip) {
    ql::Bstr empty(L"");
    for (BSTR text : {empty.Get(), static_cast<BSTR>(nullptr)}) {
        SCOPED_TRACE(text ? "empty" : "null");
        ql::Variant kept = MakeBstr(L"old");
        EXPECT_HR(S_OK, HexBstrToByteArray(kept.Get(), text, TRUE));
        EXPECT_EQ(VT_ARRAY | VT_UI1, kept.Type());
        EXPECT_EQ(0, LowerBound(*kept));
        EXPECT_TRUE(Elements<BYTE>(*kept).empty());
        ql::Variant cleared = MakeBstr(L"old");
        EXPECT_HR(S_OK, HexBstrToByteArray(cleared.Get(), text, FALSE));
        EXPECT_EQ(VT_EMPTY, cleared.Type());
    }

    const ql::Variant original = MakeBytes({0x00, 0x7F, 0x80, 0xFF}, 3);
    ql::Bstr text;
    ASSERT_HR(S_OK, BytesToHexBstr(original.Get(), text.Put(), FALSE));
    ql::Variant back;
    ASSERT_HR(S_OK, HexBstrToByteArray(back.Get(), text.Get(), TRUE));
    EXPECT_EQ(Elements<BYTE>(*original), Elements<BYTE>(*back));
    EXPECT_EQ(0, LowerBound(*back));
}

TEST(BytesToVariantArrayTest, CopiesTheWholeGlobalMemoryStream) {
    ql::ComPtr<IStream> stream;
    ASSERT_HR(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()));
    ql::Variant value;
    EXPECT_HR(E_NOTIMPL, BytesToVariantArray(stream.Get(), value.Get()));

    const BYTE bytes[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x00};
    ASSERT_HR(S_OK, stream->Write(bytes, sizeof bytes, nullptr));  // leaves the position at the end
    ASSERT_HR(S_OK, BytesToVariantArray(stream.Get(), value.Get()));
    EXPECT_EQ(VT_ARRAY | VT_UI1, value.Type());
    EXPECT_EQ(0, LowerBound(*value));
    EXPECT_EQ(std::vector<BYTE>(bytes, bytes + sizeof bytes), Elements<BYTE>(*value));

    ql::ComPtr<IStream> memoryStream;
    memoryStream.Attach(::SHCreateMemStream(bytes, sizeof bytes));
    ASSERT_TRUE(memoryStream);
    HGLOBAL ignored = nullptr;
    const HRESULT notGlobal = ::GetHGlobalFromStream(memoryStream.Get(), &ignored);
    ASSERT_TRUE(FAILED(notGlobal));
    ql::Variant untouched;
    EXPECT_HR(notGlobal, BytesToVariantArray(memoryStream.Get(), untouched.Get()));
    EXPECT_EQ(VT_EMPTY, untouched.Type());
    EXPECT_HR(E_POINTER, BytesToVariantArray(nullptr, untouched.Get()));
    EXPECT_HR(E_POINTER, BytesToVariantArray(stream.Get(), nullptr));
}

}  // namespace
