#pragma once
// Message maps with "handled" chaining, for every window class of the system (dialogs, controls, pages).
//
//   class CFoo : public ql::ModelessDialog {
//       QL_BEGIN_MSG_MAP(CFoo)
//           QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
//           QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
//           QL_COMMAND_ID_HANDLER(IDCANCEL, OnCancel)      // any notification code of control IDCANCEL
//           QL_NOTIFY_HANDLER(6001, TVN_SELCHANGED, OnSelChanged)
//           QL_CHAIN_MSG_MAP(CBase)                        // the base's map answers what is left
//       QL_ALT_MSG_MAP(1)                                  // a second map of the same class, id 1
//           ...
//       QL_END_MSG_MAP()
//   };
//
// Handlers: LRESULT OnTimer(UINT message, WPARAM, LPARAM, BOOL& handled);
//           LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled);
//           LRESULT OnSelChanged(int id, NMHDR* header, BOOL& handled).
//
// A handler is entered with `handled` TRUE; clearing it passes the message on to the next entry and,
// after the last one, to the caller (for a dialog: the default dialog processing). The map answers TRUE
// with `result` set when some entry kept the message handled. The macros leave the access at `public`.
#include <windows.h>

#define QL_BEGIN_MSG_MAP(Class)                                                                       \
public:                                                                                               \
    BOOL ProcessWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, \
                              DWORD mapId = 0) {                                                      \
        BOOL handled = TRUE;                                                                          \
        (void)hwnd;                                                                                   \
        (void)handled;                                                                                \
        switch (mapId) {                                                                              \
            case 0:

#define QL_MESSAGE_HANDLER(msg, handler)                    \
    if (message == (msg)) {                                 \
        handled = TRUE;                                     \
        result = handler(message, wParam, lParam, handled); \
        if (handled) return TRUE;                           \
    }

#define QL_MESSAGE_RANGE_HANDLER(first, last, handler)      \
    if (message >= (first) && message <= (last)) {          \
        handled = TRUE;                                     \
        result = handler(message, wParam, lParam, handled); \
        if (handled) return TRUE;                           \
    }

#define QL_COMMAND_HANDLER(id, code, handler)                                                      \
    if (message == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {             \
        handled = TRUE;                                                                            \
        result = handler(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), handled); \
        if (handled) return TRUE;                                                                  \
    }

#define QL_COMMAND_ID_HANDLER(id, handler)                                                         \
    if (message == WM_COMMAND && LOWORD(wParam) == (id)) {                                         \
        handled = TRUE;                                                                            \
        result = handler(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), handled); \
        if (handled) return TRUE;                                                                  \
    }

#define QL_COMMAND_CODE_HANDLER(code, handler)                                                     \
    if (message == WM_COMMAND && HIWORD(wParam) == (code)) {                                       \
        handled = TRUE;                                                                            \
        result = handler(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), handled); \
        if (handled) return TRUE;                                                                  \
    }

#define QL_NOTIFY_HANDLER(id, code, handler)                                                   \
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == (UINT_PTR)(id) &&  \
        reinterpret_cast<NMHDR*>(lParam)->code == (UINT)(code)) {                              \
        handled = TRUE;                                                                        \
        result = handler(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), handled); \
        if (handled) return TRUE;                                                              \
    }

// Another class's map (a base, or a part of this object), asked with map id 0.
#define QL_CHAIN_MSG_MAP(Other) \
    if (Other::ProcessWindowMessage(hwnd, message, wParam, lParam, result, 0)) return TRUE;

// The map of a member object.
#define QL_CHAIN_MSG_MAP_MEMBER(member) \
    if ((member).ProcessWindowMessage(hwnd, message, wParam, lParam, result, 0)) return TRUE;

#define QL_ALT_MSG_MAP(id) \
    break;                 \
    case id:

#define QL_END_MSG_MAP() \
    break;               \
    default:             \
        break;           \
        }                \
        return FALSE;    \
        }
