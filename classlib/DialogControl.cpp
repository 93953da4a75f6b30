// DialogControl: the OLE object, in-place activation and keyboard (view, persistence and class information
// are in DialogControlView.cpp).
#include "classlib/DialogControl.h"

#include <olectl.h>

#include "classlib/ComModule.h"
#include "classlib/DialogTemplate.h"
#include "classlib/Himetric.h"

namespace ql {

namespace {

// What a composite control is when the registry does not say: activated when visible, inside-out, site
// first (so ambient properties are there while it loads).
constexpr DWORD kDefaultMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;

bool IsKeyboardMessage(UINT message) noexcept { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

}  // namespace

DialogControl::DialogControl(UINT dialogId, const CLSID& classId, const IID& eventsIid) noexcept
    : dialogId_(dialogId), classId_(classId), eventsIid_(eventsIid) {}

DialogControl::~DialogControl() = default;

HINSTANCE DialogControl::DialogModule() const noexcept { return ComModule::Instance().ResourceInstance(); }

HRESULT DialogControl::NaturalExtent(SIZEL& out) noexcept {
    if (extent_.cx == 0 && extent_.cy == 0) {
        SIZE pixels{};
        QL_RETURN_IF_FAILED(DialogSizeInPixels(DialogModule(), MAKEINTRESOURCEW(dialogId_), pixels));
        extent_ = PixelsToHimetric(pixels);
    }
    out = extent_;
    return S_OK;
}

bool DialogControl::OwnsWindow(HWND window) const noexcept {
    HWND own = WindowHandle();
    return own && window && (window == own || ::IsChild(own, window));
}

// ---- IOleObject ----

HRESULT DialogControl::SetClientSite(IOleClientSite* site) noexcept {
    clientSite_ = ComPtr<IOleClientSite>(site);
    if (site) OnAmbientChanged(DISPID_UNKNOWN);
    return S_OK;
}

HRESULT DialogControl::GetClientSite(IOleClientSite** out) noexcept { return clientSite_.CopyTo(out); }

HRESULT DialogControl::Close(DWORD) noexcept {
    // InPlaceDeactivate and SendOnClose answer S_OK or a container's failure that closing cannot act on.
    (void)InPlaceDeactivate();
    if (adviseHolder_) (void)adviseHolder_->SendOnClose();
    // Let go of everything the container gave, so no cycle outlives the close.
    adviseHolder_.Reset();
    viewSink_.Reset();
    return S_OK;
}

HRESULT DialogControl::GetMoniker(DWORD, DWORD, IMoniker** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT DialogControl::GetClipboardData(DWORD, IDataObject** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT DialogControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND, LPCRECT) noexcept {
    if (activeSite && !clientSite_) clientSite_ = ComPtr<IOleClientSite>(activeSite);
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(true);
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(false);
        case OLEIVERB_HIDE:
            // UIDeactivate always answers S_OK.
            (void)UIDeactivate();
            if (WindowHandle()) ::ShowWindow(WindowHandle(), SW_HIDE);
            return S_OK;
        case OLEIVERB_OPEN:
        case OLEIVERB_DISCARDUNDOSTATE:
            return E_NOTIMPL;
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT DialogControl::EnumVerbs(IEnumOLEVERB** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ::OleRegEnumVerbs(classId_, out);
}

HRESULT DialogControl::GetUserClassID(CLSID* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = classId_;
    return S_OK;
}

HRESULT DialogControl::GetUserType(DWORD form, LPOLESTR* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ::OleRegGetUserType(classId_, form, out);
}

HRESULT DialogControl::SetExtent(DWORD aspect, SIZEL* size) noexcept {
    QL_RETURN_IF_NULL_OUT(size);
    QL_RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
    extent_ = *size;
    return S_OK;
}

HRESULT DialogControl::GetExtent(DWORD aspect, SIZEL* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    QL_RETURN_HR_IF(E_FAIL, aspect != DVASPECT_CONTENT);
    return NaturalExtent(*out);
}

HRESULT DialogControl::Advise(IAdviseSink* sink, DWORD* cookie) noexcept {
    QL_RETURN_IF_NULL_OUT(cookie);
    *cookie = 0;
    if (!adviseHolder_) QL_RETURN_IF_FAILED(::CreateOleAdviseHolder(adviseHolder_.Put()));
    return adviseHolder_->Advise(sink, cookie);
}

HRESULT DialogControl::Unadvise(DWORD cookie) noexcept {
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT DialogControl::EnumAdvise(IEnumSTATDATA** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

HRESULT DialogControl::GetMiscStatus(DWORD aspect, DWORD* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    if (SUCCEEDED(::OleRegGetMiscStatus(classId_, aspect, out)) && *out != 0) return S_OK;
    *out = kDefaultMiscStatus;
    return S_OK;
}

// ---- in-place activation ----

HRESULT DialogControl::CreateWindowIn(HWND parent, const RECT& position) noexcept {
    QL_RETURN_IF_FAILED(CreateDialogWindow(DialogModule(), dialogId_, parent));
    HWND window = WindowHandle();
    // Tab and the arrow keys of the container's dialog manager walk into the control's children.
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    ::MoveWindow(window, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, FALSE);
    OnWindowCreated();
    ::ShowWindow(window, SW_SHOWNA);
    return S_OK;
}

HRESULT DialogControl::ActivateInPlace(bool uiActivate) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, !clientSite_);
    if (!inPlaceActive_) {
        ComPtr<IOleInPlaceSite> site;
        QL_RETURN_IF_FAILED(QueryInterfaceTo(clientSite_.Get(), site));
        QL_RETURN_HR_IF(E_FAIL, site->CanInPlaceActivate() != S_OK);
        QL_RETURN_IF_FAILED(site->OnInPlaceActivate());
        inPlaceSite_ = site;
        inPlaceActive_ = true;
        HWND parent = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{sizeof(frameInfo)};
        HRESULT hr = site->GetWindow(&parent);
        if (SUCCEEDED(hr))
            hr = site->GetWindowContext(inPlaceFrame_.Put(), inPlaceDocument_.Put(), &position, &clip,
                                        &frameInfo);
        if (SUCCEEDED(hr) && !WindowHandle()) hr = CreateWindowIn(parent, position);
        if (FAILED(hr)) {
            // Undoes the part that was done; the activation's own failure is the answer.
            (void)InPlaceDeactivate();
            return hr;
        }
    }
    // Shown again after OLEIVERB_HIDE.
    if (!::IsWindowVisible(WindowHandle())) ::ShowWindow(WindowHandle(), SW_SHOWNA);
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        // The container's answers to these notices change nothing here: the control is UI-active either way.
        (void)inPlaceSite_->OnUIActivate();
        auto* active = static_cast<IOleInPlaceActiveObject*>(this);
        if (inPlaceFrame_) (void)inPlaceFrame_->SetActiveObject(active, nullptr);
        if (inPlaceDocument_) (void)inPlaceDocument_->SetActiveObject(active, nullptr);
        HWND window = WindowHandle();
        if (!OwnsWindow(::GetFocus())) {
            HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE);
            ::SetFocus(first ? first : window);
        }
    }
    return S_OK;
}

HRESULT DialogControl::GetWindow(HWND* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = WindowHandle();
    return *out ? S_OK : E_FAIL;
}

HRESULT DialogControl::InPlaceDeactivate() noexcept {
    if (!inPlaceActive_) return S_OK;
    // UIDeactivate always answers S_OK; the site is told whatever it answers.
    (void)UIDeactivate();
    inPlaceActive_ = false;
    DestroyDialogWindow();
    ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
    inPlaceFrame_.Reset();
    inPlaceDocument_.Reset();
    // A notice: the control is inactive whatever the site answers.
    if (site) (void)site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT DialogControl::UIDeactivate() noexcept {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    // Notices to the container; the control is UI-inactive whatever they answer.
    if (inPlaceDocument_) (void)inPlaceDocument_->SetActiveObject(nullptr, nullptr);
    if (inPlaceFrame_) (void)inPlaceFrame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) (void)inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT DialogControl::SetObjectRects(LPCRECT position, LPCRECT) noexcept {
    QL_RETURN_IF_NULL_OUT(position);
    if (HWND window = WindowHandle())
        ::MoveWindow(window, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
    return S_OK;
}

LRESULT DialogControl::OnMouseActivate(UINT, WPARAM, LPARAM, BOOL& handled) {
    bool userMode = true;
    // Outside user mode (a form designer) a click selects the control instead of activating it.
    // A failed activation leaves the control inactive; the click is passed on all the same.
    if (!(AmbientUserMode(userMode) == S_OK && !userMode)) (void)ActivateInPlace(true);
    handled = FALSE;
    return MA_ACTIVATE;
}

// ---- keyboard ----

HRESULT DialogControl::TranslateAccelerator(LPMSG message) noexcept {
    QL_RETURN_IF_NULL_OUT(message);
    HWND window = WindowHandle();
    if (!window || !IsKeyboardMessage(message->message) || !OwnsWindow(message->hwnd)) return S_FALSE;
    if (PreTranslateKey(message)) return S_OK;
    if (::IsDialogMessageW(window, message)) return S_OK;
    // What the control leaves may be the container's accelerator.
    ComPtr<IOleControlSite> controlSite;
    if (clientSite_ && SUCCEEDED(QueryInterfaceTo(clientSite_.Get(), controlSite))) {
        DWORD modifiers = 0;
        if (::GetKeyState(VK_SHIFT) < 0) modifiers |= 1;
        if (::GetKeyState(VK_CONTROL) < 0) modifiers |= 2;
        if (::GetKeyState(VK_MENU) < 0) modifiers |= 4;
        if (controlSite->TranslateAccelerator(message, modifiers) == S_OK) return S_OK;
    }
    return S_FALSE;
}

HRESULT DialogControl::GetControlInfo(CONTROLINFO* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    out->cb = sizeof(*out);
    out->hAccel = nullptr;  // mnemonics are the dialog's own, found by the dialog manager
    out->cAccel = 0;
    out->dwFlags = 0;
    return S_OK;
}

HRESULT DialogControl::OnMnemonic(MSG* message) noexcept {
    QL_RETURN_IF_NULL_OUT(message);
    HWND window = WindowHandle();
    if (!window) return S_FALSE;
    MSG routed = *message;
    routed.hwnd = window;  // the container saw the key on its own window: let our dialog look for the item
    return ::IsDialogMessageW(window, &routed) ? S_OK : S_FALSE;
}

HRESULT DialogControl::OnAmbientPropertyChange(DISPID id) noexcept {
    OnAmbientChanged(id);
    return S_OK;
}

HRESULT DialogControl::FreezeEvents(BOOL freeze) noexcept {
    freezeCount_ += freeze ? 1 : (freezeCount_ > 0 ? -1 : 0);
    return S_OK;
}

}  // namespace ql
