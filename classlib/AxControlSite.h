#pragma once
// AxControlSite: the container side of one ActiveX control inside one window of ours (a host window in a
// dialog, or a frame's top-level window). It is the control's client site, in-place site and in-place
// frame, its control site, and answers the ambient properties (user mode, locale) through IDispatch.
//
//   ql::ComPtr<ql::AxControlSite> site;
//   ql::MakeObject(site, hostWindow);
//   site->CreateControl(L"VarnokP3.Trend", initStream);   // created, loaded, activated in place
//   ... site->TranslateAccelerator(&msg) in the message loop ...
//   site->Close();                                         // before the host window goes
//
// Ownership: the site holds the control; the control holds the site as its client site until Close, which
// breaks that cycle (SetClientSite(null)). The site does not own its window.
// Threading: apartment-threaded, on the thread of its window.
#include <ocidl.h>
#include <oleidl.h>
#include <windows.h>

#include <string>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"

namespace ql {

class AxControlSite final : public ComObjectBase<AxControlSite>,
                            public IOleClientSite,
                            public IOleInPlaceSite,
                            public IOleInPlaceFrame,
                            public IOleControlSite,
                            public IDispatch {
    QL_INTERFACE_TABLE(AxControlSite, QL_ENTRY(IOleClientSite), QL_ENTRY(IOleInPlaceSite),
                       QL_ENTRY_IID(IID_IOleWindow, IOleInPlaceSite), QL_ENTRY(IOleInPlaceFrame),
                       QL_ENTRY_IID(IID_IOleInPlaceUIWindow, IOleInPlaceFrame), QL_ENTRY(IOleControlSite),
                       QL_ENTRY(IDispatch))

public:
    explicit AxControlSite(HWND host) noexcept : host_(host) {}

    // Creates the control named by a class id in braces or a ProgID and hosts it (AttachControl).
    HRESULT CreateControl(const std::wstring& classIdOrProgId, IStream* initData) noexcept;
    // Hosts an existing control: loads `initData` through IPersistStreamInit (or starts it new), gives it
    // this site and activates it in place in the host window's client area; with `uiActivate` also
    // UI-activates it (keyboard focus inside the control).
    HRESULT AttachControl(IUnknown* control, IStream* initData, bool uiActivate = false) noexcept;
    // Deactivates, closes and releases the control; the site can host another one afterwards.
    void Close() noexcept;

    // The control's identity, borrowed (no reference added); null when none is hosted.
    IUnknown* Control() const noexcept { return control_.Get(); }
    HWND HostWindow() const noexcept { return host_; }
    bool IsInPlaceActive() const noexcept { return inPlaceActive_; }
    bool IsUiActive() const noexcept { return uiActive_; }
    // The control's window while it is active in place; null otherwise.
    HWND ControlWindow() const noexcept;

    // Offers a keyboard message to the active control (IOleInPlaceActiveObject::TranslateAccelerator):
    // S_OK when the control consumed it.
    HRESULT TranslateControlKey(MSG* message) noexcept;
    // Moves the control to the host's client area (after the host was resized).
    HRESULT FitToHost() noexcept;
    // The control's extent (IOleObject::GetExtent) in pixels of the screen.
    HRESULT ControlSizeInPixels(SIZE& out) const noexcept;

    // Ambient properties; a change is announced to the control (IOleControl::OnAmbientPropertyChange).
    void SetUserMode(bool userMode) noexcept;
    void SetLocaleId(LCID locale) noexcept;

    // ---- IOleClientSite ----
    HRESULT STDMETHODCALLTYPE SaveObject() noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowObject() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

    // ---- IOleWindow (shared by the in-place site and frame) ----
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return S_OK; }

    // ---- IOleInPlaceSite ----
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO frameInfo) noexcept override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) noexcept override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) noexcept override;

    // ---- IOleInPlaceUIWindow / IOleInPlaceFrame: no tool space, no menus ----
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) noexcept override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) noexcept override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

    // ---- IOleControlSite ----
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** out) noexcept override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container,
                                              DWORD flags) noexcept override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) noexcept override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() noexcept override { return E_NOTIMPL; }

    // ---- IDispatch: the ambient properties ----
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) noexcept override;

    void FinalRelease() noexcept { Close(); }

private:
    void AnnounceAmbientChange(DISPID id) noexcept;

    HWND host_;
    ComPtr<IUnknown> control_;
    ComPtr<IOleObject> oleObject_;
    ComPtr<IOleInPlaceObject> inPlaceObject_;
    ComPtr<IOleInPlaceActiveObject> activeObject_;  // set by the control while it is UI-active
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool userMode_ = true;
    LCID locale_ = ::GetUserDefaultLCID();
};

}  // namespace ql
