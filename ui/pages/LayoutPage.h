#pragma once
// CLayoutPage: a block page that binds no parameter (its map holds only the end row) and shows its dialog
// with captions and empty fields: on every show it lays its overlay statics over its areas' group boxes,
// and it paints its areas in their colours. A page with a cyclic timer restarts it at each show while the
// page works online and stops it at a hide (its list is empty: the timer reads nothing).
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <cstddef>
#include <type_traits>

#include "controls/base/QuelkCyclicTimer.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/BlockPage.h"
#include "ui/pages/PageDecoration.h"

// What distinguishes one layout page from another.
struct LayoutPageDesign {
    UINT dialogId;
    UINT titleId;
    const CLSID* classId;
    const PageOverlay* overlays;
    size_t overlayCount;
    const PageAreaColor* colors;
    size_t colorCount;
    bool cyclicTimer;
};

// The map of a page without parameters: the end row alone.
const ParameterMap& EmptyPageMap();

template <class Layer>
class CLayoutPage : public CBlockPage<Layer> {
    QL_INTERFACE_PART_TABLE(CLayoutPage, QL_ENTRY_CHAIN(CBlockPage<Layer>))

public:
    QL_BEGIN_MSG_MAP(CLayoutPage)
    QL_CHAIN_MSG_MAP(CBlockPage<Layer>)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_END_MSG_MAP()

    LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept override {
        const LRESULT result = Layer::OnShowWindow(message, show, lParam, handled);
        if (design_.cyclicTimer && PageIsOnline()) {
            if (show) {
                (void)reader_.Timer().Start(this->DialogWindow(), reinterpret_cast<UINT_PTR>(this),
                                            CQuelkCyclicReader::kPageInterval);
            } else {
                reader_.Timer().Stop();
            }
        }
        if (show) PlacePageOverlays(this->DialogWindow(), design_.overlays, design_.overlayCount);
        return result;
    }
    LRESULT OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept override {
        COLORREF color = 0;
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(control)));
        if (FindAreaColor(design_.colors, design_.colorCount, id, color)) return this->PaintArea(hdc, color);
        return Layer::OnCtlColorStatic(message, hdc, control, handled);
    }
    CQuelkCyclicTimer& CyclicTimer() noexcept { return reader_.Timer(); }

protected:
    explicit CLayoutPage(const LayoutPageDesign& design) noexcept
        : CBlockPage<Layer>(design.dialogId, design.titleId, *design.classId, EmptyPageMap()),
          design_(design) {}

private:
    bool PageIsOnline() const noexcept {
        if constexpr (std::is_base_of_v<CQuelkOnlinePage, Layer>) {
            return this->IsOnline();
        } else {
            return false;
        }
    }
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled) noexcept {
        return reader_.OnCyclicTimer(this->Variables(), handled);
    }

    const LayoutPageDesign& design_;
    CQuelkCyclicReader reader_;
};
