#pragma once
// CTreeFrame: the parameterization window that the DTM opens for offline (function 1) and online (function 2)
// parameterization. A composite control on its own dialog that hosts the block property pages behind a tree:
// it creates every page of its page map in-process, is their property-page site, hands each the DTM, builds
// the tree from the pages' title paths, switches the shown page with the tree's selection, lays out and
// scrolls the page area, relays the DTM's state to the pages and, online, uploads the device's parameters
// once at start. Keys reach the pages through the keyboard hook component when it is registered (the hook
// hands the thread's keys to the frame's message sink before they are dispatched), else through the
// container's accelerator call; either way they take the same route.
//
// Ownership: the frame holds its pages; each page holds the frame as its site until the pages are released.
// Every way of closing (OK, Cancel, the frame application's close request, the window's destruction)
// releases the pages that are still held, so no page keeps the frame, and the frame with it the module. The
// hook holds the frame's sink while it is advised: the close request and the window's destruction stop it
// and take the sink back. The start-up upload holds a reference on the frame while its reads pump messages,
// so a close request arriving then cannot free it.
// Threading: the frame application's user-interface thread.
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>

#include <vector>

#include "UiComponentInterfaces.h"
#include "VarnokP3.h"
#include "classlib/Bstr.h"
#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"
#include "classlib/DispatchImpl.h"
#include "classlib/GdiObject.h"
#include "classlib/ImageList.h"
#include "classlib/PropertyPageSite.h"
#include "controls/base/QuelkCompositeControl.h"
#include "ui/frame/TreeFrameResources.h"

// The toolkit's frame type library, which describes the frame interfaces; it lies outside the module, so
// without it IDispatch of those interfaces fails and their vtables still work.
inline constexpr GUID kLibidToolkitFrame = {
    0xb4f0ff41, 0x5565, 0x463f, {0x88, 0xb4, 0xbe, 0x0b, 0x05, 0x8f, 0x29, 0x02}};
template <class DualInterface>
using ToolkitFrameDispatchImpl =
    ql::DispatchImpl<DualInterface,
                     ql::RegisteredTypeInfo<kLibidToolkitFrame, 1, 0, kOutsideTypeLibraryLcid>>;

class CTreeFrame final : public ql::ComObjectBase<CTreeFrame>,
                         public CQuelkCompositeControl,
                         public ToolkitFrameDispatchImpl<IQuelkFrameCaption>,
                         public ToolkitFrameDispatchImpl<IQuelkFrameButtons>,
                         public ToolkitFrameDispatchImpl<IQuelkMessageSink>,
                         public ql::PropertyPageSite,
                         public ISpecifyPropertyPages {
    QL_INTERFACE_TABLE(CTreeFrame, QL_ENTRY(IQuelkControl), QL_ENTRY(IQuelkFrameCaption),
                       QL_ENTRY(IQuelkFrameButtons), QL_ENTRY(IQuelkMessageSink),
                       QL_ENTRY_CHAIN(ql::PropertyPageSite), QL_ENTRY(ISpecifyPropertyPages),
                       QL_ENTRY_CHAIN(CQuelkCompositeControl))

    QL_BEGIN_MSG_MAP(CTreeFrame)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_MESSAGE_HANDLER(WM_HELP, OnHelp)
    QL_MESSAGE_HANDLER(WM_HSCROLL, OnScroll)
    QL_MESSAGE_HANDLER(WM_VSCROLL, OnScroll)
    QL_MESSAGE_HANDLER(WM_SIZE, OnSize)
    QL_COMMAND_HANDLER(IDOK, BN_CLICKED, OnOkButton)
    QL_COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnCancelButton)
    QL_COMMAND_HANDLER(IDC_TF_CLEAR, BN_CLICKED, OnClear)
    QL_MESSAGE_HANDLER(WM_NOTIFY, OnTreeNotify)
    QL_COMMAND_HANDLER(IDC_TF_APPLY, BN_CLICKED, OnApplyButton)
    QL_COMMAND_HANDLER(IDC_TF_HELP, BN_CLICKED, OnHelpButton)
    QL_MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorHeader)
    QL_MESSAGE_HANDLER(WM_CTLCOLOREDIT, OnCtlColorHeader)
    QL_MESSAGE_HANDLER(WM_CTLCOLORDLG, OnCtlColorDialog)
    QL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
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

    // --- IQuelkFrameCaption ---
    // The object the pages are given; a null object lets the one held go.
    HRESULT STDMETHODCALLTYPE SetCallback(IUnknown* object) noexcept override;
    // The apply-by-frame flag: non-zero, the frame applies and asks about dirty pages and enables Apply.
    HRESULT STDMETHODCALLTYPE SetValue(ULONG value) noexcept override;
    HRESULT STDMETHODCALLTYPE SetCaption(BSTR text) noexcept override;
    HRESULT STDMETHODCALLTYPE SetTextAndValue(ULONG value, BSTR text) noexcept override;

    // --- IQuelkFrameButtons: index 0 OK, 1 Cancel, 2 Apply, 3 Help ---
    HRESULT STDMETHODCALLTYPE GetButton(UINT index, HWND* button) noexcept override;
    HRESULT STDMETHODCALLTYPE EnableButton(UINT index, BOOL enable) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowButton(UINT index, BOOL show) noexcept override;
    HRESULT STDMETHODCALLTYPE SetButtonText(UINT index, BSTR text) noexcept override;

    // --- IQuelkMessageSink: a message the keyboard hook took from the thread's queue ---
    // S_OK when the frame handled it (the hook then drops it), S_FALSE when it goes on to its window.
    HRESULT STDMETHODCALLTYPE OnForwardedMessage(MSG* message) noexcept override;

    // --- ISpecifyPropertyPages: the pages the window hosts, in tree order ---
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) noexcept override;

    // Creates the pages of the page map once: S_OK when every page was kept, S_FALSE when some page was
    // dropped (released at once; the kept pages are indexed without gaps).
    HRESULT CreatePages() noexcept;
    size_t PageCount() const noexcept { return pages_.size(); }
    int ActivePage() const noexcept { return activePage_; }

private:
    // --- page site ---
    void OnPageStatusChange(DWORD flags) noexcept override;
    HRESULT TranslatePageKey(MSG* message) noexcept override;
    // --- the container's accelerator call (IOleInPlaceActiveObject::TranslateAccelerator) ---
    BOOL PreTranslateKey(MSG* message) noexcept override;

    // --- start-up ---
    HRESULT StartUp(IUnknown* dtm, VARIANT_BOOL* ok) noexcept;
    void FinishStartUp() noexcept;
    HRESULT CreateImageList() noexcept;
    HRESULT CreateNavigator() noexcept;
    // Sizes the page area to the largest page, the window and its parent around it, and moves the buttons.
    void SizeToPages(SIZE largest) noexcept;
    void InitPages(IUnknown* dtm) noexcept;
    void ShowPage(int index) noexcept;
    IPropertyPage* PageAt(int index) const noexcept;
    bool AnyPageDirty() noexcept;

    // --- keyboard hook ---
    // Creates the hook component; the window runs without it when it is not registered.
    void CreateHook() noexcept;
    HRESULT StartHook() noexcept;
    void StopHook() noexcept;
    bool HookRunning() const noexcept { return static_cast<bool>(hookPoint_); }
    // Where a key goes: the active page first where it belongs to it, the frame's buttons and header else.
    HRESULT RouteMessage(MSG& message) noexcept;
    // The frame's own keyboard handling (the pages' site passes it the keys they leave).
    HRESULT TranslateFrameKey(MSG& message) noexcept;
    HRESULT ActivePageKey(MSG& message) noexcept;
    HRESULT DialogKey(MSG& message) noexcept;
    // Runs the button that has the default style, in the order OK, Cancel, Apply, Help; false when none has.
    bool PressDefaultButton() noexcept;
    bool FocusInFrame() const noexcept;
    bool FocusInPageArea() const noexcept;

    // --- buttons and closing ---
    void CommitModifiedHeaderRows() noexcept;
    HRESULT CommitHeaderRows() noexcept;
    // Applies every dirty page; on a failure the failing page is shown when asked and false answered.
    bool ApplyPages(bool showFailingPage) noexcept;
    void DoOk() noexcept;
    void DoCancel() noexcept;
    void DoApply() noexcept;
    // The question before dirty pages are dropped: the button the user pressed (0 when nobody could ask).
    ULONG AskApplyChanges() noexcept;
    // Tells each page still held to let go of the DTM, then releases it (Deactivate, site and objects).
    void ReleasePages() noexcept;
    void Close() noexcept;
    void EnsureDefaultButton(bool fromEnd) noexcept;
    void FocusFirstButton() noexcept;
    void RestorePageFocus() noexcept;
    // The help file of the page the tree's selection shows, as a user message.
    void ShowPageHelp() noexcept;
    void PressHelp() noexcept;

    void RunStartUpUpload() noexcept;

    // --- layout and scrolling ---
    void UpdateScrollBars() noexcept;
    void SetScrollRange(int barId, int total, int visible, LONG& position) noexcept;
    void ApplyScroll() noexcept;
    HWND Item(int id) const noexcept { return ::GetDlgItem(DialogWindow(), id); }

    // TVN_SELCHANGED of the tree switches the page; other notifications pass on.
    LRESULT OnTreeNotify(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnOkButton(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnCancelButton(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnApplyButton(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnHelpButton(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnClear(WORD code, WORD id, HWND control, BOOL& handled) noexcept;
    LRESULT OnHelp(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnScroll(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnTimer(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnCtlColorHeader(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnCtlColorDialog(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;
    LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled) noexcept;

    std::vector<ql::HostedPropertyPage> pages_;
    bool pagesCreated_ = false;
    bool pagesInitialised_ = false;
    int activePage_ = -1;
    ql::ComPtr<IUnknown> pageObject_;
    ULONG frameMode_ = 0;
    ULONG applyByFrame_ = 1;
    ql::Bstr caption_;
    ql::Bstr storedText_;
    ULONG storedNumber_ = 0;
    bool closing_ = false;
    bool noClosePost_ = false;
    bool disconnectReported_ = false;
    bool uploadStarted_ = false;
    bool uploadStop_ = false;
    ql::ComPtr<IQuelkMessageHook> hook_;
    ql::ComPtr<IConnectionPoint> hookPoint_;
    DWORD hookCookie_ = 0;
    ql::ImageList images_;
    int depthImages_[3] = {-1, -1, -1};
    SIZE virtualSize_{600, 600};
    POINT scroll_{0, 0};
    POINT appliedScroll_{0, 0};
    ql::Brush headerBrush_;
};
