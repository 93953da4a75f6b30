#include "TestPropertyPage.h"

#include "UiTestResources.h"
#include "classlib/ComModule.h"

CUiTestPage::CUiTestPage() noexcept : ql::PropertyPage(IDD_UI_TEST_PAGE, IDS_UI_TEST_PAGE_TITLE) {}

HINSTANCE CUiTestPage::PageModule() const noexcept { return ql::ComModule::Instance().ModuleInstance(); }

HRESULT CUiTestPage::ApplyChanges() noexcept {
    wchar_t value[64] = {};
    ::GetDlgItemTextW(WindowHandle(), IDC_PAGE_VALUE_EDIT, value, 64);
    ::SetDlgItemTextW(WindowHandle(), IDC_PAGE_APPLIED_TEXT, value);
    SetPageDirty(FALSE);
    return S_OK;
}

LRESULT CUiTestPage::OnValueChange(WORD, WORD, HWND, BOOL&) {
    SetPageDirty(TRUE);
    return 0;
}
