#pragma once
// RandomPerson: a person at the keyboard and the mouse who does random things to the open user interfaces:
// clicks a button that is shown and enabled, types a text into a field and leaves it with Enter or Tab,
// picks an entry of a list, selects an item of a tree, presses a key. Every action goes to a window that a
// person could reach (visible, enabled, inside an open user interface) as the messages a real click or key
// causes. The choices come from one seeded generator, so a seed replays a run.
//
// ModalBoxAnswerer: a modal box blocks a headless test; while it lives, a thread timer (which also runs in
// the modal box's own loop) answers every modal box of the thread with Cancel and counts them.
#include <windows.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace endtoend {

class RandomPerson {
public:
    explicit RandomPerson(unsigned seed) : random_(seed) {}

    // A number in [0, bound).
    unsigned Below(unsigned bound) {
        return bound == 0 ? 0 : std::uniform_int_distribution<unsigned>(0, bound - 1)(random_);
    }
    bool Chance(unsigned percent) { return Below(100) < percent; }

    // One action on a window below `control` (the user interface's own window); what it did, as a line of
    // the run's log. Dialog items in `untouchable` (by id) are left alone.
    std::string ActOn(HWND control, const std::set<int>& untouchable);
    // A key press on the window with the focus.
    std::string PressRandomKey();

private:
    std::string ClickButton(HWND button);
    std::string TypeInto(HWND edit);
    std::string PickFromList(HWND combo);
    std::string SelectTreeItem(HWND tree);
    std::string RandomText();

    std::mt19937 random_;
};

class ModalBoxAnswerer {
public:
    ModalBoxAnswerer();
    ~ModalBoxAnswerer();
    ModalBoxAnswerer(const ModalBoxAnswerer&) = delete;
    ModalBoxAnswerer& operator=(const ModalBoxAnswerer&) = delete;

    static int Answered() { return answered_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK AnswerIfModal(HWND window, LPARAM);

    UINT_PTR timer_ = 0;
    static int answered_;
};

}  // namespace endtoend
