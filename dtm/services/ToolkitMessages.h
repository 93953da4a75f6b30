#pragma once
// Toolkit messages: numbered texts that the DTM framework shows or reports (upload and download prompts,
// the error text of a failed parameter write, the refused lock release, the cancel prompt of the tree
// frame). Each is looked up in the translation document under
// "localization/ToolkitMessages/Message[@id="<id>"]"; most have a built-in English text used when no
// translation is found.
#include <windows.h>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"

enum ToolkitMessageId : LONG {
    kMessageUploadErrorQuestion = 1001,
    kMessageUploadTitle = 1002,
    kMessageDownloadErrorQuestion = 1003,
    kMessageDownloadTitle = 1004,
    kMessageSetParametersError = 2001,
    kMessageInvalidParameters = 2002,
    kMessageLockReleaseRefused = 2004,  // no built-in text
    kMessageCancelPromptTitle = 4001,
    kMessageCancelPromptText = 4002,
};

// The built-in English text of a message, null for an id without one.
const wchar_t* BuiltInToolkitMessage(LONG id) noexcept;

// The translation of message `id` in the selected language. S_OK with `found` true and the text, S_OK
// with `found` false when there is none (no service, no document, no entry). `localization` may be null.
HRESULT TranslateToolkitMessage(IQuelkLocalization* localization, LONG id, ql::Bstr& text,
                                bool& found) noexcept;

// The message's text for a caller that has its built-in text: the translation, else the built-in text,
// else a null BSTR (S_OK in all three). `localization` (the DTM's translations) may be null: no
// translations then.
HRESULT ToolkitMessageText(IQuelkLocalization* localization, LONG id, BSTR* text) noexcept;
// The same for a caller outside the DTM object (the tree frame): `dtm` is any interface of the DTM it was
// handed, asked for its translations; null means no translations.
HRESULT GetToolkitMessageText(IUnknown* dtm, LONG id, BSTR* text) noexcept;

// IDtmParameter::SetParameters' and the data set verification's error texts: the translation of `id`,
// else the built-in text of 2001 or 2002, else a null BSTR. E_POINTER for a null `text`.
HRESULT GetSetParametersErrorText(IQuelkLocalization* localization, LONG id, BSTR* text) noexcept;
