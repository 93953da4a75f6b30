#pragma once
// CP1_Root: the root of the parameterization window's tree: the device picture. The picture static loads
// its bitmap from the template but does not free it when it goes: the page frees it with its window.
#include "VarnokP3.h"
#include "classlib/GdiObject.h"
#include "ui/pages/LayoutPage.h"
#include "ui/pages/PageResources.h"

extern const LayoutPageDesign kP1_RootDesign;

class CP1_Root final : public ql::ComObjectBase<CP1_Root>, public CLayoutPage<CQuelkControlBase> {
    QL_INTERFACE_TABLE(CP1_Root, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    QL_BEGIN_MSG_MAP(CP1_Root)
    QL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    QL_CHAIN_MSG_MAP(CLayoutPage)
    QL_END_MSG_MAP()

    CP1_Root() noexcept : CLayoutPage(kP1_RootDesign) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }

private:
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) noexcept {
        const ql::Bitmap picture(reinterpret_cast<HBITMAP>(
            ::SendDlgItemMessageW(WindowHandle(), IDC_ROOT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0)));
        handled = FALSE;
        return 0;
    }
};
