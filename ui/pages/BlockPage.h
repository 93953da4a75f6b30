#pragma once
// CBlockPage: what every block page adds to the property-page layer:
// - the painting of an area of the page in its own colour (the background of a static or read-only control
//   and a solid brush of that colour, kept as the page's background brush until the next one replaces it),
//   and every label whole in the dialog font the platform gives the page, within its own room
//   (LabelFitting.h);
// - its design: the overlay statics laid over the areas' group boxes at every show, the colours of the
//   areas, and a short list of parameters read every two seconds while the page is shown, as far as the
//   design's reading rule lets it (the timer starts at a show and stops at every hide);
// - at every show each row's state handed to SetStateById in the map's order (a record listed before its
//   members hands its state to them before their own rows).
// A page with cyclic reads adds its list in FinalConstruct (AttachBlockPage).
//
// Threading: the frame's user-interface thread.
#include <windows.h>

#include <cstddef>
#include <type_traits>

#include "classlib/Variant.h"
#include "controls/base/QuelkCyclicTimer.h"
#include "controls/base/QuelkPropertyPageImpl.h"
#include "controls/sync/QuelkOnlinePage.h"
#include "ui/pages/LabelFitting.h"
#include "ui/pages/PageDecoration.h"

// When a shown block page reads its cyclic list.
enum class CyclicReading {
    Never,
    WhilePageOnline,  // the window works on the device (the page's online flag)
    WhileDtmOnline,   // the DTM is online, whatever the window's mode
};

// What distinguishes one block page's areas and cyclic reading from another's.
struct BlockPageDesign {
    const PageOverlay* overlays;
    size_t overlayCount;
    const PageAreaColor* colors;
    size_t colorCount;
    const ULONG* cyclicIds;
    size_t cyclicCount;
    CyclicReading reading;
};

template <size_t Overlays, size_t Colors, size_t Ids>
constexpr BlockPageDesign MakeBlockPageDesign(const PageOverlay (&overlays)[Overlays],
                                              const PageAreaColor (&colors)[Colors], CyclicReading reading,
                                              const ULONG (&cyclicIds)[Ids]) noexcept {
    return {overlays, Overlays, colors, Colors, cyclicIds, Ids, reading};
}
template <size_t Overlays, size_t Colors>
constexpr BlockPageDesign MakeBlockPageDesign(const PageOverlay (&overlays)[Overlays],
                                              const PageAreaColor (&colors)[Colors]) noexcept {
    return {overlays, Overlays, colors, Colors, nullptr, 0, CyclicReading::Never};
}

template <class Layer>
class CBlockPage : public CQuelkPropertyPageImpl<Layer> {
    QL_INTERFACE_PART_TABLE(CBlockPage, QL_ENTRY_CHAIN(CQuelkPropertyPageImpl<Layer>))

public:
    QL_BEGIN_MSG_MAP(CBlockPage)
    QL_CHAIN_MSG_MAP(CQuelkPropertyPageImpl<Layer>)
    QL_MESSAGE_HANDLER(WM_TIMER, OnTimer)
    QL_END_MSG_MAP()

    LRESULT OnShowWindow(UINT message, WPARAM show, LPARAM lParam, BOOL& handled) noexcept override {
        const LRESULT result = Layer::OnShowWindow(message, show, lParam, handled);
        if (!show) {
            reader_.Timer().Stop();
            return result;
        }
        for (UINT row = 0; row < this->RowCount(); ++row) {
            // SetRowState stores the state in the row first; only a hosted child that refuses it fails, and
            // it then shows its old state until the next one.
            (void)this->SetStateById(this->Row(row).id, this->Row(row).state);
        }
        if (ReadsCyclically()) {
            // A timer that cannot be made leaves the page without cyclic reading; it shows the values last
            // read.
            (void)reader_.Timer().Start(this->DialogWindow(), reinterpret_cast<UINT_PTR>(this),
                                        CQuelkCyclicReader::kPageInterval);
        }
        PlacePageOverlays(this->DialogWindow(), design_.overlays, design_.overlayCount);
        return result;
    }
    LRESULT OnCtlColorStatic(UINT message, WPARAM hdc, LPARAM control, BOOL& handled) noexcept override {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(control)));
        COLORREF color = 0;
        if (FindAreaColor(design_.colors, design_.colorCount, id, color)) return PaintArea(hdc, color);
        return Layer::OnCtlColorStatic(message, hdc, control, handled);
    }

    CQuelkCyclicTimer& CyclicTimer() noexcept { return reader_.Timer(); }

protected:
    CBlockPage(UINT dialogId, UINT titleId, const CLSID& classId, const ParameterMap& map,
               const BlockPageDesign& design) noexcept
        : CQuelkPropertyPageImpl<Layer>(dialogId, titleId, classId, map), design_(design) {
        this->m_lcid = kLanguageEnglish;
        this->m_brush.Attach(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    }

    // The page's FinalConstruct: the design's cyclic list, then the identity. E_OUTOFMEMORY when the list
    // cannot grow.
    HRESULT AttachBlockPage(IUnknown* controllingUnknown) noexcept {
        for (size_t i = 0; i < design_.cyclicCount; ++i) {
            if (!reader_.Timer().AddId(design_.cyclicIds[i])) return E_OUTOFMEMORY;
        }
        return this->AttachIdentity(controllingUnknown);
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
        // A failed narrowing leaves the value as read (see above); Detach into a checked out-pointer does not
        // fail.
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
        // A brush that cannot be made in the new colour leaves the previous one.
        (void)this->SetBackgroundBrush(color);
        ::SelectObject(context, this->m_brush.Get());
        return reinterpret_cast<LRESULT>(this->m_brush.Get());
    }

private:
    static constexpr bool kOnlineLayer = std::is_base_of_v<CQuelkOnlinePage, Layer>;

    bool ReadsCyclically() noexcept {
        if constexpr (kOnlineLayer) {
            bool offline = true;
            switch (design_.reading) {
                case CyclicReading::WhilePageOnline:
                    return this->IsOnline();
                case CyclicReading::WhileDtmOnline:
                    return SUCCEEDED(this->IsDtmOffline(&offline)) && !offline;
                case CyclicReading::Never:
                    break;
            }
        }
        return false;
    }
    // No cyclic read inside the waits of the page's own action on the device. The reads wait for the
    // device: the page holds itself meanwhile.
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled) noexcept {
        const ql::ComPtr<IUnknown> keepAlive(this->ControllingUnknown());
        bool inAction = false;
        if constexpr (kOnlineLayer) inAction = this->InDeviceAction();
        return reader_.OnCyclicTimer(inAction ? nullptr : this->Variables(), handled);
    }

    const BlockPageDesign& design_;
    CQuelkCyclicReader reader_;
};
