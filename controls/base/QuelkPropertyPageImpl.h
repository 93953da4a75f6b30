#pragma once
// CQuelkPropertyPageImpl: the layer of the parameter pages that the parameterization window hosts. It joins
// the class library's property page and the control base: the base's SetDirty tells the page site (so the
// window enables Apply), Apply commits every modified row through the base's commit slot (the synchronising
// layers decide what a commit does online and offline), and the page's keys go through the page keyboard
// handling before the page site sees them.
//
// A class builds on it in the one COM object shape:
//   class CFoo : public ql::ComObjectBase<CFoo>, public CQuelkPropertyPageImpl {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CQuelkPropertyPageImpl))
//   public:
//       CFoo() : CQuelkPropertyPageImpl(IDD_FOO, IDS_FOO_TITLE, FooMap()) {}
//       HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
//   };
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "classlib/PropertyPage.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/base/QuelkPageKeyboard.h"

class CQuelkPropertyPageImpl : public ql::PropertyPage, public CQuelkControlBase {
    QL_INTERFACE_PART_TABLE(CQuelkPropertyPageImpl, QL_ENTRY_CHAIN(CQuelkControlBase),
                            QL_ENTRY_CHAIN(ql::PropertyPage))

public:
    QL_BEGIN_MSG_MAP(CQuelkPropertyPageImpl)
    QL_CHAIN_MSG_MAP(CQuelkControlBase)
    QL_MESSAGE_HANDLER(WM_COMMAND, OnKeyboardMessage)
    QL_MESSAGE_HANDLER(WM_SETCURSOR, OnKeyboardMessage)
    QL_MESSAGE_HANDLER(WM_STYLECHANGING, OnStyleChanging)
    QL_END_MSG_MAP()

    // The page form: keeps the base's flag and tells the page site of the change.
    BOOL SetDirty(BOOL dirty) noexcept override;

protected:
    CQuelkPropertyPageImpl(UINT dialogId, UINT titleId, const ParameterMap& map) noexcept
        : ql::PropertyPage(dialogId, titleId), CQuelkControlBase(map) {}
    ~CQuelkPropertyPageImpl() override = default;

    HRESULT AttachIdentity(IUnknown* controllingUnknown) noexcept;
    // Commits every modified row (CommitParameter, slot 46); the page is clean once all went through.
    HRESULT ApplyChanges() noexcept override;
    BOOL TranslateDialogKey(MSG* message) noexcept override;
    void OnWindowCreated() noexcept override { AttachDialogWindow(WindowHandle()); }
    void OnFinalMessage(HWND) noexcept override { AttachDialogWindow(nullptr); }

private:
    // The focus bookkeeping of the page keyboard (focus notifications, the restore request, the cursor).
    LRESULT OnKeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnStyleChanging(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;

    CQuelkPageKeyboard keyboard_;
};
