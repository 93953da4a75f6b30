#include "tests/ui/endtoend/RandomPerson.h"

#include <commctrl.h>

#include <cstdio>

#include "frame/UiScript.h"

namespace endtoend {

namespace {

constexpr UINT kAnswerIntervalMs = 100;

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Describe(const char* what, HWND window) {
    char text[80] = {};
    ::GetWindowTextA(window, text, sizeof text);
    char line[200];
    std::snprintf(line, sizeof line, "%s item %d (%s \"%s\")", what, ::GetDlgCtrlID(window),
                  ClassOf(window).c_str(), text);
    return line;
}

// Whether a person could reach the window: shown, and it and every window up to the control enabled.
bool IsReachable(HWND window, HWND control) {
    if (!::IsWindowVisible(window)) return false;
    for (HWND at = window; at && at != control; at = ::GetParent(at)) {
        if (!::IsWindowEnabled(at)) return false;
    }
    return true;
}

struct Candidates {
    HWND control;
    const std::set<int>* untouchable;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectCandidate(HWND window, LPARAM data) {
    auto& candidates = *reinterpret_cast<Candidates*>(data);
    const std::string kind = ClassOf(window);
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    const bool groupBox = kind == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
    const bool acts =
        (kind == "Button" && !groupBox) || kind == "Edit" || kind == "ComboBox" || kind == WC_TREEVIEWA;
    if (acts && !candidates.untouchable->count(::GetDlgCtrlID(window)) &&
        IsReachable(window, candidates.control))
        candidates.windows.push_back(window);
    return TRUE;
}

void CollectItems(HWND tree, HTREEITEM item, std::vector<HTREEITEM>& items) {
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        items.push_back(item);
        CollectItems(tree, TreeView_GetChild(tree, item), items);
    }
}

}  // namespace

std::string RandomPerson::ActOn(HWND control, const std::set<int>& untouchable) {
    Candidates candidates{control, &untouchable, {}};
    ::EnumChildWindows(control, CollectCandidate, reinterpret_cast<LPARAM>(&candidates));
    if (candidates.windows.empty()) return "nothing to reach";
    const HWND window = candidates.windows[Below(static_cast<unsigned>(candidates.windows.size()))];
    const std::string kind = ClassOf(window);
    if (kind == "Button") return ClickButton(window);
    if (kind == "Edit") return TypeInto(window);
    if (kind == "ComboBox") return PickFromList(window);
    return SelectTreeItem(window);
}

std::string RandomPerson::ClickButton(HWND button) {
    const std::string line = Describe("click", button);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    return line;
}

std::string RandomPerson::TypeInto(HWND edit) {
    // A click into the field gives it the focus; a read-only field takes no text.
    ::SetFocus(edit);
    if (::GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) return Describe("focus", edit);
    const std::string text = RandomText();
    ::SetWindowTextA(edit, text.c_str());
    const bool enter = Chance(50);
    PressKey(enter ? VK_RETURN : VK_TAB);
    return Describe("type", edit) + " \"" + text + "\" then " + (enter ? "Enter" : "Tab");
}

std::string RandomPerson::PickFromList(HWND combo) {
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (count <= 0) return Describe("empty list", combo);
    const unsigned index = Below(static_cast<unsigned>(count));
    ::SetFocus(combo);
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    // The person's pick sends the selection change that CB_SETCURSEL does not.
    ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    return Describe("pick", combo) + " entry " + std::to_string(index);
}

std::string RandomPerson::SelectTreeItem(HWND tree) {
    std::vector<HTREEITEM> items;
    CollectItems(tree, TreeView_GetRoot(tree), items);
    if (items.empty()) return Describe("empty tree", tree);
    const unsigned index = Below(static_cast<unsigned>(items.size()));
    ::SetFocus(tree);
    (void)TreeView_SelectItem(tree, items[index]);
    return Describe("select", tree) + " item " + std::to_string(index);
}

std::string RandomPerson::PressRandomKey() {
    static const struct {
        UINT key;
        const char* name;
    } keys[] = {{VK_TAB, "Tab"},   {VK_RETURN, "Enter"}, {VK_ESCAPE, "Escape"}, {VK_UP, "Up"},
                {VK_DOWN, "Down"}, {VK_LEFT, "Left"},    {VK_RIGHT, "Right"},   {VK_SPACE, "Space"}};
    const auto& chosen = keys[Below(static_cast<unsigned>(std::size(keys)))];
    PressKey(chosen.key);
    return std::string("key ") + chosen.name;
}

std::string RandomPerson::RandomText() {
    static const char* const fixed[] = {"",      "0",          "1",    "-1",    "255",     "256",
                                        "65535", "4294967296", "1e38", "-1e39", "0.5",     "3,75",
                                        "abc",   "12ab",       "  7 ", "NaN",   "100%",    "FT-101",
                                        "<&>",   "\"q\"",      "1.",   "-0.0",  "99999999"};
    switch (Below(3)) {
        case 0:
            return fixed[Below(static_cast<unsigned>(std::size(fixed)))];
        case 1: {
            char number[32];
            std::snprintf(number, sizeof number, "%.3f",
                          std::uniform_real_distribution<double>(-1000.0, 1000.0)(random_));
            return number;
        }
        default: {
            std::string text;
            const unsigned length = Below(40);
            for (unsigned i = 0; i < length; ++i) text += static_cast<char>(' ' + Below(95));
            return text;
        }
    }
}

int ModalBoxAnswerer::answered_ = 0;

ModalBoxAnswerer::ModalBoxAnswerer() { timer_ = ::SetTimer(nullptr, 0, kAnswerIntervalMs, OnTimer); }

ModalBoxAnswerer::~ModalBoxAnswerer() {
    if (timer_) ::KillTimer(nullptr, timer_);
}

void CALLBACK ModalBoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), AnswerIfModal, 0);
}

BOOL CALLBACK ModalBoxAnswerer::AnswerIfModal(HWND window, LPARAM) {
    // A modal box is a top-level dialog whose owner it disabled, or a box without owner.
    if (ClassOf(window) != "#32770" || !::IsWindowVisible(window)) return TRUE;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner && ::IsWindowEnabled(owner)) return TRUE;
    ++answered_;
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

}  // namespace endtoend
