#include "ui/pages/BlockDisplay.h"

#include <cstdio>
#include <string>
#include <vector>

#include "classlib/ComModule.h"
#include "dtm/documents/PaBlockTexts.h"
#include "dtm/documents/PaRecordDecoders.h"
#include "dtm/documents/PaStatusTexts.h"
#include "ui/pages/AiFlowValues.h"
#include "ui/pages/ByteText.h"

namespace {

void SetItemText(HWND dialog, UINT item, const char* text) noexcept {
    if (dialog) ::SetDlgItemTextA(dialog, static_cast<int>(item), text);
}

void SetCheck(HWND dialog, UINT item, ULONG flag) noexcept {
    if (dialog) ::CheckDlgButton(dialog, static_cast<int>(item), flag ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

void ShowBlockObject(HWND dialog, const BlockObjectItems& items, const VARIANT& record) noexcept {
    BYTE block = 0, parentClass = 0, blockClass = 0, profileRevision = 0;
    DecodeBlockObject(record, &block, &parentClass, &blockClass, &profileRevision);
    const char *blockText = "", *parentText = "", *classText = "";
    FormatBlockClass(block, parentClass, blockClass, &blockText, &parentText, &classText);
    SetItemText(dialog, items.blockObject, blockText);
    SetItemText(dialog, items.parentClass, parentText);
    SetItemText(dialog, items.blockClass, classText);
    char revision[16];
    std::snprintf(revision, sizeof revision, "Ver %i.00", static_cast<int>(profileRevision));
    SetItemText(dialog, items.profileRevision, revision);
}

void ShowModeBlock(HWND dialog, const ModeBlockItems& items, const VARIANT& record) noexcept {
    const char *actual = "", *normal = "";
    ULONG automatic = 0, outOfService = 0, manual = 0;
    FormatBlockMode(record, &actual, &normal, &automatic, &outOfService, &manual);
    SetItemText(dialog, items.actual, actual);
    SetItemText(dialog, items.normal, normal);
    SetCheck(dialog, items.automatic, automatic);
    SetCheck(dialog, items.outOfService, outOfService);
    SetCheck(dialog, items.manual, manual);
}

void ShowValueWithStatus(HWND dialog, const ValueStatusItems& items, const VARIANT& record) noexcept {
    float value = 0.0f;
    BYTE status = 0;
    DecodeFloatWithStatus(record, &value, &status);
    const char *quality = "", *substatus = "", *limits = "";
    FormatPaStatus(status, &quality, &substatus, &limits);
    try {
        SetItemText(dialog, items.value, FormatWithDecimals(value, 5).c_str());
    } catch (...) {
        SetItemText(dialog, items.value, "");
    }
    SetItemText(dialog, items.quality, quality);
    SetItemText(dialog, items.substatus, substatus);
    SetItemText(dialog, items.limits, limits);
}

void ShowOctetText(HWND dialog, UINT item, const VARIANT& value) noexcept {
    try {
        SetItemText(dialog, item, OctetStringText(value).c_str());
    } catch (...) {
        SetItemText(dialog, item, "");
    }
}

bool ShowBlockHead(HWND dialog, const BlockHeadItems& items, ULONG id, const VARIANT& value) noexcept {
    if (id == items.blockObjectId) {
        ShowBlockObject(dialog, items.blockObject, value);
    } else if (id == items.tagId) {
        ShowOctetText(dialog, items.tag, value);
    } else if (id == items.modeBlockId) {
        ShowModeBlock(dialog, items.modeBlock, value);
    } else if (id == items.valueId) {
        ShowValueWithStatus(dialog, items.value, value);
    } else {
        return false;
    }
    return true;
}

std::string ItemText(HWND dialog, UINT item, int limit) {
    std::string text(static_cast<size_t>(limit < 0 ? 0 : limit) + 1, '\0');
    const UINT length =
        dialog ? ::GetDlgItemTextA(dialog, static_cast<int>(item), text.data(), static_cast<int>(text.size()))
               : 0;
    text.resize(length);
    return text;
}

void CopyItemText(HWND dialog, UINT from, std::initializer_list<UINT> to, int limit) noexcept {
    if (!dialog || limit < 0) return;
    try {
        std::vector<char> text(static_cast<size_t>(limit) + 1, '\0');
        ::GetDlgItemTextA(dialog, static_cast<int>(from), text.data(), limit + 1);
        for (UINT item : to) SetItemText(dialog, item, text.data());
    } catch (...) {
        // Out of memory: the labels keep their last text.
    }
}

void ShowPicture(HWND dialog, UINT item, UINT bitmapId, ql::Bitmap& owned) noexcept {
    const HWND picture = dialog ? ::GetDlgItem(dialog, static_cast<int>(item)) : nullptr;
    if (!picture) return;
    if (!owned) {
        owned.Attach(static_cast<HBITMAP>(::LoadImageW(ql::ComModule::Instance().ModuleInstance(),
                                                       MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0,
                                                       LR_DEFAULTCOLOR)));
    }
    if (owned &&
        reinterpret_cast<HBITMAP>(::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0)) != owned.Get()) {
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(owned.Get()));
    }
}
