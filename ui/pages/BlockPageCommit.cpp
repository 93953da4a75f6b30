#include "ui/pages/BlockPageCommit.h"

#include <cstdio>
#include <string>

#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "values/AnsiText.h"
#include "values/DtmVocabulary.h"

namespace {

// What the user reads after a failed commit: the device's message when one arrived, else the failure code.
std::string FailureText(const CQuelkOnlinePage& page, HRESULT result) {
    std::string text;
    if (page.HasDeviceError() && SUCCEEDED(WideToAnsi(page.LastDeviceError(), text)) && !text.empty()) {
        return text;
    }
    char generic[80];
    std::snprintf(generic, sizeof generic, "The value could not be written (error 0x%08lX).",
                  static_cast<unsigned long>(result));
    return generic;
}

// The row's recorded control window, else its dialog item (rows record their windows at the first show).
HWND RowControl(CQuelkOnlinePage& page, UINT row) noexcept {
    const ParameterMapEntry& entry = page.Row(row);
    if (entry.controlWindow) return entry.controlWindow;
    const HWND dialog = page.DialogWindow();
    return dialog && entry.controlId != 0 ? ::GetDlgItem(dialog, static_cast<int>(entry.controlId)) : nullptr;
}

// Whether the value was committed.
bool CommitRow(CQuelkOnlinePage& page, ULONG id) {
    const bool online = page.IsOnline();
    page.ClearDeviceError();
    const HRESULT result = page.CommitParameter(id);
    if (result == S_OK) {
        // The outcome is shown as far as the frame can; the commit has happened either way, and its result is
        // returned below.
        (void)page.SendUserMessage(
            online ? commit_text::kOnlineDone : commit_text::kOfflineDone,
            online ? commit_text::kOnlineDoneCaption : commit_text::kOfflineDoneCaption, 0);
    } else {
        (void)page.SendUserMessage(  // as above
            FailureText(page, result).c_str(),
            online ? commit_text::kOnlineFailedCaption : commit_text::kOfflineFailedCaption, 0);
    }
    if (online) {
        // The read-back and the refresh only bring the field in line; one that fails leaves it as it is.
        (void)page.LoadParameter(id);
        page.ClearDeviceError();
    } else {
        (void)page.RefreshControl(id);  // as above
    }
    return result == S_OK;
}

}  // namespace

HRESULT CommitEditedControl(CQuelkOnlinePage& page, HWND control) noexcept {
    bool committed = false, failed = false;
    try {
        for (UINT row = 0; row < page.RowCount(); ++row) {
            if (!control || RowControl(page, row) != control) continue;
            const ULONG id = page.Row(row).id;
            const int first = page.FindParamRow(id);
            if (first >= 0 && (page.Row(static_cast<UINT>(first)).state & kRowInvalid) != 0) {
                // The invalid value is not committed; the field is shown again and the user told as far as
                // possible.
                (void)page.RefreshControl(id);
                // As below: the page has stored nothing either way.
                (void)page.SendUserMessage(commit_text::kInvalid, commit_text::kInvalidCaption, 0);
                return S_FALSE;
            }
            (CommitRow(page, id) ? committed : failed) = true;
        }
    } catch (...) {
        // Only the failure text's allocation can throw; the commit itself has happened.
        failed = true;
    }
    return committed && !failed ? S_OK : S_FALSE;
}

void ReportUnreadValue(CQuelkOnlinePage& page, const char* what) noexcept {
    char text[160];
    std::snprintf(text, sizeof text, "%s could not be read!\nThe pipe dimensions are left as they are.",
                  what);
    // As in CommitRow: a message that cannot be shown changes nothing.
    (void)page.SendUserMessage(
        text, page.IsOnline() ? commit_text::kOnlineFailedCaption : commit_text::kOfflineFailedCaption, 0);
}

bool DerivedValuesFit(CQuelkOnlinePage& page, std::initializer_list<DerivedValue> values) noexcept {
    ql::ComPtr<IQuelkValueCheck> check;
    if (FAILED(ql::QueryInterfaceTo(page.Variables(), check)) || !check) return true;
    for (const DerivedValue& derived : values) {
        ql::Variant id;
        id.SetUI4(derived.id);
        ULONG flags = 0;
        if (FAILED(check->CheckValue(*id, derived.value, &flags)) || (flags & kAccessRejected) == 0) continue;
        // As in ReportUnreadValue: the page stores nothing either way.
        (void)page.SendUserMessage(
            "The pipe dimensions that follow from this value are out of range!\nThe pipe dimensions are left "
            "as they are.",
            page.IsOnline() ? commit_text::kOnlineFailedCaption : commit_text::kOfflineFailedCaption, 0);
        return false;
    }
    return true;
}
