#pragma once
// CP9_TBOutPut: the transducer block's output setup page.
// No part of the window opens it; a property-page container can create it by its class id.
#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LayoutPage.h"

extern const LayoutPageDesign kP9_TBOutPutDesign;

class CP9_TBOutPut final : public ql::ComObjectBase<CP9_TBOutPut>, public CLayoutPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CP9_TBOutPut, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CLayoutPage))

public:
    CP9_TBOutPut() noexcept : CLayoutPage(kP9_TBOutPutDesign) {}
    HRESULT FinalConstruct() noexcept { return AttachIdentity(GetControllingUnknown()); }
};
