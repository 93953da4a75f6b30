#pragma once
// CQ2_AIFBTemp: the temperature AI function block's page.
// No part of the window opens it; a property-page container can create it by its class id.
#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kQ2_AIFBTempDesign;

class CQ2_AIFBTemp final : public ql::ComObjectBase<CQ2_AIFBTemp>, public CLayoutPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CQ2_AIFBTemp, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CQ2_AIFBTemp() noexcept : CLayoutPage(kQ2_AIFBTempDesign) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
