#pragma once
// Dialog templates and their initialisation data (DLGINIT, resource type 240) as the system's dialogs use
// them: a dialog item whose class is a class id in braces ("{CB9FCA2D-...}") is an ActiveX control. Such a
// template is copied with those items turned into control host windows (classlib/AxHostWindow.h), whose
// window text names the class id, and the host creates the control and hands it its DLGINIT data.
#include <windows.h>

#include <string>
#include <vector>

namespace ql {

// Resource type of dialog initialisation data.
inline constexpr WORD kDialogInitResourceType = 240;
// DLGINIT message of an item that holds a control's persisted stream.
inline constexpr WORD kDialogInitLoadFromStream = 0x0376;

// One item of a DLGINIT resource: the dialog item it belongs to, its message and its bytes.
struct DialogInitItem {
    WORD controlId = 0;
    WORD message = 0;
    std::vector<BYTE> data;
};

// Parses DLGINIT data (WORD id, WORD message, DWORD length, bytes; a zero id ends it). A truncated item
// answers E_INVALIDARG with the items read before it kept in `out`.
HRESULT ParseDialogInit(const BYTE* data, size_t size, std::vector<DialogInitItem>& out);
// The DLGINIT resource `id` of `module`; none is S_FALSE with `out` empty.
HRESULT LoadDialogInit(HINSTANCE module, LPCWSTR id, std::vector<DialogInitItem>& out);

// A copy of a dialog template (DLGTEMPLATE or DLGTEMPLATEEX) that can be rewritten.
class DialogTemplate {
public:
    HRESULT Load(HINSTANCE module, LPCWSTR id);
    HRESULT Assign(const BYTE* data, size_t size);

    const DLGTEMPLATE* Get() const noexcept { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }
    bool IsExtended() const noexcept;
    DWORD Style() const noexcept;
    // The dialog's size in dialog units.
    SIZE SizeInDialogUnits() const noexcept;
    // How many items name an ActiveX control (class text starting with '{').
    size_t ActiveXItemCount() const;

    // Turns every ActiveX item into a host window of `hostClass` whose window text is the item's class id.
    HRESULT ReplaceActiveXItems(const wchar_t* hostClass);
    // Keeps the header only (no items) and replaces the window style: a template to measure the dialog.
    HRESULT KeepHeaderOnly(DWORD style);

private:
    struct Item;
    HRESULT Parse(std::vector<Item>& items, size_t& headerSize) const;

    std::vector<BYTE> bytes_;
};

// The size of dialog `id` of `module` in pixels, as its font maps dialog units (MapDialogRect on a hidden
// copy of the dialog without items).
HRESULT DialogSizeInPixels(HINSTANCE module, LPCWSTR id, SIZE& out);

}  // namespace ql
