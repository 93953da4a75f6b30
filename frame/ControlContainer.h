#pragma once
// CControlContainer: the frame's top-level window for one user interface, an OLE container for one ActiveX
// control (client site, in-place site and frame, control site and ambient properties: ql::AxControlSite).
// The control is UI-activated in the window's client area, the window is sized to the control's extent,
// and the frame's message loop offers every key to the control first (TranslateKey).
//
// Closing: the user's close (WM_CLOSE) and a posted close request (RequestClose) both run the close handler
// from the message loop, never inside a call of the control; the handler decides (the function UI lets the
// control go first). Without a handler the window closes the control itself.
// Ownership: the container owns its window and its site; Close lets the control go (no cycle remains).
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <functional>
#include <string>

#include "classlib/AxControlSite.h"
#include "classlib/ComPtr.h"
#include "classlib/WindowOwner.h"

class CControlContainer {
public:
    CControlContainer() noexcept = default;
    CControlContainer(const CControlContainer&) = delete;
    CControlContainer& operator=(const CControlContainer&) = delete;
    ~CControlContainer() { Close(); }

    // Creates the control (a class id in braces or a ProgID) in a new window captioned `title`.
    HRESULT Open(const std::wstring& classIdOrProgId, const std::wstring& title) noexcept;
    // Hosts a control created elsewhere.
    HRESULT OpenControl(IUnknown* control, const std::wstring& title) noexcept;
    // Shows the window (after the frame initialised the control).
    void Show() noexcept;
    // Closes and releases the control and destroys the window.
    void Close() noexcept;

    HWND Window() const noexcept { return window_.Get(); }
    bool IsOpen() const noexcept { return static_cast<bool>(window_); }
    IUnknown* Control() const noexcept { return site_ ? site_->Control() : nullptr; }
    ql::AxControlSite* Site() const noexcept { return site_.Get(); }

    // Offers a message of the loop to the control: true when the control consumed it.
    bool TranslateKey(MSG* message) noexcept;
    // Posts a close request to the window; the close handler runs from the message loop.
    void RequestClose() noexcept;
    void SetCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT CreateFrameWindow(const std::wstring& title) noexcept;
    void FitWindowToControl() noexcept;
    void OnCloseRequested() noexcept;

    ql::WindowOwner window_;
    ql::ComPtr<ql::AxControlSite> site_;
    std::function<void()> closeHandler_;
};

// Runs the frame's message loop until the container's window is gone, offering keys to its control.
void RunContainerLoop(CControlContainer& container) noexcept;
// Dispatches the messages waiting now, keys offered to the control first (a test's or a script's pump).
void PumpContainerMessages(CControlContainer& container) noexcept;
