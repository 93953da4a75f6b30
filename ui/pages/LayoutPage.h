#pragma once
// CLayoutPage: a block page that binds no parameter (its map holds only the end row) and shows its dialog
// with captions and empty fields, its areas in their colours under their overlays. A page with a cyclic
// timer runs it while shown online (its list is empty: the timer reads nothing).
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "ui/pages/BlockPage.h"

// What distinguishes one layout page from another.
struct LayoutPageDesign {
    UINT dialogId;
    UINT titleId;
    const CLSID* classId;
    BlockPageDesign page;
};

// The map of a page without parameters: the end row alone.
const ParameterMap& EmptyPageMap();

template <class Layer>
class CLayoutPage : public CBlockPage<Layer> {
    QL_INTERFACE_PART_TABLE(CLayoutPage, QL_ENTRY_CHAIN(CBlockPage<Layer>))

protected:
    explicit CLayoutPage(const LayoutPageDesign& design) noexcept
        : CBlockPage<Layer>(design.dialogId, design.titleId, *design.classId, EmptyPageMap(), design.page) {}
};
