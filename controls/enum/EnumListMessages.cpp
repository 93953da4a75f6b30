#include "controls/enum/EnumListMessages.h"

namespace {

constexpr EnumListMessages kComboBoxMessages = {CB_RESETCONTENT, CB_ADDSTRING, CB_SETITEMDATA, CB_GETITEMDATA,
                                                CB_GETCOUNT,     CB_GETCURSEL, CB_SETCURSEL,   CB_ERR};
constexpr EnumListMessages kListBoxMessages = {LB_RESETCONTENT, LB_ADDSTRING, LB_SETITEMDATA, LB_GETITEMDATA,
                                               LB_GETCOUNT,     LB_GETCURSEL, LB_SETCURSEL,   LB_ERR};

}  // namespace

const EnumListMessages* EnumListMessagesFor(int kind) noexcept {
    if (kind == kItemComboBox) return &kComboBoxMessages;
    if (kind == kItemListBox) return &kListBoxMessages;
    return nullptr;
}

bool IsMultipleSelection(HWND listBox) noexcept {
    return (::GetWindowLongW(listBox, GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}
