#pragma once
// The messages by which the enumeration members drive a combo box or a list box, chosen once by the item's
// kind so that the fill, refill, show and read paths are written once for both. Messages go through the ANSI
// window functions: entry texts reach the dialog in the system code page.
#include <windows.h>

// Dialog item kinds (GetControlKind) that the enumeration members tell apart.
enum EnumItemKind : int {
    kItemEdit = 2,
    kItemComboBox = 4,
    kItemListBox = 5,
};

struct EnumListMessages {
    UINT resetContent;
    UINT addString;
    UINT setItemData;
    UINT getItemData;
    UINT getCount;
    UINT getCurSel;
    UINT setCurSel;
    int error;  // CB_ERR or LB_ERR
};

// The combo-box or list-box messages for an item of `kind`; null for every other kind.
const EnumListMessages* EnumListMessagesFor(int kind) noexcept;

// Whether several lines of the list box `listBox` can be selected at once (LB_SETSEL and LB_GETSEL apply,
// LB_SETCURSEL does not).
bool IsMultipleSelection(HWND listBox) noexcept;
