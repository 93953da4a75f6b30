#pragma once
// CP7_TBCal2: the transducer block's second calibration page.
// No part of the window opens it; a property-page container can create it by its class id.
#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kP7_TBCal2Design;

class CP7_TBCal2 final : public ql::ComObjectBase<CP7_TBCal2>, public CLayoutPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CP7_TBCal2, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CP7_TBCal2() noexcept : CLayoutPage(kP7_TBCal2Design) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
