#pragma once
// CP8_TBExtTS: the transducer block's extended trouble shooting page.
// No part of the window opens it; a property-page container can create it by its class id.
#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kP8_TBExtTSDesign;

class CP8_TBExtTS final : public ql::ComObjectBase<CP8_TBExtTS>, public CLayoutPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CP8_TBExtTS, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CP8_TBExtTS() noexcept : CLayoutPage(kP8_TBExtTSDesign) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
