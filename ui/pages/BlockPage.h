#pragma once
// CBlockPage: what every block page adds to the property-page layer: the painting of an area of the page in
// its own colour (the background of a static or read-only control and a solid brush of that colour, kept
// as the page's background brush until the next one replaces it), and labels as wide as their texts in
// the dialog font the platform gives the page.
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include "classlib/Variant.h"
#include "controls/base/QuelkPropertyPageImpl.h"
#include "ui/pages/PageDecoration.h"

template <class Layer>
class CBlockPage : public CQuelkPropertyPageImpl<Layer> {
    QL_INTERFACE_PART_TABLE(CBlockPage, QL_ENTRY_CHAIN(CQuelkPropertyPageImpl<Layer>))

protected:
    CBlockPage(UINT dialogId, UINT titleId, const CLSID& classId, const ParameterMap& map) noexcept
        : CQuelkPropertyPageImpl<Layer>(dialogId, titleId, classId, map) {
        this->m_lcid = 1033;
        this->m_brush.Attach(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    }

    // The control of the first row of `id` read as the parameter's code narrowed to `type` (an enumeration's
    // byte width); a failed narrowing leaves the value as read. The read's result; E_POINTER for a null
    // `value`, E_INVALIDARG for an id without a row. `value` is replaced only by a successful read.
    HRESULT ReadNarrowed(ULONG id, VARTYPE type, VARIANT* value) noexcept {
        if (!value) return E_POINTER;
        const int row = this->FindParamRow(id);
        if (row < 0) return E_INVALIDARG;
        ql::Variant read;
        const HRESULT result = this->ReadParameterDisplay(static_cast<UINT>(row), read.Get());
        if (FAILED(result)) return result;
        (void)read.ChangeType(type);
        ql::Variant previous;
        previous.Attach(*value);
        (void)read.Detach(value);
        return result;
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
