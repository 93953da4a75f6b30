#pragma once
// CUiTestPage: a property page built on the class library: editing its value makes it dirty; Apply shows the
// value as applied and cleans the page. Its dialog hosts a CUiTestControl fed from the dialog's DLGINIT data.
#include <windows.h>

#include "UiTestServer.h"
#include "classlib/PropertyPage.h"

class CUiTestPage final : public ql::ComObjectBase<CUiTestPage>, public ql::PropertyPage {
    QL_INTERFACE_TABLE(CUiTestPage, QL_ENTRY_CHAIN(ql::PropertyPage))

    QL_BEGIN_MSG_MAP(CUiTestPage)
    QL_COMMAND_HANDLER(1101 /* IDC_PAGE_VALUE_EDIT */, EN_CHANGE, OnValueChange)
    QL_END_MSG_MAP()

public:
    CUiTestPage() noexcept;

protected:
    HINSTANCE PageModule() const noexcept override;
    HRESULT ApplyChanges() noexcept override;

private:
    LRESULT OnValueChange(WORD, WORD, HWND, BOOL&);
};
