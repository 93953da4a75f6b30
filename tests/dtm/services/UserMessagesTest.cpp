// User messages through the frame's dialog: the style word, the message document and the answer.
#include <string>

#include "ServicesTestSupport.h"
#include "classlib/Variant.h"
#include "dtm/services/QuelkUserMessage.h"
#include "xml/XmlNodeReads.h"

namespace svctest {
namespace {

class UserMessagesTest : public ServicesTest {
protected:
    void SetUp() override {
        ServicesTest::SetUp();
        CreateDtm(SourceDataFolder().c_str());
    }
    HRESULT Show(const wchar_t* text, const wchar_t* title, ULONG style, ULONG* result) {
        ql::Bstr textBstr(text);
        ql::Bstr titleBstr(title);
        return Query<IQuelkFunctions>()->ShowMessage(textBstr.Get(), titleBstr.Get(), style, result);
    }
};

TEST_F(UserMessagesTest, WithoutAFrameTheDefaultButtonAnswers) {
    ULONG result = 0;
    EXPECT_HR(S_FALSE, Show(L"Write all parameters to the device?", L"VarnokP3", 0x24, &result));
    EXPECT_EQ(6u, result);
    EXPECT_HR(E_POINTER, Show(L"text", L"title", 0x24, nullptr));
}

TEST_F(UserMessagesTest, TheFrameShowsTheMessageAndAnswers) {
    DriveToConfigured();
    frame_->Script().DialogAnswer = UserMessageAnswer(L"buttonNo");
    ULONG result = 0;
    EXPECT_HR(S_OK, Show(L"Write all parameters to the device?", L"VarnokP3", 0x24, &result));
    EXPECT_EQ(7u, result);
    ASSERT_EQ(1u, frame_->CountCalls(L"UserDialog"));
    const FrameCall* call = frame_->LastCall(L"UserDialog");
    EXPECT_EQ(Text(systemTag_.Get()), call->Arguments[0]);
    // The document as frames have always received it.
    EXPECT_EQ(ReadSourceFile("tests/data/xml/valid/user-message.xml"),
              std::string(call->Arguments[1].begin(), call->Arguments[1].end()));
}

TEST_F(UserMessagesTest, TextsAreEscapedForTheFrame) {
    DriveToConfigured();
    frame_->Script().DialogAnswer = UserMessageAnswer(L"buttonOk");
    const wchar_t* title = L"Say \"yes\" <now>";
    const wchar_t* text = L"Flow > 100 & <rising> \"fast\"";
    ULONG result = 0;
    EXPECT_HR(S_OK, Show(text, title, 0, &result));

    ql::Bstr sent(frame_->LastCall(L"UserDialog")->Arguments[1].c_str());
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_HR(S_OK, dtmint::LoadXmlDocument(dtm_.Get(), sent.Get(), document.Put(), &loaded));
    ASSERT_EQ(VARIANT_TRUE, loaded) << "the frame's parser would refuse the message";
    for (const auto& [path, expected] :
         {std::pair<const wchar_t*, const wchar_t*>{L"FDT/FDTUserMessage/@title", title},
          {L"FDT/FDTUserMessage/TextLine/@fdt:string", text}}) {
        ql::Bstr xpath(path);
        ql::Variant value;
        ASSERT_HR(S_OK, XmlGetNodeValue(document.Get(), xpath.Get(), value.Put(), VT_BSTR));
        EXPECT_EQ(std::wstring(expected), Text(value->bstrVal));
    }
}

}  // namespace
}  // namespace svctest
