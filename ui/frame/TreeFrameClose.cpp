// The parameterization window's buttons and closing: OK, Cancel and Apply with the question about dirty
// pages, the frame application's close request, the release of the pages, the default button and help.
#include <algorithm>
#include <iterator>

#include "classlib/Bstr.h"
#include "comm/CommunicationStates.h"
#include "dtm/services/ToolkitMessages.h"
#include "ui/frame/TreeFrame.h"
#include "ui/frame/TreeFrameConstants.h"
#include "ui/frame/TreeNavigator.h"

using namespace treeframe;

namespace {

constexpr UINT kApplyQuestionFlags = MB_YESNOCANCEL | MB_ICONQUESTION;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

bool IsDefaultButton(HWND button) noexcept {
    return button && (::GetWindowLongW(button, GWL_STYLE) & (WS_VISIBLE | BS_DEFPUSHBUTTON)) ==
                         (WS_VISIBLE | BS_DEFPUSHBUTTON);
}

}  // namespace

// --- committing and applying ---

void CTreeFrame::CommitModifiedHeaderRows() noexcept {
    for (UINT row = 0; row < RowCount(); ++row)
        // A header row that is not committed keeps its mark; OK and Apply go on to the pages, as they always
        // have.
        if (Row(row).state & kRowModified) (void)CommitParameter(Row(row).id);
}

HRESULT CTreeFrame::CommitHeaderRows() noexcept {
    // An invalid header field stops OK and Apply with the focus on it.
    QL_RETURN_IF_FAILED(FocusFirstInvalidControl());
    CommitModifiedHeaderRows();
    return S_OK;
}

bool CTreeFrame::AnyPageDirty() noexcept {
    return std::any_of(pages_.begin(), pages_.end(), [](const ql::HostedPropertyPage& p) {
        return p.Page() && p.Page()->IsPageDirty() == S_OK;
    });
}

bool CTreeFrame::ApplyPages(bool showFailingPage) noexcept {
    if (applyByFrame_ == 0) return true;
    if (FAILED(CommitHeaderRows())) return false;
    for (size_t index = 0; index < pages_.size(); ++index) {
        IPropertyPage* page = pages_[index].Page();
        if (!page || page->IsPageDirty() != S_OK) continue;
        if (page->Apply() != S_OK) {
            if (showFailingPage) ShowPage(static_cast<int>(index));
            return false;
        }
    }
    return true;
}

ULONG CTreeFrame::AskApplyChanges() noexcept {
    ql::Bstr text, caption;
    // A text that cannot be read asks with an empty one; the answer still decides.
    (void)GetToolkitMessageText(Variables(), kMessageCancelPromptText, text.Put());
    (void)GetToolkitMessageText(Variables(), kMessageCancelPromptTitle, caption.Put());
    return SendUserMessage(AnsiOf(text.Get()).c_str(), AnsiOf(caption.Get()).c_str(), kApplyQuestionFlags);
}

// --- the buttons ---

LRESULT CTreeFrame::OnOkButton(WORD, WORD, HWND, BOOL&) noexcept {
    CommitModifiedHeaderRows();
    DoOk();
    return 0;
}

LRESULT CTreeFrame::OnCancelButton(WORD, WORD, HWND, BOOL&) noexcept {
    DoCancel();
    return 0;
}

LRESULT CTreeFrame::OnApplyButton(WORD, WORD, HWND, BOOL&) noexcept {
    DoApply();
    return 0;
}

void CTreeFrame::DoOk() noexcept {
    closing_ = true;
    if (!ApplyPages(true)) {
        closing_ = false;  // the window stays: a later close asks again
        return;
    }
    Close();
}

void CTreeFrame::DoCancel() noexcept {
    closing_ = true;
    const HWND cancel = Item(IDCANCEL);
    if (!IsUsable(cancel)) {
        // Esc with Cancel hidden: the window stays, so a later close request still asks and releases.
        closing_ = false;
        return;
    }
    if (applyByFrame_ != 0 && AnyPageDirty()) {
        const ULONG answer = AskApplyChanges();
        if (answer == IDCANCEL) {
            closing_ = false;
            return;
        }
        if (answer == IDYES) {
            DoOk();
            return;
        }
    }
    ::SendMessageW(DialogWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
    Close();
}

void CTreeFrame::DoApply() noexcept {
    const HWND apply = Item(IDC_TF_APPLY);
    if (!IsUsable(apply)) return;
    ::SendMessageW(DialogWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(apply), TRUE);
    if (::GetFocus() != apply) return;  // a field refused to let the focus go
    if (!ApplyPages(false)) return;
    // Pressed with Enter, the focus stays where the key left it.
    if (::GetKeyState(VK_RETURN) >= 0) RestorePageFocus();
    if (::GetFocus() == apply) ::SetFocus(Item(IDC_TF_PAGE_AREA));
    ::EnableWindow(apply, FALSE);
    ::SetWindowLongW(apply, GWL_STYLE, ::GetWindowLongW(apply, GWL_STYLE) & ~BS_DEFPUSHBUTTON);
}

void CTreeFrame::RestorePageFocus() noexcept {
    for (HWND child = ::GetWindow(Item(IDC_TF_PAGE_AREA), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_COMMAND, MAKEWPARAM(IDC_TF_PAGE_AREA, kRestoreFocusCode), 0);
}

// --- closing ---

void CTreeFrame::ReleasePages() noexcept {
    for (auto& page : pages_) {
        ql::ComPtr<IQuelkControl> control;
        VARIANT_BOOL done = VARIANT_FALSE;
        if (page.Page() && SUCCEEDED(ql::QueryInterfaceTo(page.Page(), control)) && control)
            // The window lets go of every page whatever it answers.
            (void)control->ReleaseDtm(&done);
        page.Reset();
    }
    pages_.clear();
    activePage_ = -1;
}

void CTreeFrame::Close() noexcept {
    ReleasePages();
    // A close request that cannot be posted leaves the window open; the user can close it again.
    if (!noClosePost_) (void)PostCloseRequest();
}

HRESULT CTreeFrame::ReleaseDtm(VARIANT_BOOL* done) noexcept {
    uploadStop_ = true;
    // The online function stays disabled while the DTM is not connected.
    if (Variables())
        (void)EnableDtmFunction(frameMode_,
                                (DtmState() == kStateConnected || frameMode_ == kOfflineMode) ? TRUE : FALSE);
    QL_RETURN_HR_IF(E_INVALIDARG, !done);
    noClosePost_ = true;
    if (!closing_) {
        closing_ = true;
        const HWND cancel = Item(IDCANCEL);
        const bool ask = IsUsable(cancel) && applyByFrame_ != 0 && AnyPageDirty();
        const ULONG answer = ask ? AskApplyChanges() : 0;
        if (answer == IDYES) {
            DoOk();
        } else if (answer != IDCANCEL && IsUsable(cancel)) {
            ::SendMessageW(DialogWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
        }
    }
    // The frame application closes the window whatever was answered: no page may keep its site.
    StopHook();
    ReleasePages();
    return CQuelkCompositeControl::ReleaseDtm(done);
}

// --- default button and focus ---

void CTreeFrame::EnsureDefaultButton(bool fromEnd) noexcept {
    int order[std::size(kButtons)];
    std::copy(std::begin(kButtons), std::end(kButtons), order);
    if (fromEnd) std::reverse(std::begin(order), std::end(order));
    for (int id : order) {
        if (const HWND button = Item(id)) ::RedrawWindow(button, nullptr, nullptr, kRedrawNow);
    }
    for (int id : order) {
        const HWND button = Item(id);
        if (IsUsable(button) && (::GetWindowLongW(button, GWL_STYLE) & BS_DEFPUSHBUTTON)) return;
    }
    for (int id : order) {
        const HWND button = Item(id);
        if (!IsUsable(button)) continue;
        ::SetWindowLongW(button, GWL_STYLE, ::GetWindowLongW(button, GWL_STYLE) | BS_DEFPUSHBUTTON);
        ::RedrawWindow(button, nullptr, nullptr, kRedrawNow);
        return;
    }
}

void CTreeFrame::FocusFirstButton() noexcept {
    for (int id : kButtons) {
        if (IsUsable(Item(id))) {
            ::SetFocus(Item(id));
            return;
        }
    }
}

bool CTreeFrame::PressDefaultButton() noexcept {
    for (int id : kButtons) {
        if (!IsDefaultButton(Item(id))) continue;
        switch (id) {
            case IDOK:
                DoOk();
                break;
            case IDCANCEL:
                DoCancel();
                break;
            case IDC_TF_APPLY:
                DoApply();
                break;
            default:
                PressHelp();
                break;
        }
        return true;
    }
    return false;
}

// --- help ---

void CTreeFrame::ShowPageHelp() noexcept {
    if (pages_.empty()) return;
    const HWND tree = Item(IDC_TF_TREE);
    const HTREEITEM selected = TreeView_GetSelection(tree);
    const HTREEITEM item = FindPageItem(tree, selected);
    if (!item) return;
    // The help is shown for the page found, whether or not the tree moved its selection.
    if (item != selected) (void)TreeView_SelectItem(tree, item);
    IPropertyPage* page = PageAt(static_cast<int>(ItemData(tree, item)));
    PageInfo pageInfo;
    if (!page || FAILED(page->GetPageInfo(&pageInfo.info))) return;
    // No help viewer: the frame application shows the help file's name.
    if (const wchar_t* helpFile = pageInfo.info.pszHelpFile)
        (void)SendUserMessage(AnsiOf(helpFile).c_str(), "Varnok Profibus DP Help", 0);
}

void CTreeFrame::PressHelp() noexcept {
    if (!IsUsable(Item(IDC_TF_HELP))) return;
    ShowPageHelp();
    RestorePageFocus();
}

LRESULT CTreeFrame::OnHelpButton(WORD, WORD, HWND, BOOL&) noexcept {
    PressHelp();
    return 0;
}

LRESULT CTreeFrame::OnHelp(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    ShowPageHelp();
    return TRUE;
}
