#pragma once
// CQuelkPropertyPageImpl: the layer of the parameter pages that the parameterization window hosts. It joins
// the class library's property page and a control layer (the control base, or the online page on it):
// the base's dirty flag reaches the page site (so the window enables Apply), Apply commits the modified
// rows through the base's commit slot (ApplyModifiedRows; the layer's CommitParameter decides what a commit
// does online and offline), and the page's keys go through the page keyboard before the page site sees them.
// The page information carries the title and help file that the DTM's translation document gives the
// page's class, so the window's help (F1, the Help button) finds the help file of the page it shows. The
// page's IDispatch is the [default] interface of its class's coclass (IP1_Root ...), as the module's type
// library declares it (ql::CoClassDispatch).
//
// A class builds on it in the one COM object shape:
//   class CFoo : public ql::ComObjectBase<CFoo>, public CQuelkPropertyPageImpl<CQuelkOnlinePage> {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkPropertyPageImpl))
//   public:
//       CFoo() : CQuelkPropertyPageImpl(IDD_FOO, IDS_FOO_TITLE, CLSID_Foo, FooMap()) {}
//       HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
//   };
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <string>

#include "classlib/CoClassDispatch.h"
#include "classlib/PropertyPage.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/base/QuelkPageKeyboard.h"

template <class Layer = CQuelkControlBase>
class CQuelkPropertyPageImpl : public ql::PropertyPage, public Layer, public ql::CoClassDispatch {
    QL_INTERFACE_PART_TABLE(CQuelkPropertyPageImpl, QL_ENTRY_CHAIN(Layer), QL_ENTRY_CHAIN(ql::PropertyPage),
                            QL_ENTRY_CHAIN(ql::CoClassDispatch))

public:
    QL_BEGIN_MSG_MAP(CQuelkPropertyPageImpl)
    QL_CHAIN_MSG_MAP(Layer)
    QL_MESSAGE_HANDLER(WM_COMMAND, OnKeyboardMessage)
    QL_MESSAGE_HANDLER(WM_SETCURSOR, OnKeyboardMessage)
    QL_MESSAGE_HANDLER(WM_STYLECHANGING, OnStyleChanging)
    QL_END_MSG_MAP()

    // The string table's page information; then, while the page has a DTM, the title and help file that
    // its translation document holds for the page's class, named by the class's registered user type name
    // ("P4_TBMassFlow Class"). A translated title keeps the string table's form (device, block and page
    // separated by backslashes), which the window splits into its tree.
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) noexcept override {
        QL_RETURN_IF_FAILED(ql::PropertyPage::GetPageInfo(info));
        std::wstring className;
        if (SUCCEEDED(this->ReadUserTypeName(classId_, className)))
            // Without a translated title or help file the string table's stay.
            (void)this->GetTitle(className.c_str(), info);
        return S_OK;
    }

protected:
    CQuelkPropertyPageImpl(UINT dialogId, UINT titleId, const CLSID& classId,
                           const ParameterMap& map) noexcept
        : ql::PropertyPage(dialogId, titleId), Layer(map), ql::CoClassDispatch(classId), classId_(classId) {}
    ~CQuelkPropertyPageImpl() override = default;

    // Hands the base the controlling unknown once the object is built (the class's FinalConstruct).
    HRESULT AttachIdentity(IUnknown* controllingUnknown) noexcept {
        QL_RETURN_IF_NULL_OUT(controllingUnknown);
        this->SetControllingUnknown(controllingUnknown);
        return S_OK;
    }
    // What the page does with Enter in one of its fields; none by default (the key then goes on).
    virtual CQuelkPageKeyboard::EnterHandler* EnterKeyHandler() noexcept { return nullptr; }
    void NotifyPageStatus(DWORD status) noexcept override { SetPageDirty(status != 0 ? TRUE : FALSE); }
    HRESULT ApplyChanges() noexcept override { return this->ApplyModifiedRows(); }
    BOOL TranslateDialogKey(MSG* message) noexcept override {
        // Enter commits through the device and dispatches messages while it waits: a frame that lets the
        // page go meanwhile (it need hold no reference across the key it routes) must not free it under
        // this call.
        const ql::ComPtr<IUnknown> keepAlive(this->ControllingUnknown());
        return keyboard_.TranslateDialogKey(WindowHandle(), message, EnterKeyHandler()) ||
               ql::PropertyPage::TranslateDialogKey(message);
    }
    void OnWindowCreated() noexcept override { this->AttachDialogWindow(WindowHandle()); }
    void OnFinalMessage(HWND) noexcept override { this->AttachDialogWindow(nullptr); }

private:
    // The focus bookkeeping of the page keyboard (focus notifications, the restore request, the cursor).
    LRESULT OnKeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
        LRESULT result = 0;
        handled = keyboard_.ProcessWindowMessage(WindowHandle(), message, wParam, lParam, result);
        return result;
    }
    LRESULT OnStyleChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept {
        LRESULT result = 0;
        handled = CQuelkPageKeyboard::OnStyleChanging(message, wParam, lParam, result);
        return result;
    }

    const CLSID& classId_;
    CQuelkPageKeyboard keyboard_;
};
