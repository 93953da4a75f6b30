#pragma once
// The host window of an ActiveX control inside a dialog. Its window text names the control (a class id in
// braces or a ProgID); when the window is created it creates the control, feeds it the DLGINIT data of its
// dialog item through IPersistStreamInit::Load (InitNew when there is none) and activates it in place. It
// answers the registered message "WM_ATLGETCONTROL" with the control's IUnknown and a reference added for
// the caller, as every control host of the platform answers it: whoever sends the message owns the answer
// and releases it (HostedControl does both). When the host window goes, the control is closed and released
// with it.
#include <windows.h>

#include "classlib/AxControlSite.h"
#include "classlib/ComPtr.h"

namespace ql {

// The registered message "WM_ATLGETCONTROL": a host window answers it with its control's IUnknown, the
// reference added for the sender.
UINT ControlQueryMessage() noexcept;
// The control hosted by the window `item` (ours or any host that answers that message), owned; null when
// the item is none or hosts nothing.
ComPtr<IUnknown> HostedControl(HWND item) noexcept;
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
