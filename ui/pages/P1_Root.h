#pragma once
// CP1_Root: the root of the parameterization window's tree: the device picture.
#include "VarnokP3.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kP1_RootDesign;

class CP1_Root final : public ql::ComObjectBase<CP1_Root>, public CLayoutPage<CQuelkControlBase> {
    QL_INTERFACE_TABLE(CP1_Root, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CP1_Root() noexcept : CLayoutPage(kP1_RootDesign) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
