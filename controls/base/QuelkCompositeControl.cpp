// The composite-control layer: its Init and GetInfo forms and the close request.
#include "controls/base/QuelkCompositeControl.h"

#include "classlib/Bstr.h"
#include "classlib/Variant.h"
#include "dataset/VariantArguments.h"

CQuelkCompositeControl::CQuelkCompositeControl(UINT dialogId, const CLSID& classId, const ParameterMap& map,
                                               UINT commitButtonId) noexcept
    : ql::DialogControl(dialogId, classId),
      CQuelkControlBase(map),
      CQuelkFdtActiveX(static_cast<CQuelkControlBase&>(*this)),
      ql::CoClassDispatch(classId),
      commitButtonId_(commitButtonId) {}

HRESULT CQuelkCompositeControl::AttachIdentity(IUnknown* controllingUnknown) noexcept {
    QL_RETURN_IF_NULL_OUT(controllingUnknown);
    SetControllingUnknown(controllingUnknown);
    return S_OK;
}

HRESULT CQuelkCompositeControl::Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    QL_RETURN_IF_NULL_OUT(dtm);
    // Nothing to commit until the user changes something.
    if (commitButtonId_ != 0 && DialogWindow()) {
        ::EnableWindow(::GetDlgItem(DialogWindow(), static_cast<int>(commitButtonId_)), FALSE);
    }
    return CQuelkControlBase::Init(dtm, ok);
}

HRESULT CQuelkCompositeControl::GetInfo(VARIANT what, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    ULONG item = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(what, &item));
    if (item != kInfoFunctionCall) return CQuelkControlBase::GetInfo(what, value);
    ql::Bstr copy;
    QL_RETURN_IF_FAILED(copy.AssignCopy(FunctionCall()));
    ql::Variant call;
    call.AttachBstr(copy.Detach());
    MoveToOut(value, call);
    return S_FALSE;
}

bool CQuelkCompositeControl::PostCloseRequest() noexcept {
    const HWND window = WindowHandle();
    return window && ::PostMessageW(window, kCloseRequestMessage, 0,
                                    reinterpret_cast<LPARAM>(ControllingUnknown())) != FALSE;
}

LRESULT CQuelkCompositeControl::OnMouseActivate(UINT, WPARAM, LPARAM, BOOL& handled) noexcept {
    if (const HWND window = WindowHandle()) ::BringWindowToTop(::GetAncestor(window, GA_ROOT));
    handled = FALSE;
    return MA_ACTIVATE;
}

LRESULT CQuelkCompositeControl::OnCloseRequest(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    // The frame may release the control while it closes the function: hold it for the call.
    const ql::ComPtr<IUnknown> self(ControllingUnknown());
    (void)RequestClose();  // refused or without a DTM link: the control stays open
    return TRUE;
}
