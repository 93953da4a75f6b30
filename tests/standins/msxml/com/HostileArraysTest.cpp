// Byte arrays a caller hands the XML library that do not hold bytes: load and a binary node's typed value
// refuse them without reading them, and the document stays as it was. Sound byte arrays keep their answers.
#include "MsxmlTestSupport.h"
#include "classlib/Utf8.h"
#include "tests/support/CallerTexts.h"
#include "tests/support/HostileArrays.h"

namespace msxmltest {
namespace {

using HostileArraysTest = MsxmlTest;

constexpr ULONG kElements = 20;
constexpr const wchar_t* kBinaryTypes[] = {L"bin.hex", L"bin.base64"};

// A document whose element `v` holds no text and is typed `dataType`.
ql::ComPtr<IXMLDOMNode> TypedElement(ql::ComPtr<IXMLDOMDocument2>& document, const wchar_t* dataType) {
    ql::ComPtr<IXMLDOMNode> element = SelectSingle(document.Get(), L"v");
    EXPECT_TRUE(element);
    if (element) {
        EXPECT_HR(S_OK, element->put_dataType(ql::Bstr(dataType).Get()));
    }
    return element;
}

TEST_F(HostileArraysTest, LoadAndBinaryTypedValuesRefuseThemUnread) {
    const CallerTexts caller;
    const std::vector<NamedValue> shapes = HostileArrays(VT_UI1, caller.Texts(), kElements);
    for (const NamedValue& shape : shapes) {
        SCOPED_TRACE(shape.name);
        ql::ComPtr<IXMLDOMDocument2> document = Loaded(L"<v/>");
        ASSERT_TRUE(document);
        const std::wstring before = XmlOf(document.Get());
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_HR(E_INVALIDARG, document->load(*shape.value, &loaded));
        EXPECT_EQ(VARIANT_FALSE, loaded);
        EXPECT_EQ(before, XmlOf(document.Get()));
        for (const wchar_t* dataType : kBinaryTypes) {
            SCOPED_TRACE(ql::Utf8FromWide(dataType));
            const ql::ComPtr<IXMLDOMNode> element = TypedElement(document, dataType);
            ASSERT_TRUE(element);
            EXPECT_HR(E_INVALIDARG, element->put_nodeTypedValue(*shape.value));
            EXPECT_EQ(L"", TextOf(element.Get()));
        }
        EXPECT_TRUE(::HeapValidate(::GetProcessHeap(), 0, nullptr));
    }
}

TEST_F(HostileArraysTest, SoundByteArraysKeepTheirAnswers) {
    ql::ComPtr<IXMLDOMDocument2> document = Loaded(L"<v/>");
    ASSERT_TRUE(document);
    const struct {
        const wchar_t* dataType;
        const wchar_t* text;
    } cases[] = {
        {L"bin.hex", L"4142434445464748494a4b4c4d4e4f5051525354"},
        {L"bin.base64", L"QUJDREVGR0hJSktMTU5PUFFSU1Q="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ql::Utf8FromWide(c.dataType));
        const ql::ComPtr<IXMLDOMNode> element = TypedElement(document, c.dataType);
        ASSERT_TRUE(element);
        EXPECT_HR(S_OK, element->put_nodeTypedValue(*LetterBytes(kElements)));
        EXPECT_EQ(c.text, TextOf(element.Get()));
    }

    const std::string text = "<w>from bytes</w>";
    ql::Variant bytes = MakeBytes(std::vector<BYTE>(text.begin(), text.end()));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    EXPECT_HR(S_OK, document->load(*bytes, &loaded));
    EXPECT_EQ(VARIANT_TRUE, loaded);
    EXPECT_EQ(L"from bytes", TextOf(SelectSingle(document.Get(), L"w").Get()));
}

}  // namespace
}  // namespace msxmltest
