#pragma once
// DialogControl: a windowed ActiveX control whose window is a dialog from the module's resources (our
// composite control). The part implements the control interfaces; a class supplies its dialog id, its class
// id, its message map and its own interfaces, in the one COM object shape:
//
//   class CFoo : public ql::ComObjectBase<CFoo>, public ql::DispatchImpl<IFoo>, public ql::DialogControl {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IFoo), QL_ENTRY_IID(IID_IDispatch, IFoo),
//                          QL_ENTRY_CHAIN(ql::DialogControl))
//       QL_BEGIN_MSG_MAP(CFoo)
//           QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
//           QL_CHAIN_MSG_MAP(ql::DialogControl)
//       QL_END_MSG_MAP()
//   public:
//       CFoo() : ql::DialogControl(IDD_FOO, CLSID_Foo) {}
//   };
//
// What the part does: IOleObject (client site, extent in HIMETRIC from the dialog's size, DoVerb with
// in-place and UI activation, Close, advise holder, misc status from the registry), IOleInPlaceObject and
// IOleInPlaceActiveObject (keys go through the dialog manager, so Tab moves inside the control and Enter and
// Esc arrive as IDOK and IDCANCEL), IOleControl (ambient changes, mnemonics), IViewObject2 (draws the window,
// or a plain face before it exists), IPersistStreamInit and IPersistPropertyBag (through the hooks below;
// by default nothing is persisted) and IProvideClassInfo2 from the module's type library.
// Ambient UserMode and LocaleID are read from the client site (AmbientUserMode, AmbientLocaleId).
//
// Ownership: the control holds its client site, in-place site and frame until Close or SetClientSite(null);
// the window is destroyed on in-place deactivation and with the object at the latest.
// Threading: apartment-threaded, all calls on the thread of the container's window.
#include <ocidl.h>
#include <oleidl.h>
#include <windows.h>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/ModelessDialog.h"
#include "classlib/MessageMap.h"

namespace ql {

class DialogControl : public ModelessDialog,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IOleInPlaceActiveObject,
                      public IOleControl,
                      public IViewObject2,
                      public IPersistStreamInit,
                      public IPersistPropertyBag,
                      public IProvideClassInfo2 {
    QL_INTERFACE_PART_TABLE(DialogControl, QL_ENTRY(IOleObject), QL_ENTRY(IOleInPlaceObject),
                            QL_ENTRY_IID(IID_IOleWindow, IOleInPlaceObject),
                            QL_ENTRY(IOleInPlaceActiveObject), QL_ENTRY(IOleControl), QL_ENTRY(IViewObject2),
                            QL_ENTRY_IID(IID_IViewObject, IViewObject2), QL_ENTRY(IPersistStreamInit),
                            QL_ENTRY_IID(IID_IPersist, IPersistStreamInit), QL_ENTRY(IPersistPropertyBag),
                            QL_ENTRY(IProvideClassInfo2),
                            QL_ENTRY_IID(IID_IProvideClassInfo, IProvideClassInfo2))

    // The control's own handling: WM_MOUSEACTIVATE UI-activates it in user mode, WM_SETFOCUS tells the site.
    QL_BEGIN_MSG_MAP(DialogControl)
    QL_MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
    QL_END_MSG_MAP()

public:
    // ---- IOleObject ----
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) noexcept override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) noexcept override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) noexcept override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** out) noexcept override;
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent,
                                     LPCRECT position) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) noexcept override;
    HRESULT STDMETHODCALLTYPE Update() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) noexcept override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* out) noexcept override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* out) noexcept override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) noexcept override { return E_NOTIMPL; }

    // ---- IOleWindow, IOleInPlaceObject ----
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) noexcept override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override { return E_NOTIMPL; }

    // ---- IOleInPlaceActiveObject ----
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) noexcept override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) noexcept override { return S_OK; }

    // ---- IOleControl ----
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* out) noexcept override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* message) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) noexcept override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) noexcept override;

    // ---- IViewObject, IViewObject2 ----
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target,
                                   LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                   ULONG_PTR) noexcept override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                          LOGPALETTE** out) noexcept override;
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL out) noexcept override;

    // ---- IPersist, IPersistStreamInit, IPersistPropertyBag ----
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) noexcept override;
    HRESULT STDMETHODCALLTYPE IsDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* out) noexcept override;
    HRESULT STDMETHODCALLTYPE InitNew() noexcept override;
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) noexcept override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) noexcept override;

    // ---- IProvideClassInfo2 ----
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) noexcept override;

    // The ambient properties of the client site; S_FALSE (and the default) when the site does not tell.
    HRESULT AmbientUserMode(bool& userMode) const noexcept;
    HRESULT AmbientLocaleId(LCID& locale) const noexcept;
    // In-place activation as the verbs ask for it; with `uiActivate` the control also takes the focus.
    HRESULT ActivateInPlace(bool uiActivate) noexcept;
    bool IsInPlaceActive() const noexcept { return inPlaceActive_; }
    bool IsUiActive() const noexcept { return uiActive_; }
    bool AreEventsFrozen() const noexcept { return freezeCount_ > 0; }
    IOleClientSite* ClientSite() const noexcept { return clientSite_.Get(); }

protected:
    // `eventsIid` is the default source interface that IProvideClassInfo2 names (IID_NULL: none).
    DialogControl(UINT dialogId, const CLSID& classId, const IID& eventsIid = IID_NULL) noexcept;
    ~DialogControl() override;

    UINT DialogId() const noexcept { return dialogId_; }
    // The module whose resources hold the dialog: the class library's module by default.
    virtual HINSTANCE DialogModule() const noexcept;

    // Persistence hooks; the defaults keep nothing, so every control loads and saves as empty.
    virtual HRESULT LoadState(IStream*) noexcept { return S_OK; }
    virtual HRESULT SaveState(IStream*, bool /*clearDirty*/) noexcept { return S_OK; }
    virtual HRESULT InitState() noexcept { return S_OK; }
    virtual HRESULT LoadProperties(IPropertyBag*, IErrorLog*) noexcept { return S_OK; }
    virtual HRESULT SaveProperties(IPropertyBag*, bool /*clearDirty*/, bool /*saveAll*/) noexcept {
        return S_OK;
    }
    virtual bool IsStateDirty() const noexcept { return false; }
    // An ambient property of the site changed (DISPID_UNKNOWN: several of them).
    virtual void OnAmbientChanged(DISPID) noexcept {}
    // Offered every key message before the dialog manager sees it; TRUE consumes it.
    virtual BOOL PreTranslateKey(MSG*) noexcept { return FALSE; }
    // Runs once the dialog window exists (in-place activation), before it is shown.
    virtual void OnWindowCreated() noexcept {}

    // Tells the advise sinks that the view changed (after the control redrew itself).
    void SendViewChange() noexcept;
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL& handled);

private:
    HRESULT CreateWindowIn(HWND parent, const RECT& position) noexcept;
    HRESULT NaturalExtent(SIZEL& out) noexcept;
    bool OwnsWindow(HWND window) const noexcept;

    UINT dialogId_;
    CLSID classId_;
    IID eventsIid_;
    SIZEL extent_{0, 0};  // HIMETRIC; computed from the dialog on first demand
    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> inPlaceFrame_;
    ComPtr<IOleInPlaceUIWindow> inPlaceDocument_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    LONG freezeCount_ = 0;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
};

}  // namespace ql
