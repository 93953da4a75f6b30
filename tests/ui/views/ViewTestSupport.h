#pragma once
// What the tests of the views share: the DTM's value notifications as the DTM builds them, the enabled flag
// of a function in the DTM's functions document, window texts and a picture of a window's pixels.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "classlib/Variant.h"

namespace viewtest {

constexpr ULONG kDeviceValueNotify = 0x2800;
constexpr ULONG kDeviceWrittenNotify = 0x2801;

// A byte array of `bytes` (VT_ARRAY|VT_UI1).
ql::Variant ByteArray(const std::vector<BYTE>& bytes);
// The [id, value] payload of a value notification (VT_ARRAY|VT_VARIANT, the id as VT_UI4).
ql::Variant IdValuePayload(ULONG id, const VARIANT& value);
// The payload of a byte array's notification.
inline ql::Variant IdRecordPayload(ULONG id, const std::vector<BYTE>& bytes) {
    return IdValuePayload(id, *ByteArray(bytes));
}

// Whether the functions document of `dtm` lists `functionId` as enabled; false when it lists it not at all.
bool IsFunctionEnabled(IUnknown* dtm, ULONG functionId);

std::string DialogItemText(HWND dialog, int id);

// The check boxes `first` to `last` of `dialog` that are ticked; a ticked box must be enabled and an empty
// one greyed, as the diagnosis shows its bits.
std::set<int> TickedBoxes(HWND dialog, int first, int last);

// The window's pixels as it paints itself now (its children included), one COLORREF per pixel, row by row.
class WindowPicture {
public:
    explicit WindowPicture(HWND window);
    COLORREF At(int x, int y) const;
    // The pixel at the centre of `child`, which lies inside the pictured window.
    COLORREF AtCentreOf(HWND child) const;
    bool IsEmpty() const { return pixels_.empty(); }

private:
    HWND window_;
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

}  // namespace viewtest
