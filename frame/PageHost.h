#pragma once
// CPageHost: the frame's window for one property page, hosted the way a property frame hosts it. The page is
// created in-process by class id (or ProgID), given a page site of the frame's own and the DTM as its
// object, told whether it works on the device (and in which frame mode), activated in the window's client
// area at the size it asks for, initialised with the DTM and shown. The page takes part in the DTM's
// notifications as an open control, as the parameterization window passes them on to its pages. Keys of
// the frame's loop go to the page first (IPropertyPage::TranslateAccelerator).
//
// Ownership: Close (and the destructor) lets the page go in reverse order (Deactivate, SetObjects(0),
// SetPageSite(null), Release), takes it off the DTM's open controls and destroys the window: no page keeps
// the frame or the DTM. Threading: the frame's user-interface thread.
#include <windows.h>
#include <ocidl.h>

#include <string>

#include "QuelkInterfaces.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/PropertyPageSite.h"
#include "classlib/WindowOwner.h"

class CFramePageSite final : public ql::ComObjectBase<CFramePageSite>, public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(CFramePageSite, QL_ENTRY_CHAIN(ql::PropertyPageSite))
};

class CPageHost {
public:
    CPageHost() noexcept = default;
    CPageHost(const CPageHost&) = delete;
    CPageHost& operator=(const CPageHost&) = delete;
    ~CPageHost() { Close(); }

    // Opens the page `classIdOrProgId` with `dtm`; `online` tells it that it works on the device (the
    // online parameterization's frame mode 2). The first failing step is the answer; nothing stays open then.
    HRESULT Open(const std::wstring& classIdOrProgId, IUnknown* dtm, bool online) noexcept;
    void Close() noexcept;

    bool IsOpen() const noexcept { return static_cast<bool>(window_); }
    HWND Window() const noexcept { return window_.Get(); }
    // The page's dialog (the window's child), null before the page is activated.
    HWND PageDialog() const noexcept;
    // Offers a key of the loop to the page: true when the page used it.
    bool TranslateKey(MSG* message) noexcept;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT CreateFrameWindow(const std::wstring& title, SIZE client) noexcept;

    ql::WindowOwner window_;
    ql::ComPtr<CFramePageSite> site_;
    ql::HostedPropertyPage page_;
    ql::ComPtr<IQuelkFunctions> functions_;  // the DTM's register of open controls
    std::wstring invokeId_;
};

// Dispatches the messages waiting now, keys offered to the page first.
void PumpPageMessages(CPageHost& host) noexcept;
// Runs the frame's message loop until the page's window is closed.
void RunPageLoop(CPageHost& host) noexcept;
