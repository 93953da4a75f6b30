#pragma once
// PropertyPage: an OLE property page (IPropertyPage2) on a dialog template. A class supplies the dialog, its
// title string, its message map and what Apply does, in the one COM object shape:
//
//   class CFoo : public ql::ComObjectBase<CFoo>, public ql::PropertyPage {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY_CHAIN(ql::PropertyPage))
//       QL_BEGIN_MSG_MAP(CFoo)
//           QL_COMMAND_HANDLER(IDC_VALUE, EN_CHANGE, OnValueChange)   // calls SetPageDirty(TRUE)
//       QL_END_MSG_MAP()
//   public:
//       CFoo() : ql::PropertyPage(IDD_FOO, IDS_FOO_TITLE) {}
//       HRESULT ApplyChanges() noexcept override;
//   };
//
// The page's window exists between Activate and Deactivate; it is created hidden as a child of the frame's
// window and shown by Show. Keys reach the dialog manager through TranslateAccelerator.
// Ownership: the page holds its site and its objects until SetPageSite(null) / SetObjects(0, null), which the
// frame calls when it lets the page go; the window goes with Deactivate or with the object.
// Threading: apartment-threaded, on the frame's window thread.
#include <ocidl.h>
#include <windows.h>

#include <vector>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/ModelessDialog.h"
#include "classlib/MessageMap.h"

namespace ql {

class PropertyPage : public ModelessDialog, public IPropertyPage2 {
    QL_INTERFACE_PART_TABLE(PropertyPage, QL_ENTRY(IPropertyPage2),
                            QL_ENTRY_IID(IID_IPropertyPage, IPropertyPage2))

public:
    // ---- IPropertyPage ----
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) noexcept override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) noexcept override;
    HRESULT STDMETHODCALLTYPE Deactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) noexcept override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) noexcept override;
    HRESULT STDMETHODCALLTYPE Show(UINT command) noexcept override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) noexcept override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE Apply() noexcept override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR folder) noexcept override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) noexcept override;
    // ---- IPropertyPage2 ----
    HRESULT STDMETHODCALLTYPE EditProperty(DISPID id) noexcept override;

    BOOL PageDirtyFlag() const noexcept { return dirty_; }
    // Marks the page modified (TRUE) or clean (FALSE). A change of the flag is told to the site:
    // PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE when it became modified (the frame enables Apply), 0
    // when it became clean; setting the flag it already has tells nothing.
    void SetPageDirty(BOOL dirty) noexcept;
    IPropertyPageSite* PageSite() const noexcept { return site_.Get(); }
    const std::vector<ComPtr<IUnknown>>& Objects() const noexcept { return objects_; }

protected:
    PropertyPage(UINT dialogId, UINT titleId, UINT docStringId = 0, UINT helpFileId = 0,
                 DWORD helpContext = 0) noexcept;
    ~PropertyPage() override;

    // The module whose resources hold the dialog and the strings: the class library's module by default.
    virtual HINSTANCE PageModule() const noexcept;
    // Apply's work and answer; a page that committed its changes marks itself clean (SetPageDirty(FALSE)),
    // as the default does.
    virtual HRESULT ApplyChanges() noexcept;
    // The frame gave new objects (or took them away: the list is empty).
    virtual void OnObjectsChanged() noexcept {}
    // The page's keyboard handling (a key inside the page); TRUE consumes it. The default is the dialog
    // manager's: Tab, arrows, mnemonics, Enter and Esc.
    virtual BOOL TranslateDialogKey(MSG* message) noexcept;
    virtual HRESULT ShowPageHelp(LPCOLESTR) noexcept { return E_NOTIMPL; }
    virtual HRESULT EditPropertyById(DISPID) noexcept { return E_NOTIMPL; }
    // Runs once the dialog window exists (Activate), before it is positioned.
    virtual void OnWindowCreated() noexcept {}

private:
    UINT dialogId_;
    UINT titleId_;
    UINT docStringId_;
    UINT helpFileId_;
    DWORD helpContext_;
    BOOL dirty_ = FALSE;  // IsPageDirty answers S_OK for exactly TRUE
    ComPtr<IPropertyPageSite> site_;
    std::vector<ComPtr<IUnknown>> objects_;
};

}  // namespace ql
