#pragma once
// The Enter-key commit of one edited control on a block page: the value in the focused field is checked,
// written through the online page layer (to the device online, into the dataset offline), read back, and
// the outcome is told to the user in a message box through the DTM's frame.
//
// The outcome is the commit's own result: the page's last device message is forgotten before each commit,
// so a message counts only when it arrived during this commit, and a failed write never shows success.
//
// Threading: the page's user-interface thread (the online commit pumps messages while it waits).
#include <windows.h>

#include <initializer_list>

#include "controls/sync/QuelkOnlinePage.h"

// Commits every row whose control window is `control`, each with its own message; a row marked invalid
// rolls the field back instead and ends the walk. S_OK when a value was committed and every commit
// succeeded; S_FALSE otherwise (no row, a roll-back, a value that was not written): what a page derives
// from the committed value then stays as it is.
HRESULT CommitEditedControl(CQuelkOnlinePage& page, HWND control) noexcept;

// Tells the user that a follow-up of a commit (a conversion of the pipe dimensions) stopped because
// `what` could not be read: it stored nothing.
void ReportUnreadValue(CQuelkOnlinePage& page, const char* what) noexcept;

// A value a follow-up of a commit derived (a pipe dimension), for the parameter `id`.
struct DerivedValue {
    ULONG id;
    const VARIANT& value;
};
// Whether the DTM's value check takes every one of `values`. The store keeps what a page gives it, so the
// sizes a page computes are checked first, and it stores and writes none of them when one fails its
// parameter's range; the user is then told that the sizes following from the value are out of range. A check
// that cannot be made takes the value.
bool DerivedValuesFit(CQuelkOnlinePage& page, std::initializer_list<DerivedValue> values) noexcept;

// The message texts of the commit (shown exactly as the user has always read them).
namespace commit_text {
constexpr const char* kInvalid =
    "The value you have entered is invalid!\nValue will be rolled back to reflect the current state of the "
    "DTM Dataset.";
constexpr const char* kInvalidCaption = "Parameter Update Failure";
constexpr const char* kOnlineDone = "Value written to the Device!";
constexpr const char* kOnlineDoneCaption = "Online Parameter Update Success";
constexpr const char* kOnlineFailedCaption = "Online Parameter Update Failure";
constexpr const char* kOfflineDone =
    "Value written to DTM Dataset!\n\nPlease connect and download to write to device...";
constexpr const char* kOfflineDoneCaption = "Offline Parameter Update Success";
constexpr const char* kOfflineFailedCaption = "Offline Parameter Update Failure";
}  // namespace commit_text
