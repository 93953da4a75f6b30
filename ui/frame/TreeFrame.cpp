// The parameterization window: start-up, the pages and the tree that switches them, the DTM's state and
// notifications.
#include "ui/frame/TreeFrame.h"

#include <algorithm>
#include <memory>
#include <string>

#include "classlib/ComModule.h"
#include "classlib/GdiObject.h"
#include "classlib/Variant.h"
#include "comm/CommunicationStates.h"
#include "controls/base/ControlArguments.h"
#include "ui/frame/TreeFrameConstants.h"
#include "ui/frame/TreeNavigator.h"
#include "values/AnsiText.h"

using namespace treeframe;

namespace {

// The DTM variables the header shows (the device's identity) and the hidden password field.
const ParameterMap& HeaderMap() {
    static const ParameterMap map{
        {12, "DSNumber", 0, IDC_TF_SERIAL, "%s", kAccessDeviceReadWrite, kControlDefaultColors},
        {13, "DeviceID", 0, IDC_TF_DEVICE_ID, "%s", kAccessDeviceReadWrite, kControlDefaultColors},
        {14, "Tag     ", 0, IDC_TF_TAG, "%s", kAccessDeviceReadWrite, kControlDefaultColors},
        {kParameterServicePassword, "Password", 0, IDC_TF_PASSWORD, "%s", kAccessDeviceReadWrite,
         kControlDefaultColors},
    };
    return map;
}

// The hosted pages in tree order.
const CLSID* const kPageMap[] = {&CLSID_P1_Root,       &CLSID_P2_PBDevInfo, &CLSID_P3_PBDiagnosis,
                                 &CLSID_P4_TBMassFlow, &CLSID_TBExtra,      &CLSID_Q1_AIFBFlow,
                                 &CLSID_Q3_AIFBTotal};

// The header's pictures: statics that load their bitmaps from the template and do not free them when they go.
const int kHeaderPictures[] = {IDC_TF_LOGO, IDC_TF_CONNECTED, IDC_TF_DISCONNECTED, IDC_TF_ONLINE_MODE,
                               IDC_TF_OFFLINE_MODE};

struct TaskMemoryDeleter {
    void operator()(void* block) const noexcept { ::CoTaskMemFree(block); }
};

}  // namespace

CTreeFrame::CTreeFrame() noexcept : CQuelkCompositeControl(IDD_TREEFRAME, CLSID_TreeFrame, HeaderMap()) {}

CTreeFrame::~CTreeFrame() { ReleasePages(); }

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
    CreateHook();
    const HRESULT objectResult = ql::QueryInterfaceTo(dtm, pageObject_);
    if (const HWND area = Item(IDC_TF_PAGE_AREA))
        ::SetWindowLongW(area, GWL_EXSTYLE, ::GetWindowLongW(area, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    HRESULT pagesResult = E_FAIL;
    HRESULT hookResult = S_OK;
    if (objectResult == S_OK) {
        pagesResult = CreatePages();
        // A dropped page leaves the window without tree and pages: the tree would not match the pages.
        if (pagesResult == S_OK) {
            // A tree without images still selects its pages.
            (void)CreateImageList();
            InitPages(dtm);
            if (hook_) hookResult = StartHook();
        }
    }
    // Texts that cannot be translated keep the resources' wording; the window opens all the same.
    (void)OnNotify(kNotifyLanguage, *I4(static_cast<LONG>(Language())));
    *ok = (objectResult == S_OK && pagesResult == S_OK && hookResult == S_OK) ? VARIANT_TRUE : VARIANT_FALSE;
    EnsureDefaultButton(false);
    FocusFirstButton();
    ::EnableWindow(Item(IDC_TF_APPLY), FALSE);
    if (DialogWindow())
        ::RedrawWindow(DialogWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return S_OK;
}

void CTreeFrame::FinishStartUp() noexcept {
    uploadStop_ = false;
    // The function that opened the window stays disabled while it is open.
    if (Variables()) (void)EnableDtmFunction(frameMode_, FALSE);
    BOOL handled = TRUE;
    (void)OnSize(WM_SIZE, 0, 0, handled);
    if (const HWND window = WindowHandle())
        ::SetTimer(window, reinterpret_cast<UINT_PTR>(this), kStartUpDelayMs, nullptr);
    ::SetWindowTextA(Item(IDC_TF_DEVICE_MESSAGE), "");
    const bool online = frameMode_ == kOnlineMode;
    ::ShowWindow(Item(IDC_TF_ONLINE_MODE), online ? SW_SHOW : SW_HIDE);
    ::ShowWindow(Item(IDC_TF_OFFLINE_MODE), online ? SW_HIDE : SW_SHOW);
}

HRESULT CTreeFrame::GetPages(CAUUID* pages) noexcept {
    QL_RETURN_IF_NULL_OUT(pages);
    pages->cElems = 0;
    pages->pElems = nullptr;
    auto* ids = static_cast<GUID*>(::CoTaskMemAlloc(sizeof(GUID) * std::size(kPageMap)));
    QL_RETURN_HR_IF(E_OUTOFMEMORY, !ids);
    for (size_t index = 0; index < std::size(kPageMap); ++index) ids[index] = *kPageMap[index];
    pages->cElems = static_cast<ULONG>(std::size(kPageMap));
    pages->pElems = ids;
    return S_OK;
}

HRESULT CTreeFrame::CreatePages() noexcept {
    if (pagesCreated_) return S_OK;
    ql::ComPtr<ISpecifyPropertyPages> specify;
    QL_RETURN_IF_FAILED(ql::QueryInterfaceTo(ControllingUnknown(), specify));
    CAUUID classes{};
    QL_RETURN_IF_FAILED(specify->GetPages(&classes));
    const std::unique_ptr<GUID, TaskMemoryDeleter> classIds(classes.pElems);
    pagesCreated_ = true;
    if (classes.cElems == 0) return S_FALSE;

    // The password is asked for again whenever the pages are created: the DTM's copy is emptied.
    char password[kPasswordChars + 1] = {};
    ::GetWindowTextA(Item(IDC_TF_PASSWORD), password, static_cast<int>(sizeof password));
    ::SetWindowTextA(Item(IDC_TF_PASSWORD), "");
    (void)StoreControlValue(kParameterServicePassword);

    IUnknown* objects[] = {Variables()};
    HRESULT result = S_OK;
    try {
        pages_.reserve(classes.cElems);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    for (ULONG index = 0; index < classes.cElems; ++index) {
        const CLSID& classId = classIds.get()[index];
        // The calibration pages need the service password.
        if (password[0] == '\0' &&
            (IsEqualCLSID(classId, CLSID_P6_TBCal1) || IsEqualCLSID(classId, CLSID_P7_TBCal2)))
            continue;
        ql::HostedPropertyPage page;
        // A page that fails any step is released at once and leaves no gap.
        if (FAILED(page.Create(classId, static_cast<IPropertyPageSite*>(this), 1, objects))) {
            result = S_FALSE;
            continue;
        }
        if (frameMode_ == kOnlineMode) {
            ql::ComPtr<IQuelkPageMode> mode;
            if (SUCCEEDED(ql::QueryInterfaceTo(page.Page(), mode)) && mode) {
                // A page that ignores its mode shows what it would offline; the window opens all the same.
                (void)mode->SetOnline(1);
                (void)mode->SetFrameMode(kOnlineMode);
            }
        }
        pages_.push_back(std::move(page));
    }
    return result;
}

HRESULT CTreeFrame::CreateImageList() noexcept {
    images_.Attach(::ImageList_Create(kTreeImageSize, kTreeImageSize, ILC_COLOR16, 3, 3));
    const HINSTANCE module = ql::ComModule::Instance().ResourceInstance();
    const int bitmaps[] = {IDB_TF_TREE_DEVICE, IDB_TF_TREE_ITEM, IDB_TF_TREE_ITEM};
    for (size_t depth = 0; depth < std::size(bitmaps); ++depth) {
        // The list keeps a copy of the picture.
        const ql::Bitmap bitmap(::LoadBitmapW(module, MAKEINTRESOURCEW(bitmaps[depth])));
        depthImages_[depth] = images_ && bitmap ? ::ImageList_Add(images_.Get(), bitmap.Get(), nullptr) : -1;
    }
    ::SendMessageW(Item(IDC_TF_TREE), TVM_SETIMAGELIST, TVSIL_NORMAL,
                   reinterpret_cast<LPARAM>(images_.Get()));
    const HRESULT result = CreateNavigator();
    return FAILED(result) ? result : S_OK;
}

HRESULT CTreeFrame::CreateNavigator() noexcept {
    if (pages_.empty()) return S_OK;
    const HWND tree = Item(IDC_TF_TREE);
    const DepthImages images{{depthImages_[0], depthImages_[1], depthImages_[2]}};
    SIZE largest{0, 0};
    for (size_t index = 0; index < pages_.size(); ++index) {
        const PROPPAGEINFO& info = pages_[index].Info();
        largest.cx = std::max(largest.cx, info.size.cx);
        largest.cy = std::max(largest.cy, info.size.cy);
        // A page without a title is hosted but has no item of its own.
        if (info.pszTitle)
            AddTreePath(tree, nullptr, AnsiOf(info.pszTitle), static_cast<LPARAM>(index), 0, &images);
    }
    SizeToPages(largest);
    activePage_ = 0;
    const RECT rect{0, 0, largest.cx, largest.cy};
    const HWND area = Item(IDC_TF_PAGE_AREA);
    // A page that cannot be activated stays empty in the tree; the others work.
    for (auto& page : pages_) (void)page.Activate(area, rect);
    return S_OK;
}

void CTreeFrame::InitPages(IUnknown* dtm) noexcept {
    for (auto& page : pages_) {
        ql::ComPtr<IQuelkControl> control;
        VARIANT_BOOL pageOk = VARIANT_FALSE;
        if (SUCCEEDED(ql::QueryInterfaceTo(page.Page(), control)) && control)
            // A page whose link to the DTM fails shows no values; the window and the other pages work.
            (void)control->Init(dtm, &pageOk);
    }
    // A page that will not show leaves the area empty until another is chosen.
    if (IPropertyPage* first = PageAt(0)) (void)first->Show(SW_SHOWNORMAL);
    pagesInitialised_ = true;
}

// --- page switching ---

IPropertyPage* CTreeFrame::PageAt(int index) const noexcept {
    return index >= 0 && static_cast<size_t>(index) < pages_.size() ? pages_[index].Page() : nullptr;
}

void CTreeFrame::ShowPage(int index) noexcept {
    if (!PageAt(index)) return;
    // As above: showing and hiding a page is best effort.
    if (IPropertyPage* shown = PageAt(activePage_)) (void)shown->Show(SW_HIDE);
    activePage_ = index;
    (void)PageAt(index)->Show(SW_SHOWNORMAL);
}

LRESULT CTreeFrame::OnTreeNotify(UINT, WPARAM, LPARAM lParam, BOOL& handled) noexcept {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->idFrom != IDC_TF_TREE ||
        (header->code != TVN_SELCHANGEDA && header->code != TVN_SELCHANGEDW)) {
        handled = FALSE;
        return 0;
    }
    const HWND tree = Item(IDC_TF_TREE);
    const HTREEITEM selected = TreeView_GetSelection(tree);
    if (const HTREEITEM item = FindPageItem(tree, selected)) {
        // A grouping item shows the first page below it, and the selection follows.
        if (item != selected)
            ::PostMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        const int index = static_cast<int>(ItemData(tree, item));
        ShowPage(index);
        // The scroll bars follow the page's size at the next layout.
        PageInfo pageInfo;
        if (IPropertyPage* page = PageAt(index); page && SUCCEEDED(page->GetPageInfo(&pageInfo.info)))
            virtualSize_ = pageInfo.info.size;
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
    if (applyByFrame_ != 0 && (flags & PROPPAGESTATUS_DIRTY)) ::EnableWindow(Item(IDC_TF_APPLY), TRUE);
}

// --- the DTM ---

HRESULT CTreeFrame::SetDtmState(ULONG state) noexcept {
    // The base keeps the state and always answers S_OK.
    (void)CQuelkCompositeControl::SetDtmState(state);
    const bool connected = state == kStateConnected;
    // Online, a lost connection closes the window: one message and one close request, however many state
    // changes follow before the window is gone.
    if (!connected && frameMode_ == kOnlineMode && !disconnectReported_) {
        disconnectReported_ = true;
        // The window closes whether or not the frame could show the message; a close request that cannot be
        // posted leaves it open for the user to close.
        (void)SendUserMessage("The DTM is disconnected. The OnlineParameterize dialog will be closed", "",
                              MB_OK);
        (void)PostCloseRequest();
    }
    for (auto& page : pages_) {
        ql::ComPtr<IQuelkPageMode> mode;
        if (page.Page() && SUCCEEDED(ql::QueryInterfaceTo(page.Page(), mode)) && mode)
            // As at the start: a page that ignores its mode shows what it would offline.
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
                // Each page handles the notification itself; one that fails does not keep it from the others.
                (void)control->NotifyVariant(*UI4(code), data);
        }
    }
    if (code == kNotifyLanguage && DialogWindow())
        ::RedrawWindow(DialogWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return CQuelkCompositeControl::OnNotify(code, data);
}

LRESULT CTreeFrame::OnClear(WORD, WORD, HWND, BOOL&) noexcept {
    ::SetWindowTextA(Item(IDC_TF_DEVICE_MESSAGE), "");
    return 0;
}

LRESULT CTreeFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) noexcept {
    // A container may let the window go without the close request (a refused start-up): nothing the window
    // started may keep the frame alive afterwards.
    StopHook();
    ReleasePages();
    // Each static hands its picture back (and keeps none), so the window frees what its template loaded.
    for (int picture : kHeaderPictures) {
        const ql::Bitmap taken(
            reinterpret_cast<HBITMAP>(::SendMessageW(Item(picture), STM_SETIMAGE, IMAGE_BITMAP, 0)));
    }
    handled = FALSE;
    return 0;
}
