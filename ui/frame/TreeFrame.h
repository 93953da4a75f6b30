#pragma once
// CTreeFrame: the parameterization window that the DTM opens for offline (function 1) and online (function 2)
// parameterization. A composite control on its own dialog that hosts the block property pages behind a tree:
// it creates every page of its page map in-process, is their property-page site, hands each the DTM, builds
// the tree from the pages' title paths, switches the shown page with the tree's selection, lays out and
// scrolls the page area, relays the DTM's state to the pages and, online, uploads the device's parameters
// once at start.
//
// Ownership: the frame holds its pages; each page holds the frame as its site until the pages are released.
// Every way of closing (OK, Cancel, the frame application's close request, destruction) releases the pages
// that are still held, so no page keeps the frame, and the frame with it the module. The start-up upload holds
// a reference on the frame while its reads pump messages, so a close request arriving then cannot free it.
// Threading: the frame application's user-interface thread.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "VarnokP3.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/DispatchImpl.h"
#include "classlib/PropertyPageSite.h"
#include "controls/base/QuelkCompositeControl.h"
#include "ui/frame/TreeFrameResources.h"

class CTreeFrame final : public ql::ComObjectBase<CTreeFrame>,
                         public ql::DispatchImpl<ITreeFrame>,
                         public CQuelkCompositeControl,
                         public ql::PropertyPageSite {
    QL_INTERFACE_TABLE(CTreeFrame, QL_ENTRY(IQuelkControl), QL_ENTRY(ITreeFrame),
                       QL_ENTRY_CHAIN(ql::PropertyPageSite), QL_ENTRY_CHAIN(CQuelkCompositeControl))

    QL_BEGIN_MSG_MAP(CTreeFrame)
    QL_MESSAGE_HANDLER(WM_NOTIFY, OnTreeNotify)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOk)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnCancel)
    QL_COMMAND_HANDLER(IDC_TF_APPLY, BN_CLICKED, OnApply)
    QL_COMMAND_HANDLER(IDC_TF_HELP, BN_CLICKED, OnHelpButton)
    QL_COMMAND_HANDLER(IDC_TF_CLEAR, BN_CLICKED, OnClear)
    QL_MESSAGE_HANDLER(WM_HELP, OnHelp)
    QL_MESSAGE_HANDLER(WM_SIZE, OnSize)
    QL_MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    QL_MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorHeader)
    QL_MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColorHeader)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColorDialog)
    QL_CHAIN_MSG_MAP(CQuelkCompositeControl)
    QL_END_MSG_MAP()

public:
    CTreeFrame() noexcept;
    ~CTreeFrame() override;
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

    // --- IQuelkControl ---
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override;
    using CQuelkCompositeControl::Init;
    HRESULT STDMETHODCALLTYPE SetDtmState(ULONG state) noexcept override;
    HRESULT STDMETHODCALLTYPE ReleaseDtm(VARIANT_BOOL* done) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowMessage(ULONG id, BSTR text, VARIANT extra) noexcept override;
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;


    // Creates the pages of the page map once: S_OK when every page was kept, S_FALSE when some page was
    // dropped (released at once; the kept pages are indexed without gaps).
    HRESULT CreatePages() noexcept;
    size_t PageCount() const noexcept { return pages_.size(); }
    int ActivePage() const noexcept { return activePage_; }

private:
    // --- page site ---
    void OnPageStatusChange(DWORD flags) noexcept override;

    HRESULT StartUp(IUnknown* dtm, VARIANT_BOOL* ok) noexcept;
    void FinishStartUp() noexcept;
    void BuildNavigator() noexcept;
    void ShowPage(int index) noexcept;
    bool AnyPageDirty() noexcept;
    // Applies every dirty page; on a failure the failing page is shown and false answered.
    bool ApplyPages(bool showFailingPage) noexcept;
    HRESULT CommitHeaderRows() noexcept;
    // Tells each page still held to let go of the DTM, then releases it (Deactivate, site and objects).
    void ReleasePages() noexcept;
    void Close() noexcept;
    void EnsureDefaultButton() noexcept;
    void FocusFirstButton() noexcept;
    void RunStartUpUpload() noexcept;
    // The help file of the page the tree's selection shows, as a user message.
    void ShowPageHelp() noexcept;

    // --- layout and scrolling ---
    void UpdateScrollBars() noexcept;
    void SetScrollRange(int barId, int total, int visible, LONG& position) noexcept;
    void ApplyScroll() noexcept;
    HWND Item(int id) const noexcept { return ::GetDlgItem(DialogWindow(), id); }

    // TVN_SELCHANGED of the tree switches the page; other notifications pass on.
    LRESULT OnTreeNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnOk(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnCancel(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnApply(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnHelpButton(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnClear(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnHelp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnScroll(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnCtlColorHeader(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnCtlColorDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;

    std::vector<ql::HostedPropertyPage> pages_;
    bool pagesCreated_ = false;
    bool pagesInitialised_ = false;
    int activePage_ = -1;
    ql::ComPtr<IUnknown> pageObject_;
    ULONG frameMode_ = 0;
    bool applyByFrame_ = true;
    bool closing_ = false;
    bool noClosePost_ = false;
    bool disconnectReported_ = false;
    bool uploadStarted_ = false;
    bool uploadStop_ = false;
    SIZE virtualSize_{600, 600};
    POINT scroll_{0, 0};
    POINT appliedScroll_{0, 0};
    HBRUSH headerBrush_ = nullptr;
};
