// DialogControl: drawing, persistence, class information and the ambient properties.
#include <olectl.h>

#include "classlib/ComModule.h"
#include "classlib/DialogControl.h"
#include "classlib/Variant.h"
#include "classlib/WindowPicture.h"

namespace ql {

namespace {

HRESULT ReadAmbient(IOleClientSite* site, DISPID id, VARTYPE type, Variant& out) noexcept {
    if (!site) return S_FALSE;
    ComPtr<IDispatch> ambient;
    if (FAILED(QueryInterfaceTo(site, ambient))) return S_FALSE;
    DISPPARAMS noArguments{};
    Variant raw;
    if (FAILED(ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                               raw.Put(), nullptr, nullptr)))
        return S_FALSE;
    // No ambient property is an array or a reference, and the platform would copy either before it converts.
    if (raw.Type() & (VT_ARRAY | VT_BYREF)) return S_FALSE;
    return ::VariantChangeType(out.Put(), raw.Get(), 0, type) == S_OK ? S_OK : S_FALSE;
}

}  // namespace

HRESULT DialogControl::AmbientUserMode(bool& userMode) const noexcept {
    userMode = true;
    Variant value;
    const HRESULT hr = ReadAmbient(clientSite_.Get(), DISPID_AMBIENT_USERMODE, VT_BOOL, value);
    if (hr == S_OK) userMode = V_BOOL(value.Get()) != VARIANT_FALSE;
    return hr;
}

HRESULT DialogControl::AmbientLocaleId(LCID& locale) const noexcept {
    locale = ::GetUserDefaultLCID();
    Variant value;
    const HRESULT hr = ReadAmbient(clientSite_.Get(), DISPID_AMBIENT_LOCALEID, VT_I4, value);
    if (hr == S_OK) locale = static_cast<LCID>(V_I4(value.Get()));
    return hr;
}

// ---- IViewObject2 ----

HRESULT DialogControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds,
                            LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept {
    QL_RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
    QL_RETURN_HR_IF(E_INVALIDARG, !drawDc || !bounds);
    HWND window = WindowHandle();
    if (window) {
        // Active: what the window shows, its fields included, in the container's device context at `bounds`.
        const RECT target{bounds->left, bounds->top, bounds->right, bounds->bottom};
        return PaintWindowTree(window, drawDc, target) ? S_OK : E_FAIL;
    }
    // Not active yet: the face of an empty dialog.
    RECT face{bounds->left, bounds->top, bounds->right, bounds->bottom};
    ::FillRect(drawDc, &face, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(drawDc, &face, EDGE_SUNKEN, BF_RECT);
    return S_OK;
}

HRESULT DialogControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return S_FALSE;  // no palette of its own
}

HRESULT DialogControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept {
    viewSink_ = ComPtr<IAdviseSink>(sink);
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

HRESULT DialogControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    return sink ? viewSink_.CopyTo(sink) : S_OK;
}

HRESULT DialogControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL out) noexcept {
    return GetExtent(aspect, out);
}

void DialogControl::SendViewChange() noexcept {
    if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    if (viewFlags_ & ADVF_ONLYONCE) viewSink_.Reset();
}

// ---- persistence ----

HRESULT DialogControl::GetClassID(CLSID* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = classId_;
    return S_OK;
}

HRESULT DialogControl::IsDirty() noexcept { return IsStateDirty() ? S_OK : S_FALSE; }

HRESULT DialogControl::Load(LPSTREAM stream) noexcept {
    QL_RETURN_IF_NULL_OUT(stream);
    return LoadState(stream);
}

HRESULT DialogControl::Save(LPSTREAM stream, BOOL clearDirty) noexcept {
    QL_RETURN_IF_NULL_OUT(stream);
    return SaveState(stream, clearDirty != FALSE);
}

HRESULT DialogControl::GetSizeMax(ULARGE_INTEGER* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    out->QuadPart = 0;
    return E_NOTIMPL;  // the state's size is known only by saving it
}

HRESULT DialogControl::InitNew() noexcept { return InitState(); }

HRESULT DialogControl::Load(IPropertyBag* bag, IErrorLog* log) noexcept {
    QL_RETURN_IF_NULL_OUT(bag);
    return LoadProperties(bag, log);
}

HRESULT DialogControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) noexcept {
    QL_RETURN_IF_NULL_OUT(bag);
    return SaveProperties(bag, clearDirty != FALSE, saveAll != FALSE);
}

// ---- IProvideClassInfo2 ----

HRESULT DialogControl::GetClassInfo(ITypeInfo** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ComModule& module = ComModule::Instance();
    return module.TypeLibrary().GetTypeInfo(module.ModuleInstance(), classId_, out);
}

HRESULT DialogControl::GetGUID(DWORD kind, GUID* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = GUID_NULL;
    QL_RETURN_HR_IF(E_INVALIDARG, kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID);
    QL_RETURN_HR_IF(E_FAIL, IsEqualIID(eventsIid_, IID_NULL));
    *out = eventsIid_;
    return S_OK;
}

}  // namespace ql
