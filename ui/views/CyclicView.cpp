#include "ui/views/CyclicView.h"

#include "classlib/Variant.h"

CCyclicView::CCyclicView(UINT dialogId, const CLSID& classId, const ParameterMap& map, ULONG functionId,
                         const wchar_t* className) noexcept
    : CQuelkCompositeControl(dialogId, classId, map), functionId_(functionId), className_(className) {}

HRESULT CCyclicView::AttachView(IUnknown* controllingUnknown,
                                std::initializer_list<ULONG> cyclicIds) noexcept {
    // The list is fixed when the view is built: a second link does not read every parameter twice.
    for (ULONG id : cyclicIds) {
        if (!reader_.Timer().AddId(id)) return E_OUTOFMEMORY;
    }
    return AttachIdentity(controllingUnknown);
}

void CCyclicView::StartReading() noexcept {
    // The view reads whether or not the DTM could switch its function off.
    (void)EnableDtmFunction(functionId_, FALSE);
    RestartTimer();
}

void CCyclicView::RestartTimer() noexcept {
    reader_.Timer().Stop();
    if (const HWND window = WindowHandle()) {
        // A timer that cannot be made leaves the page without cyclic reading; it shows the values last read.
        (void)reader_.Timer().Start(window, reinterpret_cast<UINT_PTR>(this),
                                    CQuelkCyclicReader::kViewInterval);
    }
}

HRESULT CCyclicView::Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    // A failed link leaves `ok` false; the view reads all the same, as it always has.
    (void)CQuelkCompositeControl::Init(dtm, ok);
    StartReading();
    return S_OK;
}

HRESULT CCyclicView::ReleaseDtm(VARIANT_BOOL* done) noexcept {
    return ReleaseDtmAndTimer(done, functionId_, reader_.Timer());
}

HRESULT CCyclicView::OnNotify(ULONG code, VARIANT data) noexcept {
    if (code == kNotifyDeviceValue) {
        ULONG id = 0;
        ql::Variant value;
        QL_RETURN_IF_FAILED(UnpackIdValue(data, &id, value.Put()));
        (void)ShowValueById(id, *value);  // a value the view cannot show leaves its fields as they were
        return S_OK;
    }
    // The view takes every notification; the base's handling is its own.
    (void)CQuelkCompositeControl::OnNotify(code, data);
    return S_OK;
}

HRESULT CCyclicView::TranslateParameters(ULONG) noexcept {
    // The DTM's translation service answers in the language it was switched to.
    return TranslateControlTexts(className_, nullptr);
}

LRESULT CCyclicView::OnCommitAndClose(WORD, WORD, HWND, BOOL&) noexcept {
    if (FAILED(FocusFirstInvalidControl())) return 0;
    for (UINT row = 0; row < RowCount(); ++row) {
        // A value that cannot be committed keeps its mark, and the view closes as the user asked.
        if (Row(row).state & kRowModified) (void)CommitParameter(Row(row).id);
    }
    // A close request that cannot be posted leaves the view open; the user can close it again.
    (void)PostCloseRequest();
    return 0;
}

LRESULT CCyclicView::OnClose(WORD, WORD, HWND, BOOL&) noexcept {
    // A close request that cannot be posted leaves the view open; the user can close it again.
    (void)PostCloseRequest();
    return 0;
}

void CCyclicView::StackOverlays(HWND dialog, const PageOverlay* overlays, size_t count) noexcept {
    if (!dialog) return;
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    for (size_t i = count; i-- > 0;) {
        const HWND cover = ::GetDlgItem(dialog, static_cast<int>(overlays[i].overlay));
        const HWND area = ::GetDlgItem(dialog, static_cast<int>(overlays[i].area));
        if (!cover || !area) continue;
        ::SetWindowLongPtrW(cover, GWL_STYLE, ::GetWindowLongPtrW(cover, GWL_STYLE) | WS_CLIPSIBLINGS);
        ::SetWindowPos(cover, HWND_BOTTOM, 0, 0, 0, 0, kKeepPlace);
        ::SetWindowPos(area, HWND_BOTTOM, 0, 0, 0, 0, kKeepPlace);
    }
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CCyclicView::PaintArea(WPARAM hdc, COLORREF background, const COLORREF* text) noexcept {
    const HDC context = reinterpret_cast<HDC>(hdc);
    ::SetBkColor(context, background);
    if (text) ::SetTextColor(context, *text);
    // A brush that cannot be made in the new colour leaves the previous one.
    (void)SetBackgroundBrush(background);
    ::SelectObject(context, m_brush.Get());
    return reinterpret_cast<LRESULT>(m_brush.Get());
}
