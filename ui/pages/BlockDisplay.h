#pragma once
// What the block pages show of a PROFIBUS PA block the same way on every page: the block object's texts
// and profile revision, the mode block's actual and normal mode with its permitted boxes, a value with its
// status, an octet string as text, and short texts copied from one dialog item to others (unit labels).
// Each page names its own dialog items. Stateless; the page's user-interface thread.
#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <string>

#include "classlib/GdiObject.h"

struct BlockObjectItems {
    UINT blockObject, parentClass, blockClass, profileRevision;
};
struct ModeBlockItems {
    UINT actual, normal, automatic, outOfService, manual;
};
struct ValueStatusItems {
    UINT quality, substatus, limits, value;
};
// The parameters at the head of a block page that the page shows itself, each with the items that show it:
// the block object, the tag, the mode block and the block's value with its status.
struct BlockHeadItems {
    ULONG blockObjectId;
    BlockObjectItems blockObject;
    ULONG tagId;
    UINT tag;
    ULONG modeBlockId;
    ModeBlockItems modeBlock;
    ULONG valueId;
    ValueStatusItems value;
};

// The block, parent class and class texts and "Ver <revision>.00".
void ShowBlockObject(HWND dialog, const BlockObjectItems& items, const VARIANT& record) noexcept;
// A mode byte without a text of its own shows an empty field; the boxes show the permitted modes.
void ShowModeBlock(HWND dialog, const ModeBlockItems& items, const VARIANT& record) noexcept;
// The value with five decimals and the texts of its status byte.
void ShowValueWithStatus(HWND dialog, const ValueStatusItems& items, const VARIANT& record) noexcept;
// The octet string's bytes up to the first zero byte as the item's text ("" for any other value).
void ShowOctetText(HWND dialog, UINT item, const VARIANT& value) noexcept;
// Shows `value` when `id` is one of the head's parameters (true); false for any other id.
bool ShowBlockHead(HWND dialog, const BlockHeadItems& items, ULONG id, const VARIANT& value) noexcept;
// At most `limit` characters of the item's text (may throw std::bad_alloc).
std::string ItemText(HWND dialog, UINT item, int limit);
// At most `limit` characters of the item `from` into each item of `to`.
void CopyItemText(HWND dialog, UINT from, std::initializer_list<UINT> to, int limit) noexcept;
// Shows the module's bitmap `bitmapId` in the static bitmap item. The bitmap is loaded once into `owned`,
// which keeps it for as long as the page lives: a static does not free a bitmap given to it.
void ShowPicture(HWND dialog, UINT item, UINT bitmapId, ql::Bitmap& owned) noexcept;
