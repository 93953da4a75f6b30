// Row states made visible: the state word written under the row's mask, the bound control enabled, made
// read-only or disabled by it (or the state handed to a hosted child control), the repaint that lets the
// colour handlers show it, the marker windows beside the controls, the DTM's lock of every control and the
// focus on the first invalid row.
#include "classlib/ComModule.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"

namespace {

constexpr int kKindEdit = 2;
constexpr int kKindRichEdit = 3;
constexpr UINT kRepaintNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

void RepaintNow(HWND window) noexcept {
    if (window && ::IsWindow(window)) ::RedrawWindow(window, nullptr, nullptr, kRepaintNow);
}

}  // namespace

HRESULT CQuelkControlBase::SetRowState(UINT row, ULONG flags) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    ParameterMapEntry& entry = m_rows[row];
    ULONG state = (flags & entry.stateMask) | (entry.state & ~entry.stateMask);
    // While the DTM's lock stands, a state from a refresh or a commit must not enable the row again: its
    // writable bit waits in the lock's memory for the unlock.
    if (locked_ && (state & kRowWritable)) state = (state & ~kRowWritable) | kRowEnabledBeforeLock;
    // Stored before any window is touched, so the colour handlers of the repaint already see it.
    entry.state = state;
    if (entry.controlId == 0) return S_OK;

    if (IsChildControl(entry.controlId)) {
        ql::ComPtr<IQuelkChildControl> child;
        QL_RETURN_HR_IF(E_UNEXPECTED, FAILED(QueryChildControl(entry.controlId, child)));
        QL_RETURN_IF_FAILED(child->SetParameterState(entry.id, state));
        return S_OK;
    }

    // Before the first show the control window is unknown: every control then counts as a plain window
    // and is disabled rather than made read-only.
    const int kind = GetControlKind(entry.controlWindow);
    const bool editKind = kind == kKindEdit || kind == kKindRichEdit;
    const bool writable = (state & kRowWritable) != 0;
    const HWND item = dialog_ ? ::GetDlgItem(dialog_, static_cast<int>(entry.controlId)) : nullptr;
    if (item) {
        // A read-only edit stays enabled, so its text can still be selected and copied.
        ::EnableWindow(item, (writable || editKind) ? TRUE : FALSE);
        if (editKind) ::SendMessageW(item, EM_SETREADONLY, writable ? FALSE : TRUE, 0);
    }
    RepaintNow(entry.controlWindow);
    RepaintNow(entry.markerWindow);
    return S_OK;
}

HRESULT CQuelkControlBase::SetStateById(ULONG id, ULONG flags) noexcept {
    HRESULT result = S_OK;
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].id != id) continue;
        result = SetRowState(row, flags);
        if (FAILED(result)) return result;
    }
    return result;
}

HRESULT CQuelkControlBase::LockAllControls(BOOL lock) noexcept {
    if (!lock) locked_ = false;  // before the walk: the unlock's own states must reach the rows
    for (UINT row = 0; row < m_rowCount; ++row) {
        // Each word is built from the row's state when the walk reaches it; SetStateById gives it to
        // every row of the parameter.
        const ParameterMapEntry& entry = m_rows[row];
        if (lock && (entry.state & kRowWritable)) {
            // SetRowState stores the state in the row first; only a hosted child that refuses it fails, and
            // it then shows its old state until the next one.
            (void)SetStateById(entry.id, (entry.state & ~kRowWritable) | kRowEnabledBeforeLock);
        } else if (!lock && (entry.state & kRowEnabledBeforeLock)) {
            (void)SetStateById(entry.id, (entry.state & ~kRowEnabledBeforeLock) | kRowWritable);
        }
    }
    if (lock) locked_ = true;
    return S_OK;
}

HRESULT CQuelkControlBase::FocusFirstInvalidControl() noexcept {
    for (UINT row = 0; row < m_rowCount; ++row) {
        const ParameterMapEntry& entry = m_rows[row];
        if (!(entry.state & kRowInvalid) || (entry.state & kRowNotLoaded)) continue;
        if (entry.controlId == 0) return E_FAIL;
        if (IsChildControl(entry.controlId)) {
            ql::ComPtr<IQuelkChildControl> child;
            QL_RETURN_HR_IF(E_UNEXPECTED, FAILED(QueryChildControl(entry.controlId, child)));
            // A child that answers without writing the flag is taken as holding an invalid value.
            VARIANT_BOOL invalid = VARIANT_TRUE;
            const HRESULT hr = child->FocusParameter(1, *UlongArgument(entry.id), &invalid);
            QL_RETURN_IF_FAILED(hr);
            return invalid != VARIANT_FALSE ? E_FAIL : hr;
        }
        if (dialog_) {
            ::SetFocus(::GetDlgItem(dialog_, static_cast<int>(entry.controlId)));
            ::SendDlgItemMessageW(dialog_, static_cast<int>(entry.controlId), EM_SETSEL, 0, -1);
        }
        return E_FAIL;
    }
    return S_OK;
}

LRESULT CQuelkControlBase::OnShowWindow(UINT, WPARAM show, LPARAM, BOOL&) noexcept {
    if (!show) return 0;
    // A table that cannot be built leaves the colours of the last one.
    (void)InitStateTable();
    if (show != 1 || shownOnce_ || !dialog_) return 0;
    shownOnce_ = true;
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(dialog_, WM_GETFONT, 0, 0));
    for (UINT row = 0; row < m_rowCount; ++row) {
        ParameterMapEntry& entry = m_rows[row];
        entry.controlWindow = ::GetDlgItem(dialog_, static_cast<int>(entry.controlId));
        // Without a dialog item there is no rectangle to place a marker by.
        if (entry.markerFlag != 1 || !entry.controlWindow) continue;
        RECT bounds{};
        ::GetWindowRect(entry.controlWindow, &bounds);
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&bounds), 2);
        // Sized by the default font of the control's device context, not the dialog font.
        TEXTMETRICW metrics{};
        if (const HDC dc = ::GetDC(entry.controlWindow)) {
            ::GetTextMetricsW(dc, &metrics);
            ::ReleaseDC(entry.controlWindow, dc);
        }
        const int height = metrics.tmHeight;
        const int top = bounds.top + (bounds.bottom - bounds.top - height) / 2;
        // A child of the dialog: it goes with the dialog.
        const HWND marker =
            ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, bounds.right + height / 4, top, height / 2, height,
                              dialog_, nullptr, ql::ComModule::Instance().ModuleInstance(), nullptr);
        if (!marker) continue;
        ::SendMessageW(marker, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        entry.markerWindow = marker;
        ::ShowWindow(marker, SW_SHOWNORMAL);
    }
    return 0;
}
