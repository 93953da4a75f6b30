#include "classlib/PropertyPage.h"

#include <string>

#include "classlib/ComModule.h"
#include "classlib/DialogTemplate.h"

namespace ql {

namespace {

// A string of the module's string table in task memory (the caller of GetPageInfo frees it); null for id 0
// or a missing string.
LPOLESTR TaskMemoryString(HINSTANCE module, UINT id) noexcept {
    if (id == 0) return nullptr;
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return nullptr;
    auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    ::CopyMemory(copy, text, static_cast<size_t>(length) * sizeof(wchar_t));
    copy[length] = L'\0';
    return copy;
}

}  // namespace

PropertyPage::PropertyPage(UINT dialogId, UINT titleId, UINT docStringId, UINT helpFileId,
                           DWORD helpContext) noexcept
    : dialogId_(dialogId),
      titleId_(titleId),
      docStringId_(docStringId),
      helpFileId_(helpFileId),
      helpContext_(helpContext) {}

PropertyPage::~PropertyPage() = default;

HINSTANCE PropertyPage::PageModule() const noexcept { return ComModule::Instance().ResourceInstance(); }

void PropertyPage::SetPageDirty(BOOL dirty) noexcept {
    if (dirty_ == dirty) return;
    dirty_ = dirty;
    // The site's answer changes nothing: the page keeps its flag and the site reads it again.
    if (site_) (void)site_->OnStatusChange(dirty ? PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE : 0);
}

HRESULT PropertyPage::ApplyChanges() noexcept {
    SetPageDirty(FALSE);
    return S_OK;
}

HRESULT PropertyPage::SetPageSite(IPropertyPageSite* site) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, site && site_);  // a page has one site at a time
    site_ = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

HRESULT PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) noexcept {
    QL_RETURN_IF_NULL_OUT(rect);
    QL_RETURN_HR_IF(E_UNEXPECTED, WindowHandle() != nullptr);
    QL_RETURN_IF_FAILED(CreateDialogWindow(PageModule(), dialogId_, parent));
    HWND window = WindowHandle();
    // The frame's dialog manager walks into the page's controls.
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    OnWindowCreated();
    return Move(rect);
}

HRESULT PropertyPage::Deactivate() noexcept {
    DestroyDialogWindow();
    return S_OK;
}

HRESULT PropertyPage::GetPageInfo(PROPPAGEINFO* info) noexcept {
    QL_RETURN_IF_NULL_OUT(info);
    SIZE size{};
    QL_RETURN_IF_FAILED(DialogSizeInPixels(PageModule(), MAKEINTRESOURCEW(dialogId_), size));
    HINSTANCE module = PageModule();
    info->cb = sizeof(*info);
    info->pszTitle = TaskMemoryString(module, titleId_);
    info->size = size;
    info->pszDocString = TaskMemoryString(module, docStringId_);
    info->pszHelpFile = TaskMemoryString(module, helpFileId_);
    info->dwHelpContext = helpContext_;
    return S_OK;
}

HRESULT PropertyPage::SetObjects(ULONG count, IUnknown** objects) noexcept {
    QL_RETURN_HR_IF(E_POINTER, count > 0 && !objects);
    return GuardComCall([&] {
        std::vector<ComPtr<IUnknown>> taken;
        for (ULONG i = 0; i < count; ++i) taken.emplace_back(objects[i]);
        objects_ = std::move(taken);
        OnObjectsChanged();
        return S_OK;
    });
}

HRESULT PropertyPage::Show(UINT command) noexcept {
    HWND window = WindowHandle();
    QL_RETURN_HR_IF(E_UNEXPECTED, !window);
    ::ShowWindow(window, static_cast<int>(command));
    return S_OK;
}

HRESULT PropertyPage::Move(LPCRECT rect) noexcept {
    QL_RETURN_IF_NULL_OUT(rect);
    HWND window = WindowHandle();
    QL_RETURN_HR_IF(E_UNEXPECTED, !window);
    ::MoveWindow(window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

HRESULT PropertyPage::IsPageDirty() noexcept { return dirty_ == TRUE ? S_OK : S_FALSE; }

HRESULT PropertyPage::Apply() noexcept { return ApplyChanges(); }

HRESULT PropertyPage::Help(LPCOLESTR folder) noexcept { return ShowPageHelp(folder); }

BOOL PropertyPage::TranslateDialogKey(MSG* message) noexcept {
    return ::IsDialogMessageW(WindowHandle(), message);
}

HRESULT PropertyPage::TranslateAccelerator(MSG* message) noexcept {
    QL_RETURN_IF_NULL_OUT(message);
    HWND window = WindowHandle();
    if (!window || !(message->hwnd == window || ::IsChild(window, message->hwnd))) return S_FALSE;
    return TranslateDialogKey(message) ? S_OK : S_FALSE;
}

HRESULT PropertyPage::EditProperty(DISPID id) noexcept { return EditPropertyById(id); }

}  // namespace ql
