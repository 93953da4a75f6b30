#include "dtm/services/ToolkitMessages.h"

#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "dtm/services/FormatBstr.h"

namespace {

struct BuiltInMessage {
    LONG id;
    const wchar_t* text;
};

const BuiltInMessage kBuiltInMessages[] = {
    {kMessageUploadErrorQuestion,
     L"There was an error during upload parameters.\r\nDo you want to stop upload?"},
    {kMessageUploadTitle, L"Upload Parameters"},
    {kMessageDownloadErrorQuestion,
     L"There was an error during download parameters.\r\nDo you want to stop download?"},
    {kMessageDownloadTitle, L"Download Parameters"},
    {kMessageSetParametersError, L"An error occurred during IDtmParameter::SetParameters"},
    {kMessageInvalidParameters, L"There are invalid parameters in the data set"},
    {kMessageCancelPromptTitle, L"Warning"},
    {kMessageCancelPromptText, L"Apply changes?"},
};

// The translation, else `fallback` (may be null), into `*text`.
HRESULT TextWithFallback(IQuelkLocalization* localization, LONG id, const wchar_t* fallback,
                         BSTR* text) noexcept {
    QL_RETURN_IF_NULL_OUT(text);
    *text = nullptr;
    ql::Bstr result;
    bool found = false;
    if (FAILED(TranslateToolkitMessage(localization, id, result, found)) || !found) {
        result.Reset();
        if (fallback) QL_RETURN_IF_FAILED(result.Assign(fallback));
    }
    *text = result.Detach();
    return S_OK;
}

}  // namespace

const wchar_t* BuiltInToolkitMessage(LONG id) noexcept {
    for (const BuiltInMessage& message : kBuiltInMessages) {
        if (message.id == id) return message.text;
    }
    return nullptr;
}

HRESULT TranslateToolkitMessage(IQuelkLocalization* localization, LONG id, ql::Bstr& text,
                                bool& found) noexcept {
    found = false;
    if (!localization) return S_OK;
    ql::Bstr path;
    QL_RETURN_IF_FAILED(
        FormatBstr(path, L"localization/ToolkitMessages/Message[@id=\"%d\"]", static_cast<int>(id)));
    ql::Bstr translation;
    VARIANT_BOOL translated = VARIANT_FALSE;
    // A service without a document answers with a failure: that is "no translation" here.
    if (FAILED(localization->GetLocaleText(path.Get(), translation.Put(), &translated))) return S_OK;
    if (translated != VARIANT_TRUE) return S_OK;
    text = std::move(translation);
    found = true;
    return S_OK;
}

HRESULT ToolkitMessageText(IQuelkLocalization* localization, LONG id, BSTR* text) noexcept {
    return TextWithFallback(localization, id, BuiltInToolkitMessage(id), text);
}

HRESULT GetToolkitMessageText(IUnknown* dtm, LONG id, BSTR* text) noexcept {
    ql::ComPtr<IQuelkLocalization> localization;
    // A DTM without the translation service gives the built-in texts.
    if (dtm) (void)ql::QueryInterfaceTo(dtm, localization);
    return ToolkitMessageText(localization.Get(), id, text);
}

HRESULT GetSetParametersErrorText(IQuelkLocalization* localization, LONG id, BSTR* text) noexcept {
    const bool hasFallback = id == kMessageSetParametersError || id == kMessageInvalidParameters;
    return TextWithFallback(localization, id, hasFallback ? BuiltInToolkitMessage(id) : nullptr, text);
}
