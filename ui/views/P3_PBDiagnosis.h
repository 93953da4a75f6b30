#pragma once
// CP3_PBDiagnosis: the diagnosis page of the parameterization window. It shows the physical block's
// diagnosis and its extension as 40 check boxes in five coloured groups and, while it is shown and the
// window is online, reads both every two seconds; the device's answers reach the boxes through the DTM's
// notifications. It never writes.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "VarnokP3.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/BlockPage.h"

class CP3_PBDiagnosis final : public ql::ComObjectBase<CP3_PBDiagnosis>, public CBlockPage<CQuelkOnlinePage> {
    QL_INTERFACE_TABLE(CP3_PBDiagnosis, QL_ENTRY(IQuelkControl), QL_ENTRY_CHAIN(CBlockPage))

public:
    QL_BEGIN_MSG_MAP(CP3_PBDiagnosis)
    QL_CHAIN_MSG_MAP(CBlockPage)
    QL_END_MSG_MAP()

    CP3_PBDiagnosis() noexcept;
    HRESULT FinalConstruct() noexcept;

    HRESULT ShowValueById(ULONG id, VARIANT value) noexcept override;
};
