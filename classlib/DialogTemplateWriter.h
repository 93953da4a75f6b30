#pragma once
// ql::DialogTemplateWriter: a dialog template written in memory (DLGTEMPLATE, then DLGTEMPLATEITEM records,
// each on a DWORD boundary, with ordinal window classes such as 0x0080 button or 0x0082 static), for
// dialogs made in code rather than from a resource: the tests' pages and the benchmarks' plain dialogs.
//
//   ql::DialogTemplateWriter dialog(WS_POPUP | WS_CAPTION, 1, 200, 120, L"Title", 8, L"MS Shell Dlg");
//   dialog.Item(0x0082, WS_CHILD | WS_VISIBLE | SS_LEFT, 1000, 2, 2, 40, 8, L"Label");
//   ::CreateDialogIndirectParamW(module, dialog.Get(), parent, proc, 0);
//
// The header names how many items follow; the caller writes exactly that many.
#include <windows.h>

#include <cwchar>
#include <vector>

namespace ql {

class DialogTemplateWriter {
public:
    DialogTemplateWriter() = default;
    // The header of a dialog of `items` items, `cx` by `cy` dialog units at 0,0, in the font `face` of
    // `points` points (DS_SETFONT is added to `style`).
    DialogTemplateWriter(DWORD style, WORD items, short cx, short cy, const wchar_t* title, WORD points,
                         const wchar_t* face) {
        Dword(style | DS_SETFONT);
        Dword(0);  // no extended style
        Word(items);
        for (short v : {short{0}, short{0}, cx, cy}) Word(static_cast<WORD>(v));
        Word(0);  // no menu
        Word(0);  // the dialog class
        Text(title);
        Word(points);
        Text(face);
    }

    // One item of the window class `classOrdinal`; `style` is the item's whole style.
    void Item(WORD classOrdinal, DWORD style, WORD id, short x, short y, short cx, short cy,
              const wchar_t* text) {
        while (bytes_.size() % sizeof(DWORD) != 0) bytes_.push_back(0);
        Dword(style);
        Dword(0);
        for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
        Word(id);
        Word(0xFFFF);  // an ordinal class follows
        Word(classOrdinal);
        Text(text);
        Word(0);  // no creation data
    }

    const DLGTEMPLATE* Get() const noexcept { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
    bool IsEmpty() const noexcept { return bytes_.empty(); }

private:
    void Word(WORD value) { Append(&value, sizeof value); }
    void Dword(DWORD value) { Append(&value, sizeof value); }
    void Text(const wchar_t* text) { Append(text, (std::wcslen(text) + 1) * sizeof(wchar_t)); }
    void Append(const void* data, size_t size) {
        const auto* bytes = static_cast<const BYTE*>(data);
        bytes_.insert(bytes_.end(), bytes, bytes + size);
    }

    std::vector<BYTE> bytes_;
};

}  // namespace ql
