#include "dtm/services/QuelkUserMessage.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "classlib/Variant.h"
#include "dataset/VariantArguments.h"
#include "dtm/services/FormatBstr.h"
#include "values/XmlText.h"
#include "xml/XmlNodeReads.h"
#include "dtm/QuelkDtm.h"

namespace {

constexpr ULONG kButtonSetMask = 0x0F;
constexpr ULONG kIconMask = 0xF0;
constexpr ULONG kDefaultButtonMask = 0xF00;
constexpr ULONG kIconStop = 0x10;
constexpr ULONG kIconQuestion = 0x20;
constexpr ULONG kIconExclamation = 0x30;
constexpr ULONG kDefaultSecond = 0x100;
constexpr ULONG kDefaultThird = 0x200;

// One button set with its default keyword and result for the first, second and third default button.
struct ButtonSet {
    const wchar_t* buttons;
    const wchar_t* defaults[3];
    ULONG results[3];
};
const ButtonSet kButtonSets[] = {
    {L"buttonsOk", {L"buttonOk", L"buttonOk", L"buttonOk"}, {kResultOk, kResultOk, kResultOk}},
    {L"buttonsOkCancel", {L"buttonOk", L"buttonCancel", L"buttonOk"}, {kResultOk, kResultCancel, kResultOk}},
    {L"buttonsAbortRetryIgnore",
     {L"buttonAbort", L"buttonRetry", L"buttonIgnore"},
     {kResultAbort, kResultRetry, kResultIgnore}},
    {L"buttonsYesNoCancel",
     {L"buttonYes", L"buttonNo", L"buttonCancel"},
     {kResultYes, kResultNo, kResultCancel}},
    {L"buttonsYesNo", {L"buttonYes", L"buttonNo", L"buttonYes"}, {kResultYes, kResultNo, kResultYes}},
    {L"buttonsRetryCancel",
     {L"buttonRetry", L"buttonCancel", L"buttonRetry"},
     {kResultRetry, kResultCancel, kResultRetry}},
};

// Answer keywords in the order they are compared.
struct ResultKeyword {
    const wchar_t* keyword;
    ULONG result;
};
const ResultKeyword kResultKeywords[] = {
    {L"buttonAbort", kResultAbort}, {L"buttonRetry", kResultRetry},   {L"buttonIgnore", kResultIgnore},
    {L"buttonOk", kResultOk},       {L"buttonCancel", kResultCancel}, {L"buttonYes", kResultYes},
    {L"buttonNo", kResultNo},
};

constexpr wchar_t kMessageTemplate[] =
    L"<?xml version=\"1.0\"?> <FDT \txmlns=\"x-schema:FDTUserMessageSchema.xml\" "
    L"\txmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"> \t<FDTUserMessage \t\tmessageType=\"%ls\" "
    L"\t\tmessageButtons=\"%ls\" \t\tmessageDefault=\"%ls\" \t\ttitle=\"%ls\"> \t\t\t<TextLine "
    L"fdt:string=\"%ls\"/> "
    L"\t</FDTUserMessage> </FDT>";
constexpr wchar_t kResultPath[] = L".//@resultMessage";

const wchar_t* IconKeyword(ULONG style) noexcept {
    switch (style & kIconMask) {
        case kIconStop:
            return L"messageStop";
        case kIconQuestion:
            return L"messageQuestion";
        case kIconExclamation:
            return L"messageExclamation";
        default:
            return L"messageInformation";
    }
}

size_t DefaultButtonIndex(ULONG style) noexcept {
    switch (style & kDefaultButtonMask) {
        case kDefaultSecond:
            return 1;
        case kDefaultThird:
            return 2;
        default:
            return 0;
    }
}

}  // namespace

UserMessageStyle DecodeUserMessageStyle(ULONG style) noexcept {
    const ULONG set = style & kButtonSetMask;
    const ButtonSet& buttons =
        set < sizeof kButtonSets / sizeof kButtonSets[0] ? kButtonSets[set] : kButtonSets[0];
    // The sets beyond the known ones show OK alone, with OK as the default whatever the default field says.
    const size_t defaultIndex =
        set < sizeof kButtonSets / sizeof kButtonSets[0] ? DefaultButtonIndex(style) : 0;
    return UserMessageStyle{IconKeyword(style), buttons.buttons, buttons.defaults[defaultIndex],
                            buttons.results[defaultIndex]};
}

ULONG ResultKeywordToId(BSTR keyword) noexcept {
    const std::wstring_view text(keyword ? keyword : L"", ::SysStringLen(keyword));
    for (const ResultKeyword& entry : kResultKeywords) {
        if (text == entry.keyword) return entry.result;
    }
    return kResultNone;
}

HRESULT CQuelkUserMessage::BuildDocument(BSTR text, BSTR title, const UserMessageStyle& style,
                                         ql::Bstr& document) noexcept {
    // A quote or an angle bracket in a text must not make the frame refuse the whole document.
    ql::Bstr escapedTitle;
    ql::Bstr escapedText;
    QL_RETURN_IF_FAILED(EscapeXmlText(TextOrEmpty(title), escapedTitle.Put()));
    QL_RETURN_IF_FAILED(EscapeXmlText(TextOrEmpty(text), escapedText.Put()));
    return FormatBstr(document, kMessageTemplate, style.MessageType, style.MessageButtons,
                      style.MessageDefault, escapedTitle.CStr(), escapedText.CStr());
}

HRESULT CQuelkUserMessage::ShowMessage(BSTR text, BSTR title, ULONG style, ULONG* result) noexcept {
    QL_RETURN_IF_NULL_OUT(result);
    const UserMessageStyle decoded = DecodeUserMessageStyle(style);
    // Every way out below leaves the default button as the user's answer.
    *result = decoded.DefaultResult;

    IFrameContainer* frame = host_.Lifecycle().Frame();
    ql::ComPtr<IFrameDialog> dialog;
    if (!frame || FAILED(frame->QueryInterface(IID_IFrameDialog, dialog.PutVoid())) || !dialog)
        return S_FALSE;
    ql::Bstr document;
    if (FAILED(BuildDocument(text, title, decoded, document))) return S_FALSE;
    ql::Bstr tag;
    if (FAILED(host_.Lifecycle().SystemTag().CopyTo(tag.Put()))) return S_FALSE;
    ql::Bstr answer;
    const ql::SelfHold hold(host_.ControllingUnknown());
    if (FAILED(dialog->UserDialog(tag.Get(), document.Get(), answer.Put()))) return S_FALSE;

    ql::ComPtr<IXMLDOMDocument2> answerDocument;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(host_.Lifecycle().LoadXMLDocument(answer.Get(), answerDocument.Put(), &loaded)) ||
        loaded != VARIANT_TRUE) {
        return S_FALSE;
    }
    ql::Bstr path(kResultPath);
    ql::Variant keyword;
    if (path.IsNull() || FAILED(XmlGetNodeValue(answerDocument.Get(), path.Get(), keyword.Put(), VT_BSTR)) ||
        keyword.Type() != VT_BSTR) {
        return S_FALSE;
    }
    *result = ResultKeywordToId(keyword->bstrVal);
    return S_OK;
}

HRESULT CQuelkUserMessage::ShowMessageVariant(BSTR text, BSTR title, const VARIANT& style,
                                              ULONG* result) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(style, &number));
    return ShowMessage(text, title, number, result);
}
