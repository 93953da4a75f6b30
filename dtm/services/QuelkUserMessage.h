#pragma once
// CQuelkUserMessage: questions and notices for the user. The DTM never opens a message box itself: the
// message, described with the familiar message-box style word, becomes an FDTUserMessageSchema document
// that the frame shows in its own dialog (IFrameDialog), and the frame's answer document names the button
// the user pressed. Until the frame has answered, the style's default button counts as the answer.
//
// Used on the DTM object's apartment thread only. Not owned: the host.
#include <windows.h>

#include "classlib/Bstr.h"
#include "dtm/DtmHost.h"

// Result codes of a message: the pressed button.
enum UserMessageResult : ULONG {
    kResultNone = 0,  // an answer that names no known button
    kResultOk = 1,
    kResultCancel = 2,
    kResultAbort = 3,
    kResultRetry = 4,
    kResultIgnore = 5,
    kResultYes = 6,
    kResultNo = 7,
};

// What the style word asks for, as the keywords of the message document.
struct UserMessageStyle {
    const wchar_t* MessageType;  // icon: messageStop, messageQuestion, messageExclamation, messageInformation
    const wchar_t* MessageButtons;  // button set
    const wchar_t* MessageDefault;  // default button
    ULONG DefaultResult;            // the answer until the frame gives one
};

// Bits 0-3 the button set (6 to 15 count as OK), bits 4-7 the icon, bits 8-11 the default button.
UserMessageStyle DecodeUserMessageStyle(ULONG style) noexcept;

// The result code of an answer keyword, compared exactly and case-sensitively; 0 for any other text.
ULONG ResultKeywordToId(BSTR keyword) noexcept;

class CQuelkUserMessage {
public:
    explicit CQuelkUserMessage(DtmHost& host) noexcept : host_(host) {}
    CQuelkUserMessage(const CQuelkUserMessage&) = delete;
    CQuelkUserMessage& operator=(const CQuelkUserMessage&) = delete;

    // S_OK when the frame answered with a readable button (`result` its code, 0 for an unknown one);
    // S_FALSE when the frame was not asked or its answer could not be read (`result` the default button).
    // `text` and `title` are escaped for the document, so any text is safe to show.
    HRESULT ShowMessage(BSTR text, BSTR title, ULONG style, ULONG* result) noexcept;
    // The style as a VARIANT, converted to VT_UI4 first (its failure is returned).
    HRESULT ShowMessageVariant(BSTR text, BSTR title, const VARIANT& style, ULONG* result) noexcept;

private:
    HRESULT BuildDocument(BSTR text, BSTR title, const UserMessageStyle& style, ql::Bstr& document) noexcept;

    DtmHost& host_;
};
