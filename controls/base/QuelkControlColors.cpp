// Colours by parameter state: the handlers of WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX and WM_CTLCOLORSTATIC
// colour a bound control and its marker window from the state table entry of the row's state, and write the
// state's marker text. The object keeps exactly one background brush, replaced on every colour message, so
// a brush returned stays valid until the next colour message of the same object.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "controls/base/QuelkControlBase.h"
#include "values/AnsiText.h"

namespace {

constexpr int kMarkerTextChars = 64;

LRESULT AsResult(HBRUSH brush) noexcept { return reinterpret_cast<LRESULT>(brush); }

void EnableMarker(HWND marker, BOOL enable) noexcept {
    if (marker) ::EnableWindow(marker, enable);
}

}  // namespace

HRESULT CQuelkControlBase::InitStateTable() noexcept { return m_stateTable.FillDefault(); }

COLORREF CQuelkControlBase::ResolveStateColor(UINT row, COLORREF color) const noexcept {
    return ResolveColorToken(color, row < m_rowCount ? m_rows[row].controlFlags : 0);
}

HRESULT CQuelkControlBase::SetBackgroundBrush(COLORREF color) noexcept {
    m_brush.Attach(::CreateSolidBrush(color));
    return S_OK;
}

int CQuelkControlBase::FindRowByWindow(HWND window, bool withComboEdit) const noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        const ParameterMapEntry& entry = m_rows[row];
        if (!entry.controlWindow) continue;
        if (entry.controlWindow == window) return static_cast<int>(row);
        if (withComboEdit && (entry.controlFlags & kControlComboBox) &&
            ::IsChild(entry.controlWindow, window)) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

LRESULT CQuelkControlBase::ColorControl(UINT row, int entry, HDC hdc, BOOL& handled) noexcept {
    const ParameterMapEntry& bound = m_rows[row];
    EnableMarker(bound.markerWindow, TRUE);
    if (bound.controlFlags & kControlDefaultColors) {
        handled = FALSE;
        return 0;
    }
    ::SetTextColor(hdc, ResolveStateColor(row, m_stateTable.textColors[entry]));
    const COLORREF background = ResolveStateColor(row, m_stateTable.backgroundColors[entry]);
    ::SetBkColor(hdc, background);
    // A brush that cannot be made in the new colour leaves the previous one: the field paints in its old
    // colour.
    (void)SetBackgroundBrush(background);
    return AsResult(m_brush.Get());
}

LRESULT CQuelkControlBase::OnCtlColorEdit(UINT, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const int row = FindRowByWindow(reinterpret_cast<HWND>(control), true);
    if (row < 0) return 0;
    const int entry = m_stateTable.Find(m_rows[row].state);
    if (entry < 0) return AsResult(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    return ColorControl(static_cast<UINT>(row), entry, reinterpret_cast<HDC>(hdc), handled);
}

LRESULT CQuelkControlBase::OnCtlColorListBox(UINT, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const int row = FindRowByWindow(reinterpret_cast<HWND>(control), false);
    if (row < 0) return 0;
    const int entry = m_stateTable.Find(m_rows[row].state);
    if (entry < 0) return AsResult(static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    if (!::IsWindowEnabled(m_rows[row].controlWindow)) {
        EnableMarker(m_rows[row].markerWindow, FALSE);
        return 0;
    }
    return ColorControl(static_cast<UINT>(row), entry, reinterpret_cast<HDC>(hdc), handled);
}

LRESULT CQuelkControlBase::ColorMarker(UINT row, HDC hdc, BOOL& handled) noexcept {
    const ParameterMapEntry& bound = m_rows[row];
    const int entry = m_stateTable.Find(bound.state);
    if (entry < 0) return 0;
    char current[kMarkerTextChars] = {};
    ::GetWindowTextA(bound.markerWindow, current, kMarkerTextChars);
    std::string wanted;
    if (bound.markerFlag == 1) {
        const ql::Bstr& marker = m_stateTable.markerTexts[entry];
        if (marker.IsNull()) {
            ::SetWindowTextA(bound.markerWindow, "");
        } else if (SUCCEEDED(WideToAnsi(marker.View(), wanted)) && wanted != current) {
            // Written only when it differs: the marker repaints on every colour message.
            ::SetWindowTextA(bound.markerWindow, wanted.c_str());
        }
    } else if (current[0] != '\0') {
        ::SetWindowTextA(bound.markerWindow, "");
    }
    if (bound.controlFlags & kControlDefaultColors) {
        handled = FALSE;
        return 0;
    }
    ::SetTextColor(hdc, ResolveStateColor(row, m_stateTable.markerTextColors[entry]));
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    ::SetBkColor(hdc, face);
    // A brush that cannot be made in the new colour leaves the previous one: the field paints in its old
    // colour.
    (void)SetBackgroundBrush(face);
    if (bound.controlFlags & kControlProgressBar) {
        if (!::IsWindowEnabled(bound.markerWindow)) return 0;
        ::EnableWindow(bound.markerWindow, TRUE);
        ::SendMessageW(bound.controlWindow, PBM_SETBARCOLOR, 0,
                       static_cast<LPARAM>(ResolveStateColor(row, m_stateTable.textColors[entry])));
        ::SendMessageW(bound.controlWindow, PBM_SETBKCOLOR, 0,
                       static_cast<LPARAM>(ResolveStateColor(row, m_stateTable.backgroundColors[entry])));
    }
    return AsResult(m_brush.Get());
}

LRESULT CQuelkControlBase::OnCtlColorStatic(UINT, WPARAM hdc, LPARAM control, BOOL& handled) noexcept {
    const HWND window = reinterpret_cast<HWND>(control);
    for (UINT row = 0; row < m_rowCount; ++row) {
        const ParameterMapEntry& bound = m_rows[row];
        if (bound.markerWindow && bound.markerWindow == window) {
            return ColorMarker(row, reinterpret_cast<HDC>(hdc), handled);
        }
        if (bound.controlWindow && bound.controlWindow == window) {
            const int entry = m_stateTable.Find(bound.state);
            if (entry < 0) return 0;
            if (!::IsWindowEnabled(window)) {
                EnableMarker(bound.markerWindow, FALSE);
                return 0;
            }
            return ColorControl(row, entry, reinterpret_cast<HDC>(hdc), handled);
        }
    }
    return 0;
}

LRESULT CQuelkControlBase::OnCtlColorDlg(UINT, WPARAM hdc, LPARAM, BOOL&) noexcept {
    constexpr COLORREF kLightOrange = 0x77BBFF;
    ::SetBkColor(reinterpret_cast<HDC>(hdc), kLightOrange);
    // A brush that cannot be made in the new colour leaves the previous one: the field paints in its old
    // colour.
    (void)SetBackgroundBrush(kLightOrange);
    ::SelectObject(reinterpret_cast<HDC>(hdc), m_brush.Get());
    return AsResult(m_brush.Get());
}

LRESULT CQuelkControlBase::OnDrawItem(UINT, WPARAM, LPARAM, BOOL&) noexcept { return 0; }
