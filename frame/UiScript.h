#pragma once
// A script that drives an open user interface the way a person would, one command a line, for tests and
// screenshots of framehost.exe:
//   wait <ms>            dispatch messages for that long (keys go to the control first)
//   key <TAB|RETURN|ESCAPE|UP|DOWN|LEFT|RIGHT>  a key pressed on the window that has the focus
//   focus <id>           puts the focus on the dialog item <id>, as a click would
//   text <id> <text>     types a text into the control's dialog item <id>
//   click <id>           clicks the button <id> (fails when it is disabled, as a person could not click it)
//   print-focus          prints the dialog item id that has the focus
//   print-text <id>      prints the text of dialog item <id>
//   close                closes the user interface
// Lines that are empty or start with '#' are skipped. Output goes to `out`, one line per print.
#include <cstdio>
#include <functional>
#include <string>

#include "frame/FunctionUi.h"

// What a script drives: the dialog whose items it names, the pump that dispatches the waiting messages
// (keys offered to the user interface first), and the close of the user interface.
struct UiScriptTarget {
    std::function<HWND()> dialog;
    std::function<void()> pump;
    std::function<void()> close;
};

// Runs `script` (its text) on `ui`; 0 when every command ran, 1 at the first unknown or failed command.
int RunUiScript(CFunctionUi& ui, const std::wstring& script, std::FILE* out);
int RunUiScript(const UiScriptTarget& target, const std::wstring& script, std::FILE* out);
// Posts a key press (down and up) to the window with the focus, as the keyboard would.
void PressKey(UINT virtualKey) noexcept;
// Calls `pump` for `milliseconds`, waiting for messages in between.
void PumpFor(const std::function<void()>& pump, DWORD milliseconds) noexcept;
// Dispatches messages for `milliseconds`, keys offered to the open control first.
void PumpFor(CControlContainer& container, DWORD milliseconds) noexcept;
