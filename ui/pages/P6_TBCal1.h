#pragma once
// CP6_TBCal1: the transducer block's first calibration page.
// No part of the window opens it; a property-page container can create it by its class id.
#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kP6_TBCal1Design;

class CP6_TBCal1 final : public ql::ComObjectBase<CP6_TBCal1>, public CLayoutPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CP6_TBCal1, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CP6_TBCal1() noexcept : CLayoutPage(kP6_TBCal1Design) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
