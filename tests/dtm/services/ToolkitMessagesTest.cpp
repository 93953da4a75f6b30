// Toolkit messages: translations with their built-in English fallbacks.
#include "ServicesTestSupport.h"
#include "dtm/services/ToolkitMessages.h"

namespace svctest {
namespace {

struct MessageCase {
    const char* name;
    LONG id;
    bool setParametersText;  // GetSetParametersErrorText instead of GetToolkitMessageText
    const wchar_t* english;  // null: a null BSTR
    const wchar_t* german;
};

class ToolkitMessagesTest : public ServicesTest {
protected:
    IUnknown* Object() { return dtm_->ControllingUnknown(); }
    // The set-parameters texts come from the DTM's translations, the toolkit messages from the DTM.
    HRESULT MessageText(const MessageCase& c, ql::Bstr& text) {
        return c.setParametersText
                   ? GetSetParametersErrorText(Query<IQuelkLocalization>().Get(), c.id, text.Put())
                   : GetToolkitMessageText(Object(), c.id, text.Put());
    }
};

const MessageCase kMessages[] = {
    {"set parameters error", 2001, true, L"An error occurred during IDtmParameter::SetParameters",
     L"Bei IDtmParameter::SetParameters ist ein Fehler aufgetreten"},
    {"invalid parameters", 2002, true, L"There are invalid parameters in the data set",
     L"Der Datensatz enth\u00E4lt ung\u00FCltige Parameter"},
    {"id without text", 3000, true, nullptr, nullptr},
    {"upload question is no set-parameters text", 1001, true, nullptr,
     L"Beim Hochladen der Parameter ist ein Fehler aufgetreten.\r\nM\u00F6chten Sie das Hochladen "
     L"abbrechen?"},
    {"upload question", 1001, false,
     L"There was an error during upload parameters.\r\nDo you want to stop upload?",
     L"Beim Hochladen der Parameter ist ein Fehler aufgetreten.\r\nM\u00F6chten Sie das Hochladen "
     L"abbrechen?"},
    {"download title", 1004, false, L"Download Parameters", L"Parameter herunterladen"},
    {"cancel prompt", 4002, false, L"Apply changes?", L"\u00C4nderungen \u00FCbernehmen?"},
    {"refused lock release has no built-in text", 2004, false, nullptr,
     L"Die Rahmenapplikation hat die Sperre des Datensatzes nicht freigegeben."},
};

std::wstring Shown(BSTR text) { return text ? Text(text) : L"<null>"; }

TEST_F(ToolkitMessagesTest, WithoutTranslationsTheBuiltInTextsAnswer) {
    CTempFolder empty;
    CreateDtm(empty.Path().c_str());
    for (const MessageCase& c : kMessages) {
        SCOPED_TRACE(c.name);
        ql::Bstr text;
        EXPECT_HR(S_OK, MessageText(c, text));
        EXPECT_EQ(c.english ? c.english : L"<null>", Shown(text.Get()));
    }
    ql::Bstr text;
    EXPECT_HR(S_OK, GetSetParametersErrorText(nullptr, 2001, text.Put()));
    EXPECT_EQ(kMessages[0].english, Shown(text.Get()));
    EXPECT_HR(E_POINTER, GetSetParametersErrorText(Query<IQuelkLocalization>().Get(), 2001, nullptr));
}

}  // namespace
}  // namespace svctest
