#pragma once
// CQuelkCompositeControl: the layer of the stand-alone controls that a frame opens as function user
// interfaces. It joins the class library's dialog control (the control's own window), the control base and
// the FDT part (CQuelkFdtActiveX), and adds what such a control needs beyond a page:
// - Init of IQuelkControl in the composite form (the control's commit button stays disabled until the user
//   changes something);
// - GetInfo(1) answers the function call the frame gave;
// - the close request: a handler posts kCloseRequestMessage (wParam 0, lParam the control) to the control's
//   own window; the layer asks the DTM to have the frame close the function, and the frame ends with
//   PrepareToRelease and releases the control. Posted, not sent, so the handler that asked has returned;
// - IDispatch and the class's own interface (ITreeFrame ...): the [default] interface of the class's coclass,
//   as the module's type library declares it (ql::CoClassDispatch), never a control interface of the DTM's.
//
// A class builds on it in the one COM object shape:
//   class CFoo : public ql::ComObjectBase<CFoo>, public CQuelkCompositeControl {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkCompositeControl))
//       QL_BEGIN_MSG_MAP(CFoo)
//           ... the class's own handlers ...
//           QL_CHAIN_MSG_MAP(CQuelkCompositeControl)
//       QL_END_MSG_MAP()
//   public:
//       CFoo() : CQuelkCompositeControl(IDD_FOO, CLSID_Foo, FooMap()) {}
//       HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
//   };
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "classlib/CoClassDispatch.h"
#include "classlib/DialogControl.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/base/QuelkFdtActiveX.h"

class CQuelkCompositeControl : public ql::DialogControl,
                               public CQuelkControlBase,
                               public CQuelkFdtActiveX,
                               public ql::CoClassDispatch {
    QL_INTERFACE_PART_TABLE(CQuelkCompositeControl, QL_ENTRY_CHAIN(CQuelkControlBase),
                            QL_ENTRY_CHAIN(CQuelkFdtActiveX), QL_ENTRY_CHAIN(ql::DialogControl),
                            QL_ENTRY_CHAIN(ql::CoClassDispatch))

public:
    // kCloseRequestMessage (values/DtmVocabulary.h) asks for the close.
    QL_BEGIN_MSG_MAP(CQuelkCompositeControl)
    QL_MESSAGE_HANDLER(kCloseRequestMessage, OnCloseRequest)
    QL_CHAIN_MSG_MAP(CQuelkControlBase)
    QL_CHAIN_MSG_MAP(ql::DialogControl)
    QL_END_MSG_MAP()

    // --- IQuelkControl, composite form ---
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override;
    using CQuelkFdtActiveX::Init;
    // --- IQuelkControlInfo, composite form: item 1 is the function call ---
    HRESULT STDMETHODCALLTYPE GetInfo(VARIANT what, VARIANT* value) noexcept override;

    // Posts the close request to the control's window; false when the control has no window.
    bool PostCloseRequest() noexcept;

protected:
    CQuelkCompositeControl(UINT dialogId, const CLSID& classId, const ParameterMap& map,
                           UINT commitButtonId = 0) noexcept;
    ~CQuelkCompositeControl() override = default;

    // Hands the base the controlling unknown once the object is built (the class's FinalConstruct).
    HRESULT AttachIdentity(IUnknown* controllingUnknown) noexcept;
    void OnWindowCreated() noexcept override { AttachDialogWindow(WindowHandle()); }
    // A WM_MOUSEACTIVATE handler for a class's map: the frame's window comes to the front, and the message
    // goes on to the dialog control's activation.
    LRESULT OnMouseActivate(UINT, WPARAM, LPARAM, BOOL& handled) noexcept;
    void OnFinalMessage(HWND) noexcept override { AttachDialogWindow(nullptr); }

private:
    LRESULT OnCloseRequest(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;

    UINT commitButtonId_;
};
