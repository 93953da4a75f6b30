#pragma once
// CBlockPage: what every block page adds to the property-page layer: the painting of an area of the page in
// its own colour (the background of a static or read-only control and a solid brush of that colour, kept
// as the page's background brush until the next one replaces it), and labels as wide as their texts in
// the dialog font the platform gives the page.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "controls/base/QuelkPropertyPageImpl.h"
#include "ui/pages/PageDecoration.h"

template <class Layer>
class CBlockPage : public CQuelkPropertyPageImpl<Layer> {
    QL_INTERFACE_PART_TABLE(CBlockPage, QL_ENTRY_CHAIN(CQuelkPropertyPageImpl<Layer>))

protected:
    CBlockPage(UINT dialogId, UINT titleId, const ParameterMap& map) noexcept
        : CQuelkPropertyPageImpl<Layer>(dialogId, titleId, map) {
        this->m_lcid = 1033;
        this->m_brush.Attach(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    }

    void OnWindowCreated() noexcept override {
        CQuelkPropertyPageImpl<Layer>::OnWindowCreated();
        FitLabelsToText(this->WindowHandle());
    }

    // The WM_CTLCOLORSTATIC answer for a control of an area painted `color`.
    LRESULT PaintArea(WPARAM hdc, COLORREF color) noexcept {
        const HDC context = reinterpret_cast<HDC>(hdc);
        ::SetBkColor(context, color);
        (void)this->SetBackgroundBrush(color);
        ::SelectObject(context, this->m_brush.Get());
        return reinterpret_cast<LRESULT>(this->m_brush.Get());
    }
};
