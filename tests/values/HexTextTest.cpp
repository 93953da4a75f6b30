// Byte arrays and their hexadecimal text, and byte arrays from streams on global memory.
#include <shlwapi.h>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "tests/support/HResultText.h"
#include "tests/support/TestVariants.h"
#include "values/HexText.h"

namespace {

using namespace vtest;

const BSTR kUntouched = reinterpret_cast<BSTR>(static_cast<UINT_PTR>(0x1234));

TEST(BytesToHexBstrTest, WritesTwoUpperCaseDigitsPerByte) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    ql::Variant twoDimensions, noArray;
    twoDimensions.AttachArray(VT_UI1, ::SafeArrayCreate(VT_UI1, 2, bounds));
    noArray.AttachArray(VT_UI1, nullptr);
    const struct {
        const char* name;
        ql::Variant value;
        BOOL lenient;
        HRESULT hr;
        const wchar_t* text;  // null: *text untouched
    } cases[] = {
        {"three bytes", MakeBytes({0x0A, 0x1B, 0xFF}), FALSE, S_OK, L"0A1BFF"},
        {"no bytes", MakeBytes({}), FALSE, S_OK, L""},
        {"no byte array, strict", MakeI4(5), FALSE, E_INVALIDARG, nullptr},
        {"two dimensions, lenient", std::move(twoDimensions), TRUE, E_INVALIDARG, nullptr},
    };
    for (const auto& c : cases) {
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
        EXPECT_EQ(c.text, owned.View());
    }
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
    const struct {
        const char* name;
        std::wstring_view text;
        HRESULT hr;
    } cases[] = {
        {"mixed case", L"0a1B", S_OK},
        {"odd length", L"ABC", E_INVALIDARG},
        {"no digit", L"0G", E_INVALIDARG},
        // Only the characters before a NUL used to be checked: the pair after it decoded as garbage.
        {"NUL after a pair", std::wstring_view(L"0A\0\0", 4), E_INVALIDARG},
        {"NUL inside a pair", std::wstring_view(L"0\0FF", 4), E_INVALIDARG},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr text;
        ASSERT_EQ(S_OK, text.Assign(c.text));
        ql::Variant value = MakeI4(42);
        EXPECT_HR(c.hr, HexBstrToByteArray(value.Get(), text.Get(), TRUE));
        EXPECT_EQ(c.hr == S_OK ? "bytes:0A1B" : "i4:42", Describe(*value));  // a failure keeps what it held
    }
}

}  // namespace
