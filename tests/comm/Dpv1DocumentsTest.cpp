// The request documents byte for byte, invoke ids, the DP-V1 error texts and the channel's error element.
#include <gtest/gtest.h>

#include "CommTestSupport.h"
#include "classlib/Bstr.h"
#include "classlib/SafeArray.h"
#include "comm/Dpv1ErrorCode.h"
#include "comm/Dpv1InvokeId.h"
#include "comm/Dpv1RequestDocuments.h"
#include "tests/support/TestPaths.h"
#include "tests/support/TestVariants.h"
#include "xml/SchemaLists.h"

namespace commtest {
namespace {

const wchar_t kSampleReference[] = L"6F9619FF-8B86-D011-B42D-00C04FC964FF";

TEST(Dpv1RequestDocumentsTest, MatchTheSampleDocumentsByteForByte) {
    ql::Bstr reference(kSampleReference);
    ql::Bstr data(L"3F800000");
    ql::Bstr connect, disconnect, read, write;
    ASSERT_HR(S_OK, BuildConnectRequest(0, 126, connect.Put()));
    ASSERT_HR(S_OK, BuildDisconnectRequest(0, 5, reference.Get(), disconnect.Put()));
    ASSERT_HR(S_OK, BuildReadRequest(1, 20, reference.Get(), read.Put()));
    ASSERT_HR(S_OK, BuildWriteRequest(1, 24, reference.Get(), data.Get(), write.Put()));

    struct Case {
        const char* sample;
        BSTR built;
        size_t formatLength;  // the layout's length before its fields are filled
        size_t filled;        // what the fields add
    };
    const Case cases[] = {
        {"tests/data/xml/valid/dpv1-connect-request.xml", connect.Get(), 205, 0},
        {"tests/data/xml/valid/dpv1-disconnect-request.xml", disconnect.Get(), 240, 32},
        {"tests/data/xml/valid/dpv1-read-request.xml", read.Get(), 235, 33},
        {"tests/data/xml/valid/dpv1-write-request.xml", write.Get(), 311, 39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        EXPECT_EQ(SourceFile(c.sample), StringOf(c.built));
        EXPECT_EQ(c.formatLength + c.filled, ::SysStringLen(c.built));
    }
}

TEST(InvokeIdTest, IsAFreshUpperCaseUuidText) {
    ql::Bstr first, second;
    ASSERT_HR(S_OK, CreateInvokeId(first.Put()));
    ASSERT_HR(S_OK, CreateInvokeId(second.Put()));
    const std::wstring text = StringOf(first.Get());
    ASSERT_EQ(36u, text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        SCOPED_TRACE(i);
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            EXPECT_EQ(L'-', text[i]);
        } else {
            EXPECT_TRUE(std::iswxdigit(text[i]) && !std::iswlower(text[i]));
        }
    }
    EXPECT_NE(text, StringOf(second.Get()));
    EXPECT_HR(E_POINTER, GuidToBstr(nullptr, first.Put()));
}

TEST(Dpv1ErrorCodeTest, DecodesTheErrorBytes) {
    struct Case {
        const char* name;
        ql::Variant code;
        BYTE isError;
        const wchar_t* message;
    };
    Case cases[] = {
        {"three zero bytes", vtest::MakeBytes({0, 0, 0}), 0, L"untouched"},
        {"no bytes", vtest::MakeBytes({}), 0, L"untouched"},
        {"access denied", vtest::MakeBytes({0x80, 0xB6, 0x00}), 1,
         L"ErrorCode 80B600 recieved! Access denied"},
        {"invalid index", vtest::MakeBytes({0x80, 0xB0, 0x00}), 1,
         L"ErrorCode 80B000 recieved! Invalid index"},
        {"resource busy", vtest::MakeBytes({0x80, 0xC2, 0x00}), 1,
         L"ErrorCode 80C200 recieved! Resource busy"},
        {"no row", vtest::MakeBytes({0x80, 0xAA, 0x00}), 1, L"ErrorCode 80AA00 recieved! "},
        {"below the table", vtest::MakeBytes({0x80, 0x85, 0x00}), 1, L"ErrorCode 808500 recieved! "},
        {"abort", vtest::MakeBytes({0x80, 0xFF, 0x00}), 1, L"ErrorCode 80FF00 recieved! Abort"},
        {"two bytes", vtest::MakeBytes({0x00, 0xB6}), 1, L"ErrorCode 00B6 recieved! "},
        {"four bytes", vtest::MakeBytes({0x80, 0xB7, 0x00, 0x01}), 1,
         L"ErrorCode 80B70001 recieved! Invalid range"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ql::Bstr message(L"untouched");
        BYTE isError = 7;
        ASSERT_HR(S_OK, CheckDpv1ErrorCode(*c.code, message, &isError));
        EXPECT_EQ(c.isError, isError);
        EXPECT_EQ(c.message, StringOf(message.Get()));
    }
    ql::Bstr message;
    BYTE isError = 0;
    ql::Variant text;
    ASSERT_HR(S_OK, text.SetBstr(L"80B600"));
    EXPECT_HR(E_INVALIDARG, CheckDpv1ErrorCode(*text, message, &isError));
}

class CommunicationErrorTest : public vtest::ComTest {
protected:
    void SetUp() override {
        vtest::ComTest::SetUp();
        ASSERT_HR(S_OK, xml_.InitializeSchemaCache(vtest::SchemasFolder().c_str(), DtmSchemaList, nullptr));
    }
    ql::ComPtr<IXMLDOMDocument2> Load(const char* sample) {
        ql::Bstr text(SourceFile(sample).c_str());
        ql::ComPtr<IXMLDOMDocument2> document;
        VARIANT_BOOL loaded = VARIANT_FALSE;
        EXPECT_HR(S_OK, xml_.LoadXMLDocument(text.Get(), document.Put(), &loaded, nullptr));
        EXPECT_EQ(VARIANT_TRUE, loaded);
        return document;
    }

    CQuelkXMLHandlerImpl xml_;
};

TEST_F(CommunicationErrorTest, NamesCodeAndDescriptorThatArePresent) {
    struct Case {
        const char* sample;
        bool found;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"tests/data/xml/valid/dpv1-communication-error.xml", true,
         L"ERROR: errorCode = 0102 descr = Device not answering"},
        {"tests/data/xml/valid/dpv1-communication-error-empty.xml", true, L"ERROR:"},
        {"tests/data/xml/valid/dpv1-read-response.xml", false, L"untouched"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        ql::ComPtr<IXMLDOMDocument2> document = Load(c.sample);
        ASSERT_TRUE(document);
        ql::Bstr text(L"untouched");
        EXPECT_EQ(c.found, ParseCommunicationError(document.Get(), text));
        EXPECT_EQ(c.text, StringOf(text.Get()));
    }
}

}  // namespace
}  // namespace commtest
