// The parameterization window: start-up, the pages and their site, the tree's page switch, the buttons and
// closing, the DTM's state and notifications, and the start-up upload.
#include "ui/frame/TreeFrame.h"

#include <algorithm>
#include <string>

#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "controls/base/ControlArguments.h"
#include "controls/sync/AccessWordMark.h"
#include "dataset/VariantArguments.h"
#include "ui/frame/TreeNavigator.h"
#include "values/AnsiText.h"

namespace {

constexpr ULONG kOfflineMode = 1;
constexpr ULONG kOnlineMode = 2;
constexpr ULONG kPasswordId = 11;
constexpr ULONG kHeaderRowState = 0x71;
constexpr ULONG kAccessWordField = 0x4000;
constexpr ULONG kDeviceFlagField = 0x1;
constexpr ULONG kOnlineTransferMark = 0x1000;
constexpr int kButtons[] = {IDOK, IDCANCEL, IDC_TF_APPLY, IDC_TF_HELP};

// The DTM variables the header shows (the device's identity) and the hidden password field.
const ParameterMap& HeaderMap() {
    static const ParameterMap map{
        {12, "DSNumber", 0, IDC_TF_SERIAL, "%s", kHeaderRowState, kControlDefaultColors},
        {13, "DeviceID", 0, IDC_TF_DEVICE_ID, "%s", kHeaderRowState, kControlDefaultColors},
        {14, "Tag     ", 0, IDC_TF_TAG, "%s", kHeaderRowState, kControlDefaultColors},
        {kPasswordId, "Password", 0, IDC_TF_PASSWORD, "%s", kHeaderRowState, kControlDefaultColors},
    };
    return map;
}

// The hosted pages in tree order.
const CLSID* const kPageMap[] = {&CLSID_P1_Root,      &CLSID_P2_PBDevInfo, &CLSID_P3_PBDiagnosis,
                                 &CLSID_P4_TBMassFlow, &CLSID_TBExtra,      &CLSID_Q1_AIFBFlow,
                                 &CLSID_Q3_AIFBTotal};

ql::Variant I4(LONG value) noexcept {
    ql::Variant v;
    v.SetI4(value);
    return v;
}

std::string AnsiOf(const wchar_t* text) noexcept {
    std::string ansi;
    if (text && FAILED(WideToAnsi(std::wstring_view(text), ansi))) ansi.clear();
    return ansi;
}

bool IsUsable(HWND button) noexcept { return button && ::IsWindowVisible(button) && ::IsWindowEnabled(button); }

}  // namespace

CTreeFrame::CTreeFrame() noexcept : CQuelkCompositeControl(IDD_TREEFRAME, CLSID_TreeFrame, HeaderMap()) {}

CTreeFrame::~CTreeFrame() {
    ReleasePages();
    if (headerBrush_) ::DeleteObject(headerBrush_);
}

// --- start-up ---

HRESULT CTreeFrame::Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    HRESULT result = E_INVALIDARG;
    if (ok) {
        frameMode_ = static_cast<ULONG>(FunctionId());
        result = CQuelkCompositeControl::Init(dtm, ok);
        if (SUCCEEDED(result) && *ok == VARIANT_TRUE) result = StartUp(dtm, ok);
    }
    FinishStartUp();
    return result;
}

HRESULT CTreeFrame::StartUp(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    // The keyboard hook component is optional: without it the window runs without keyboard forwarding.
    const HRESULT objectResult = ql::QueryInterfaceTo(dtm, pageObject_);
    if (const HWND area = Item(IDC_TF_PAGE_AREA))
        ::SetWindowLongW(area, GWL_EXSTYLE, ::GetWindowLongW(area, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    HRESULT pagesResult = E_FAIL;
    if (objectResult == S_OK) {
        pagesResult = CreatePages();
        // A dropped page leaves the window without tree and pages: the tree would not match the pages.
        if (pagesResult == S_OK) {
            BuildNavigator();
            for (auto& page : pages_) {
                ql::ComPtr<IQuelkControl> control;
                VARIANT_BOOL pageOk = VARIANT_FALSE;
                if (SUCCEEDED(ql::QueryInterfaceTo(page.Page(), control)) && control)
                    (void)control->Init(dtm, &pageOk);
            }
            if (!pages_.empty()) ShowPage(0);
            pagesInitialised_ = true;
        }
    }
    (void)OnNotify(kNotifyLanguage, *I4(static_cast<LONG>(Language())));
    *ok = (objectResult == S_OK && pagesResult == S_OK) ? VARIANT_TRUE : VARIANT_FALSE;
    EnsureDefaultButton();
    FocusFirstButton();
    ::EnableWindow(Item(IDC_TF_APPLY), FALSE);
    if (DialogWindow()) ::RedrawWindow(DialogWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return S_OK;
}

void CTreeFrame::FinishStartUp() noexcept {
    uploadStop_ = false;
    // The function that opened the window stays disabled while it is open.
    if (Variables()) (void)EnableDtmFunction(frameMode_, FALSE);
    BOOL handled = TRUE;
    (void)OnSize(WM_SIZE, 0, 0, handled);
    if (const HWND window = WindowHandle()) ::SetTimer(window, reinterpret_cast<UINT_PTR>(this), 1000, nullptr);
    ::SetWindowTextA(Item(IDC_TF_DEVICE_MESSAGE), "");
    const bool online = frameMode_ == kOnlineMode;
    ::ShowWindow(Item(IDC_TF_ONLINE_MODE), online ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Item(IDC_TF_OFFLINE_MODE), online ? SW_HIDE : SW_SHOW);
}

HRESULT CTreeFrame::CreatePages() noexcept {
    if (pagesCreated_) return S_OK;
    pagesCreated_ = true;
    // The password is asked for again whenever the pages are created: the DTM's copy is emptied.
    char password[101] = {};
    ::GetWindowTextA(Item(IDC_TF_PASSWORD), password, static_cast<int>(sizeof password));
    ::SetWindowTextA(Item(IDC_TF_PASSWORD), "");
    (void)StoreControlValue(kPasswordId);

    IUnknown* objects[] = {pageObject_.Get()};
    HRESULT result = S_OK;
    pages_.reserve(std::size(kPageMap));
    for (const CLSID* classId : kPageMap) {
        ql::HostedPropertyPage page;
        // A page that fails any step is released at once and leaves no gap.
        if (FAILED(page.Create(*classId, static_cast<IPropertyPageSite*>(this), 1, objects))) {
            result = S_FALSE;
            continue;
        }
        if (frameMode_ == kOnlineMode) {
            ql::ComPtr<IQuelkPageMode> mode;
            if (SUCCEEDED(ql::QueryInterfaceTo(page.Page(), mode)) && mode) {
                (void)mode->SetOnline(1);
                (void)mode->SetFrameMode(kOnlineMode);
            }
        }
        pages_.push_back(std::move(page));
    }
    return result;
}

void CTreeFrame::BuildNavigator() noexcept {
    const HWND tree = Item(IDC_TF_TREE);
    SIZE largest{0, 0};
    for (size_t index = 0; index < pages_.size(); ++index) {
        const PROPPAGEINFO& info = pages_[index].Info();
        largest.cx = std::max(largest.cx, info.size.cx);
        largest.cy = std::max(largest.cy, info.size.cy);
        if (info.pszTitle) treeframe::AddTreePath(tree, nullptr, AnsiOf(info.pszTitle), static_cast<LPARAM>(index), 0);
    }
    if (pages_.empty()) return;
    const RECT rect{0, 0, largest.cx, largest.cy};
    const HWND area = Item(IDC_TF_PAGE_AREA);
    for (auto& page : pages_) (void)page.Activate(area, rect);
    activePage_ = 0;
}

// --- page switching ---

void CTreeFrame::ShowPage(int index) noexcept {
    if (index < 0 || static_cast<size_t>(index) >= pages_.size()) return;
    if (activePage_ >= 0 && static_cast<size_t>(activePage_) < pages_.size() && pages_[activePage_].Page())
        (void)pages_[activePage_].Page()->Show(SW_HIDE);
    activePage_ = index;
    IPropertyPage* page = pages_[index].Page();
    if (!page) return;
    (void)page->Show(SW_SHOWNORMAL);
    virtualSize_ = pages_[index].Info().size;
}

LRESULT CTreeFrame::OnTreeNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) noexcept {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != IDC_TF_TREE || (header->code != TVN_SELCHANGEDA && header->code != TVN_SELCHANGEDW)) {
        handled = FALSE;
        return 0;
    }
    const HWND tree = Item(IDC_TF_TREE);
    const HTREEITEM selected = TreeView_GetSelection(tree);
    if (const HTREEITEM item = treeframe::FindPageItem(tree, selected)) {
        // A grouping item shows the first page below it, and the selection follows.
        if (item != selected) ::PostMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        ShowPage(static_cast<int>(treeframe::ItemData(tree, item)));
    }
    for (int id : kButtons) {
        const HWND button = Item(id);
        if (!button) continue;
        const LONG style = ::GetWindowLongW(button, GWL_STYLE);
        if (style & BS_DEFPUSHBUTTON) ::SetWindowLongW(button, GWL_STYLE, style & ~BS_DEFPUSHBUTTON);
        ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    return 0;
}

// --- page site ---

void CTreeFrame::OnPageStatusChange(DWORD flags) noexcept {
    // A page's dirty report enables Apply; only Apply itself disables it again.
    if (applyByFrame_ && (flags & PROPPAGESTATUS_DIRTY)) ::EnableWindow(Item(IDC_TF_APPLY), TRUE);
}

// --- buttons and closing ---

bool CTreeFrame::AnyPageDirty() noexcept {
    return std::any_of(pages_.begin(), pages_.end(),
                       [](const ql::HostedPropertyPage& p) { return p.Page() && p.Page()->IsPageDirty() == S_OK; });
}

HRESULT CTreeFrame::CommitHeaderRows() noexcept {
    QL_RETURN_IF_FAILED(FocusFirstInvalidControl());
    for (UINT row = 0; row < RowCount(); ++row)
        if (Row(row).state & kRowModified) (void)CommitParameter(Row(row).id);
    return S_OK;
}

bool CTreeFrame::ApplyPages(bool showFailingPage) noexcept {
    if (!applyByFrame_) return true;
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

void CTreeFrame::ReleasePages() noexcept {
    for (auto& page : pages_) {
        ql::ComPtr<IQuelkControl> control;
        VARIANT_BOOL done = VARIANT_FALSE;
        if (page.Page() && SUCCEEDED(ql::QueryInterfaceTo(page.Page(), control)) && control)
            (void)control->ReleaseDtm(&done);
        page.Reset();
    }
    pages_.clear();
    activePage_ = -1;
}

void CTreeFrame::Close() noexcept {
    ReleasePages();
    if (!noClosePost_) (void)PostCloseRequest();
}

LRESULT CTreeFrame::OnOk(WORD, WORD, HWND, BOOL&) noexcept {
    closing_ = true;
    if (!ApplyPages(true)) {
        closing_ = false;  // the window stays: a later close asks again
        return 0;
    }
    Close();
    return 0;
}

LRESULT CTreeFrame::OnCancel(WORD, WORD, HWND, BOOL& handled) noexcept {
    closing_ = true;
    const HWND cancel = Item(IDCANCEL);
    if (!IsUsable(cancel)) {
        // Esc with Cancel hidden: the window stays, so a later close request still asks and releases.
        closing_ = false;
        return 0;
    }
    if (applyByFrame_ && AnyPageDirty()) {
        const ULONG answer = SendUserMessage("Apply changes?", "Warning", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) {
            closing_ = false;
            return 0;
        }
        if (answer == IDYES) return OnOk(BN_CLICKED, IDOK, nullptr, handled);
    }
    ::SendMessageW(DialogWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
    Close();
    return 0;
}

LRESULT CTreeFrame::OnApply(WORD, WORD, HWND, BOOL&) noexcept {
    const HWND apply = Item(IDC_TF_APPLY);
    if (!IsUsable(apply)) return 0;
    ::SendMessageW(DialogWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(apply), TRUE);
    if (::GetFocus() != apply) return 0;
    if (!ApplyPages(false)) return 0;
    if (::GetFocus() == apply) ::SetFocus(Item(IDC_TF_PAGE_AREA));
    ::EnableWindow(apply, FALSE);
    ::SetWindowLongW(apply, GWL_STYLE, ::GetWindowLongW(apply, GWL_STYLE) & ~BS_DEFPUSHBUTTON);
    return 0;
}

HRESULT CTreeFrame::ReleaseDtm(VARIANT_BOOL* done) noexcept {
    uploadStop_ = true;
    if (Variables())
        (void)EnableDtmFunction(frameMode_, (DtmState() == kDtmStateConnected || frameMode_ == kOfflineMode)
                                                ? TRUE : FALSE);
    QL_RETURN_HR_IF(E_INVALIDARG, !done);
    noClosePost_ = true;
    if (!closing_) {
        closing_ = true;
        BOOL handled = TRUE;
        if (IsUsable(Item(IDCANCEL)) && applyByFrame_ && AnyPageDirty()) {
            const ULONG answer = SendUserMessage("Apply changes?", "Warning", MB_YESNOCANCEL | MB_ICONQUESTION);
            if (answer == IDYES) (void)OnOk(BN_CLICKED, IDOK, nullptr, handled);
        }
    }
    // The frame application closes the window whatever was answered: no page may keep its site.
    ReleasePages();
    return CQuelkCompositeControl::ReleaseDtm(done);
}

void CTreeFrame::EnsureDefaultButton() noexcept {
    for (int id : kButtons) {
        const HWND button = Item(id);
        if (IsUsable(button) && (::GetWindowLongW(button, GWL_STYLE) & BS_DEFPUSHBUTTON)) return;
    }
    for (int id : kButtons) {
        const HWND button = Item(id);
        if (!IsUsable(button)) continue;
        ::SetWindowLongW(button, GWL_STYLE, ::GetWindowLongW(button, GWL_STYLE) | BS_DEFPUSHBUTTON);
        ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
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

LRESULT CTreeFrame::OnClear(WORD, WORD, HWND, BOOL&) noexcept {
    ::SetWindowTextA(Item(IDC_TF_DEVICE_MESSAGE), "");
    return 0;
}

void CTreeFrame::ShowPageHelp() noexcept {
    if (pages_.empty()) return;
    const HWND tree = Item(IDC_TF_TREE);
    const HTREEITEM selected = TreeView_GetSelection(tree);
    const HTREEITEM item = treeframe::FindPageItem(tree, selected);
    if (!item) return;
    if (item != selected) (void)TreeView_SelectItem(tree, item);
    const LPARAM index = treeframe::ItemData(tree, item);
    if (index < 0 || static_cast<size_t>(index) >= pages_.size() || !pages_[index].Page()) return;
    PROPPAGEINFO info{sizeof info};
    if (FAILED(pages_[index].Page()->GetPageInfo(&info))) return;
    if (info.pszHelpFile) (void)SendUserMessage(AnsiOf(info.pszHelpFile).c_str(), "Varnok Profibus DP Help", 0);
    ::CoTaskMemFree(info.pszTitle);
    ::CoTaskMemFree(info.pszDocString);
    ::CoTaskMemFree(info.pszHelpFile);
}

LRESULT CTreeFrame::OnHelpButton(WORD, WORD, HWND, BOOL&) noexcept {
    if (!IsUsable(Item(IDC_TF_HELP))) return 0;
    ShowPageHelp();
    // The pages put the focus back on the control they last had.
    for (HWND child = ::GetWindow(Item(IDC_TF_PAGE_AREA), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, WM_COMMAND, MAKEWPARAM(IDC_TF_PAGE_AREA, 0x430), 0);
    return 0;
}

LRESULT CTreeFrame::OnHelp(UINT, WPARAM, LPARAM, BOOL&) noexcept {
    ShowPageHelp();
    return TRUE;
}

// --- the DTM ---

HRESULT CTreeFrame::SetDtmState(ULONG state) noexcept {
    (void)CQuelkCompositeControl::SetDtmState(state);
    const bool connected = state == kDtmStateConnected;
    // Online, a lost connection closes the window: one message and one close request, however many state
    // changes follow before the window is gone.
    if (!connected && frameMode_ == kOnlineMode && !disconnectReported_) {
        disconnectReported_ = true;
        (void)SendUserMessage("The DTM is disconnected. The OnlineParameterize dialog will be closed", "", MB_OK);
        (void)PostCloseRequest();
    }
    for (auto& page : pages_) {
        ql::ComPtr<IQuelkPageMode> mode;
        if (page.Page() && SUCCEEDED(ql::QueryInterfaceTo(page.Page(), mode)) && mode)
            (void)mode->SetOnline(connected && frameMode_ == kOnlineMode ? 1 : 0);
    }
    ::ShowWindow(Item(IDC_TF_CONNECTED), connected ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Item(IDC_TF_DISCONNECTED), connected ? SW_HIDE : SW_SHOW);
    return S_OK;
}

HRESULT CTreeFrame::ShowMessage(ULONG, BSTR text, VARIANT) noexcept {
    ::SetWindowTextA(Item(IDC_TF_DEVICE_MESSAGE), AnsiOf(text).c_str());
    return S_OK;
}

HRESULT CTreeFrame::OnNotify(ULONG code, VARIANT data) noexcept {
    if (pagesInitialised_) {
        for (auto& page : pages_) {
            ql::ComPtr<IQuelkControl> control;
            if (page.Page() && SUCCEEDED(ql::QueryInterfaceTo(page.Page(), control)) && control)
                (void)control->OnNotify(code, data);
        }
    }
    if (code == kNotifyLanguage && DialogWindow())
        ::RedrawWindow(DialogWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return CQuelkCompositeControl::OnNotify(code, data);
}

// --- start-up upload ---

LRESULT CTreeFrame::OnTimer(UINT, WPARAM timerId, LPARAM, BOOL& handled) noexcept {
    if (timerId != reinterpret_cast<UINT_PTR>(this)) {
        handled = FALSE;
        return 0;
    }
    if (const HWND window = WindowHandle()) ::KillTimer(window, reinterpret_cast<UINT_PTR>(this));
    RunStartUpUpload();
    return 0;
}

void CTreeFrame::RunStartUpUpload() noexcept {
    // Once, online only, and only with a DTM (a failed Init leaves none).
    if (uploadStarted_ || frameMode_ != kOnlineMode || !Variables()) return;
    uploadStarted_ = true;
    // The reads pump messages: a close request may arrive and let the window go meanwhile.
    const ql::ComPtr<IUnknown> self(ControllingUnknown());
    const ql::ComPtr<IQuelkVariables> dtm(Variables());
    ql::ComPtr<IQuelkVariableFields> fields;
    ql::ComPtr<IDtmObject> progress;
    if (FAILED(ql::QueryInterfaceTo(dtm.Get(), fields)) || !fields) return;
    if (FAILED(ql::QueryInterfaceTo(dtm.Get(), progress)) || !progress) return;
    ql::Variant countValue;
    ULONG count = 0;
    if (FAILED(fields->GetCountVariant(countValue.Put())) || FAILED(VariantToUInt32(*countValue, &count))) count = 0;
    const ql::Bstr title(L"Parameter Upload");
    for (ULONG index = 0; index < count; ++index) {
        if (uploadStop_) return;
        ql::Variant at;
        at.SetUI4(index);
        ql::Variant id;
        if (FAILED(fields->GetVariableAtVariant(*at, id.Put()))) continue;
        ql::Variant flag;
        ULONG deviceFlag = 0;
        if (FAILED(fields->GetVariableField(*id, *I4(kDeviceFlagField), flag.Put())) ||
            FAILED(VariantToUInt32(*flag, &deviceFlag)) || deviceFlag != 1) {
            continue;
        }
        ULONG numericId = 0;
        if (FAILED(VariantToUInt32(*id, &numericId))) continue;
        ULONG access = 0;
        if (!AccessWordMark::ReadWord(dtm.Get(), numericId, access)) continue;
        {
            AccessWordMark mark(dtm.Get(), numericId, access | kOnlineTransferMark, access & ~kOnlineTransferMark);
            if (uploadStop_) return;
            VARIANT_BOOL done = VARIANT_FALSE;
            (void)dtm->ReadFromDevice(*id, &done);
        }
        if (uploadStop_) return;
        (void)progress->ShowProgressValue(static_cast<LONG>(index), static_cast<LONG>(count), title.Get());
    }
    (void)progress->ShowProgressValue(0, 0, ql::Bstr(L"").Get());
}
