#pragma once
// The host window of an ActiveX control inside a dialog. Its window text names the control (a class id in
// braces or a ProgID); when the window is created it creates the control, feeds it the DLGINIT data of its
// dialog item through IPersistStreamInit::Load (InitNew when there is none) and activates it in place. It
// answers the registered message "WM_ATLGETCONTROL" with the control's IUnknown, borrowed: the caller
// queries it for what it needs and adds no reference of its own unless it keeps the pointer.
// When the host window goes, the control is closed and released with it.
#include <windows.h>

#include "classlib/AxControlSite.h"
#include "classlib/ComPtr.h"

namespace ql {

// The registered message "WM_ATLGETCONTROL": a host window answers it with its control's IUnknown.
UINT ControlQueryMessage() noexcept;
// The name of the host window class. Window classes belong to a module instance: the class is registered
// for the instance whose dialogs (or CreateWindowEx calls) create host windows, before they do.
const wchar_t* AxHostWindowClass() noexcept;
HRESULT RegisterAxHostWindowClass(HINSTANCE module) noexcept;
// The site of a host window (null for any other window); borrowed.
AxControlSite* AxHostSite(HWND host) noexcept;

// Creates a modeless dialog from the resource `id` of `module` as a child (or owned pop-up) of `parent`,
// with its ActiveX items hosted and fed from the dialog's DLGINIT resource of the same id. `param` reaches
// the dialog procedure with WM_INITDIALOG. Null on failure (GetLastError tells why).
HWND CreateDialogWithControls(HINSTANCE module, LPCWSTR id, HWND parent, DLGPROC procedure, LPARAM param);

}  // namespace ql
