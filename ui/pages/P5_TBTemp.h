#pragma once
// CP5_TBTemp: the transducer block's temperature page.
// No part of the window opens it; a property-page container can create it by its class id.
#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kP5_TBTempDesign;

class CP5_TBTemp final : public ql::ComObjectBase<CP5_TBTemp>, public CLayoutPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CP5_TBTemp, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CP5_TBTemp() noexcept : CLayoutPage(kP5_TBTempDesign) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
