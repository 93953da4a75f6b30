// User messages through the frame's dialog: the style word, the message document and the answer.
#include <string>

#include "ServicesTestSupport.h"
#include "classlib/Variant.h"
#include "dtm/services/QuelkUserMessage.h"
#include "xml/XmlNodeReads.h"

namespace svctest {
namespace {

TEST(UserMessageStyleTest, StyleWordsDecode) {
    struct Case {
        ULONG style;
        const wchar_t* type;
        const wchar_t* buttons;
        const wchar_t* defaultButton;
        ULONG defaultResult;
    };
    const Case cases[] = {
        {0x24, L"messageQuestion", L"buttonsYesNo", L"buttonYes", 6},
        {0x113, L"messageStop", L"buttonsYesNoCancel", L"buttonNo", 7},
        {0x2, L"messageInformation", L"buttonsAbortRetryIgnore", L"buttonAbort", 3},
        {0x300, L"messageInformation", L"buttonsOk", L"buttonOk", 1},
        {0x245, L"messageInformation", L"buttonsRetryCancel", L"buttonRetry", 4},
        {0x1F, L"messageStop", L"buttonsOk", L"buttonOk", 1},  // sets beyond 5 show OK alone
        {0x50, L"messageInformation", L"buttonsOk", L"buttonOk", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const UserMessageStyle style = DecodeUserMessageStyle(c.style);
        EXPECT_STREQ(c.type, style.MessageType);
        EXPECT_STREQ(c.buttons, style.MessageButtons);
        EXPECT_STREQ(c.defaultButton, style.MessageDefault);
        EXPECT_EQ(c.defaultResult, style.DefaultResult);
    }
}

TEST(UserMessageStyleTest, AnswerKeywords) {
    struct Case {
        const wchar_t* keyword;
        ULONG result;
    };
    const Case cases[] = {
        {L"buttonAbort", 3}, {L"buttonCancel", 2}, {L"buttonNo", 7}, {L"ButtonCancel", 0}, {L"buttonNo ", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keyword, c.keyword + wcslen(c.keyword)));
        ql::Bstr keyword(c.keyword);
        EXPECT_EQ(c.result, ResultKeywordToId(keyword.Get()));
    }
    EXPECT_EQ(0u, ResultKeywordToId(nullptr));
}

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

TEST_F(UserMessagesTest, AnswersTheFrameGives) {
    DriveToConfigured();
    struct Case {
        const char* name;
        std::wstring answer;
        HRESULT hr;
        ULONG result;
    };
    const Case cases[] = {
        {"cancel", UserMessageAnswer(L"buttonCancel"), S_OK, 2},
        {"keyword in other case", UserMessageAnswer(L"ButtonCancel"), S_OK, 0},
        {"no answer document", L"", S_FALSE, 1},
        {"answer without a result",
         L"<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\"><FDTUserMessage "
         L"messageType=\"messageQuestion\" messageButtons=\"buttonsYesNo\"/></FDT>",
         S_FALSE, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame_->Script().DialogAnswer = c.answer;
        ULONG result = 99;
        EXPECT_HR(c.hr, Show(L"Go on?", L"VarnokP3", 0x31, &result));
        EXPECT_EQ(c.result, result);
    }
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
    ASSERT_HR(S_OK, dtm_->LoadXMLDocument(sent.Get(), document.Put(), &loaded));
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

TEST_F(UserMessagesTest, TheStyleMayComeAsAVariant) {
    DriveToConfigured();
    frame_->Script().DialogAnswer = UserMessageAnswer(L"buttonYes");
    ql::Bstr text(L"Go on?");
    ql::Bstr title(L"VarnokP3");
    ULONG result = 0;
    ql::Variant style;
    ASSERT_HR(S_OK, style.SetBstr(L"36"));
    EXPECT_HR(S_OK,
              Query<IQuelkFunctions>()->ShowMessageVariant(text.Get(), title.Get(), *style.Get(), &result));
    EXPECT_NE(std::wstring::npos,
              frame_->LastCall(L"UserDialog")->Arguments[1].find(L"messageButtons=\"buttonsYesNo\""));

    style.Reset();
    EXPECT_HR(S_OK,
              Query<IQuelkFunctions>()->ShowMessageVariant(text.Get(), title.Get(), *style.Get(), &result));
    EXPECT_NE(std::wstring::npos,
              frame_->LastCall(L"UserDialog")
                  ->Arguments[1]
                  .find(L"messageType=\"messageInformation\" \t\tmessageButtons=\"buttonsOk\""));

    ASSERT_HR(S_OK, style.SetBstr(L"question"));
    EXPECT_TRUE(
        FAILED(Query<IQuelkFunctions>()->ShowMessageVariant(text.Get(), title.Get(), *style.Get(), &result)));
    EXPECT_EQ(2u, frame_->CountCalls(L"UserDialog"));
}

}  // namespace
}  // namespace svctest
