#include "frame/UiScript.h"

#include <sstream>

#include "classlib/Utf8.h"

namespace {

bool KeyByName(const std::wstring& name, UINT& key) {
    static const struct {
        const wchar_t* name;
        UINT key;
    } kKeys[] = {{L"TAB", VK_TAB},   {L"RETURN", VK_RETURN}, {L"ESCAPE", VK_ESCAPE}, {L"UP", VK_UP},
                 {L"DOWN", VK_DOWN}, {L"LEFT", VK_LEFT},     {L"RIGHT", VK_RIGHT}};
    for (const auto& entry : kKeys) {
        if (name != entry.name) continue;
        key = entry.key;
        return true;
    }
    return false;
}

HWND ControlDialog(CFunctionUi& ui) {
    ql::AxControlSite* site = ui.Container().Site();
    return site ? site->ControlWindow() : nullptr;
}

}  // namespace

void PressKey(UINT virtualKey) noexcept {
    HWND target = ::GetFocus();
    if (!target) return;
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void PumpFor(const std::function<void()>& pump, DWORD milliseconds) noexcept {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    do {
        pump();
        const ULONGLONG now = ::GetTickCount64();
        if (now >= end) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    } while (true);
}

void PumpFor(CControlContainer& container, DWORD milliseconds) noexcept {
    PumpFor([&container] { PumpContainerMessages(container); }, milliseconds);
}

int RunUiScript(CFunctionUi& ui, const std::wstring& script, std::FILE* out) {
    const UiScriptTarget target{[&ui] { return ControlDialog(ui); },
                                [&ui] { PumpContainerMessages(ui.Container()); },
                                [&ui] { (void)ui.Close(); }};
    return RunUiScript(target, script, out);
}

int RunUiScript(const UiScriptTarget& target, const std::wstring& script, std::FILE* out) {
    std::wistringstream lines(script);
    std::wstring line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.empty() || line[0] == L'#') continue;
        std::wistringstream words(line);
        std::wstring command;
        words >> command;
        if (command == L"close") {
            target.close();
            continue;
        }
        if (command == L"wait") {
            DWORD ms = 0;
            words >> ms;
            PumpFor(target.pump, ms);
            continue;
        }
        if (command == L"key") {
            std::wstring name;
            words >> name;
            UINT key = 0;
            if (!KeyByName(name, key)) {
                ql::PrintUtf8(stderr, L"script: unknown key %ls\n", name.c_str());
                return 1;
            }
            PressKey(key);
            target.pump();
            continue;
        }
        HWND dialog = target.dialog();
        if (command == L"print-focus") {
            ql::PrintUtf8(out, L"focus %d\n", ::GetDlgCtrlID(::GetFocus()));
            continue;
        }
        int id = 0;
        words >> id;
        if (command == L"focus") {
            const HWND item = dialog ? ::GetDlgItem(dialog, id) : nullptr;
            if (!item) return 1;
            // As the dialog moves its focus, so it is the dialog's focus when the window is activated.
            ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
            target.pump();
            continue;
        }
        if (command == L"text") {
            std::wstring text;
            std::getline(words >> std::ws, text);
            if (!dialog || !::SetDlgItemTextW(dialog, id, text.c_str())) return 1;
            continue;
        }
        if (command == L"click") {
            const HWND button = dialog ? ::GetDlgItem(dialog, id) : nullptr;
            if (!button || !::IsWindowEnabled(button)) {
                ql::PrintUtf8(stderr, L"script: button %d cannot be clicked\n", id);
                return 1;
            }
            ::SendMessageW(button, BM_CLICK, 0, 0);
            target.pump();
            continue;
        }
        if (command == L"print-text") {
            wchar_t text[256] = {};
            if (dialog) ::GetDlgItemTextW(dialog, id, text, 256);
            ql::PrintUtf8(out, L"text %d %ls\n", id, text);
            continue;
        }
        ql::PrintUtf8(stderr, L"script: unknown command %ls\n", command.c_str());
        return 1;
    }
    return 0;
}
