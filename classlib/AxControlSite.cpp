#include "classlib/AxControlSite.h"

#include <olectl.h>

#include "classlib/Himetric.h"

namespace ql {

namespace {

HRESULT ClassIdFromText(const std::wstring& text, CLSID& out) noexcept {
    if (!text.empty() && text[0] == L'{') return ::CLSIDFromString(text.c_str(), &out);
    return ::CLSIDFromProgID(text.c_str(), &out);
}

RECT ClientRect(HWND window) noexcept {
    RECT rect{};
    ::GetClientRect(window, &rect);
    return rect;
}

}  // namespace

HRESULT AxControlSite::CreateControl(const std::wstring& classIdOrProgId, IStream* initData) noexcept {
    CLSID clsid{};
    QL_RETURN_IF_FAILED(ClassIdFromText(classIdOrProgId, clsid));
    ComPtr<IUnknown> control;
    QL_RETURN_IF_FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                           IID_IUnknown, control.PutVoid()));
    return AttachControl(control.Get(), initData);
}

HRESULT AxControlSite::AttachControl(IUnknown* control, IStream* initData, bool uiActivate) noexcept {
    QL_RETURN_IF_NULL_OUT(control);
    Close();
    ComPtr<IOleObject> oleObject;
    QL_RETURN_IF_FAILED(QueryInterfaceTo(control, oleObject));
    control_ = ComPtr<IUnknown>(control);
    oleObject_ = oleObject;

    DWORD miscStatus = 0;
    // A control that does not answer asks for nothing special: it gets its site after loading.
    (void)oleObject->GetMiscStatus(DVASPECT_CONTENT, &miscStatus);
    // Most controls read ambient properties while they load, so they want the site first.
    const bool siteFirst = (miscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0;
    HRESULT hr = siteFirst ? oleObject->SetClientSite(this) : S_OK;
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(hr) && SUCCEEDED(QueryInterfaceTo(control, persist)))
        hr = initData ? persist->Load(initData) : persist->InitNew();
    if (SUCCEEDED(hr) && !siteFirst) hr = oleObject->SetClientSite(this);
    if (SUCCEEDED(hr)) {
        RECT position = ClientRect(host_);
        hr = oleObject->DoVerb(uiActivate ? OLEIVERB_UIACTIVATE : OLEIVERB_INPLACEACTIVATE, nullptr, this, 0,
                               host_, &position);
    }
    if (FAILED(hr)) Close();
    return hr;
}

void AxControlSite::Close() noexcept {
    if (!oleObject_) return;
    ComPtr<IOleObject> oleObject = std::move(oleObject_);
    // Closing goes on whatever the control answers: the site lets go of it in any case.
    if (inPlaceObject_) (void)inPlaceObject_->InPlaceDeactivate();
    (void)oleObject->Close(OLECLOSE_NOSAVE);
    (void)oleObject->SetClientSite(nullptr);
    activeObject_.Reset();
    inPlaceObject_.Reset();
    control_.Reset();
    inPlaceActive_ = false;
    uiActive_ = false;
}

HWND AxControlSite::ControlWindow() const noexcept {
    HWND window = nullptr;
    if (inPlaceObject_ && FAILED(inPlaceObject_->GetWindow(&window))) window = nullptr;
    return window;
}

HRESULT AxControlSite::TranslateControlKey(MSG* message) noexcept {
    if (!activeObject_) return S_FALSE;
    ComPtr<IOleInPlaceActiveObject> active = activeObject_;  // the control may deactivate meanwhile
    return active->TranslateAccelerator(message);
}

HRESULT AxControlSite::FitToHost() noexcept {
    if (!inPlaceObject_) return S_FALSE;
    const RECT position = ClientRect(host_);
    return inPlaceObject_->SetObjectRects(&position, &position);
}

HRESULT AxControlSite::ControlSizeInPixels(SIZE& out) const noexcept {
    out = SIZE{0, 0};
    QL_RETURN_HR_IF(E_UNEXPECTED, !oleObject_);
    SIZEL extent{};
    QL_RETURN_IF_FAILED(oleObject_->GetExtent(DVASPECT_CONTENT, &extent));
    out = HimetricToPixels(extent);
    return S_OK;
}

void AxControlSite::SetUserMode(bool userMode) noexcept {
    if (userMode_ == userMode) return;
    userMode_ = userMode;
    AnnounceAmbientChange(DISPID_AMBIENT_USERMODE);
}

void AxControlSite::SetLocaleId(LCID locale) noexcept {
    if (locale_ == locale) return;
    locale_ = locale;
    AnnounceAmbientChange(DISPID_AMBIENT_LOCALEID);
}

void AxControlSite::AnnounceAmbientChange(DISPID id) noexcept {
    ComPtr<IOleControl> control;
    if (control_ && SUCCEEDED(QueryInterfaceTo(control_.Get(), control)))
        // A control that ignores the change keeps its old ambient values; the site has nothing to undo.
        (void)control->OnAmbientPropertyChange(id);
}

// ---- IOleClientSite ----

HRESULT AxControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT AxControlSite::GetContainer(IOleContainer** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOINTERFACE;
}

// ---- IOleWindow ----

HRESULT AxControlSite::GetWindow(HWND* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = host_;
    return host_ ? S_OK : E_FAIL;
}

// ---- IOleInPlaceSite ----

HRESULT AxControlSite::OnInPlaceActivate() noexcept {
    inPlaceActive_ = true;
    // A control without IOleInPlaceObject is not deactivated in place when it closes.
    if (control_) (void)QueryInterfaceTo(control_.Get(), inPlaceObject_);
    return S_OK;
}

HRESULT AxControlSite::OnUIActivate() noexcept {
    uiActive_ = true;
    return S_OK;
}

HRESULT AxControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                        LPRECT position, LPRECT clip,
                                        LPOLEINPLACEFRAMEINFO frameInfo) noexcept {
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    *document = nullptr;  // no document window: the frame is the only UI window
    AddRef();
    *frame = this;
    *position = ClientRect(host_);
    *clip = *position;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = ::GetAncestor(host_, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT AxControlSite::OnUIDeactivate(BOOL) noexcept {
    uiActive_ = false;
    activeObject_.Reset();
    return S_OK;
}

HRESULT AxControlSite::OnInPlaceDeactivate() noexcept {
    inPlaceActive_ = false;
    inPlaceObject_.Reset();
    return S_OK;
}

HRESULT AxControlSite::OnPosRectChange(LPCRECT position) noexcept {
    QL_RETURN_IF_NULL_OUT(position);
    return inPlaceObject_ ? inPlaceObject_->SetObjectRects(position, position) : S_OK;
}

// ---- IOleInPlaceFrame ----

HRESULT AxControlSite::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) noexcept {
    activeObject_ = ComPtr<IOleInPlaceActiveObject>(active);
    return S_OK;
}

// ---- IOleControlSite ----

HRESULT AxControlSite::GetExtendedControl(IDispatch** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT AxControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) noexcept {
    if (!himetric || !container) return E_POINTER;
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        const SIZE pixels = HimetricToPixels(SIZEL{himetric->x, himetric->y});
        container->x = static_cast<float>(pixels.cx);
        container->y = static_cast<float>(pixels.cy);
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        const SIZEL units =
            PixelsToHimetric(SIZE{static_cast<LONG>(container->x), static_cast<LONG>(container->y)});
        himetric->x = units.cx;
        himetric->y = units.cy;
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

// ---- IDispatch: ambient properties ----

HRESULT AxControlSite::GetTypeInfoCount(UINT* count) noexcept {
    QL_RETURN_IF_NULL_OUT(count);
    *count = 0;
    return S_OK;
}

HRESULT AxControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT AxControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept { return E_NOTIMPL; }

HRESULT AxControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                              UINT*) noexcept {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    QL_RETURN_IF_NULL_OUT(result);
    ::VariantInit(result);
    switch (id) {
        case DISPID_AMBIENT_USERMODE:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = userMode_ ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_LOCALEID:
            V_VT(result) = VT_I4;
            V_I4(result) = static_cast<LONG>(locale_);
            return S_OK;
        case DISPID_AMBIENT_MESSAGEREFLECT:
        case DISPID_AMBIENT_SHOWHATCHING:
        case DISPID_AMBIENT_SHOWGRABHANDLES:
        case DISPID_AMBIENT_DISPLAYASDEFAULT:
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_FALSE;
            return S_OK;
        case DISPID_AMBIENT_BACKCOLOR:
            V_VT(result) = VT_I4;
            V_I4(result) = static_cast<LONG>(0x80000000 | COLOR_BTNFACE);  // an OLE_COLOR system colour
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace ql
