#pragma once
// CCyclicView: what the three views of the DTM share on top of the composite-control layer. A view is a
// DTM function the frame opens (diagnosis 4, measured values 5, trend 8); while it is open:
// - its own function is switched off in the frame (re-enabled at the release when the DTM is online), so the
//   frame does not open it a second time;
// - it reads its few parameters from the device every second from the link on, shown or hidden (the timer
//   restarts on every show); the device's answers reach it as the DTM's new-value notifications (0x2800),
//   which the view shows like the initial load;
// - OK commits the rows a person changed and closes, Close (or Cancel) closes at once; the close is a
//   request to the DTM, posted to the view's own window.
// It also localises itself (IQuelkParameterTexts) under its class name in the translation document.
//
// A view class builds on it in the one COM object shape (see MeasuredValues.h) and names the shared
// handlers in its own message map, which ends with QL_CHAIN_MSG_MAP(CCyclicView).
// Threading: the frame's user-interface thread; the timer is a window timer of the view's window.
#include <windows.h>

#include <initializer_list>

#include "controls/base/QuelkCompositeControl.h"
#include "controls/base/QuelkCyclicTimer.h"
#include "ui/pages/PageDecoration.h"

class CCyclicView : public CQuelkCompositeControl, public ToolkitDispatchImpl<IQuelkParameterTexts> {
    QL_INTERFACE_PART_TABLE(CCyclicView, QL_ENTRY(IQuelkParameterTexts),
                            QL_ENTRY_CHAIN(CQuelkCompositeControl))

public:
    QL_BEGIN_MSG_MAP(CCyclicView)
    QL_MESSAGE_HANDLER(WM_MOUSEACTIVATE, OnMouseActivate)
    QL_MESSAGE_HANDLER(WM_HELP, OnHelp)
    QL_CHAIN_MSG_MAP(CQuelkCompositeControl)
    QL_END_MSG_MAP()

    // --- IQuelkControl ---
    // The composite link (every row loaded and shown), then the view's function off in the frame and the
    // timer started. A link that fails leaves `ok` false but the view set up, as the frame may still show it.
    HRESULT STDMETHODCALLTYPE Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept override;
    using CQuelkCompositeControl::Init;
    // The cyclic views' release: the timer stops and the view's function is offered again when online.
    HRESULT STDMETHODCALLTYPE ReleaseDtm(VARIANT_BOOL* done) noexcept override;
    // The composite default, and the device's new values (0x2800 [id, value]) shown through ShowValueById;
    // a payload that does not split is refused with its HRESULT, everything else answers S_OK.
    HRESULT STDMETHODCALLTYPE OnNotify(ULONG code, VARIANT data) noexcept override;

    // --- IQuelkParameterTexts ---
    HRESULT STDMETHODCALLTYPE TranslateParameters(ULONG lcid) noexcept override;

    ULONG FunctionId() const noexcept { return functionId_; }

protected:
    CCyclicView(UINT dialogId, const CLSID& classId, const ParameterMap& map, ULONG functionId,
                const wchar_t* className) noexcept;
    ~CCyclicView() override = default;

    // The view's part of FinalConstruct: its identity and the ids the timer reads (E_OUTOFMEMORY when the
    // list cannot grow).
    HRESULT AttachView(IUnknown* controllingUnknown, std::initializer_list<ULONG> cyclicIds) noexcept;
    // After the link: the view's function off in the frame, the timer (re)started.
    void StartReading() noexcept;
    // Stops the timer when it runs and starts it again with the view's period.
    void RestartTimer() noexcept;

    // Handlers the view classes name in their maps.
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL& handled) noexcept {
        return reader_.OnCyclicTimer(Variables(), handled);
    }
    // OK: stops at the first invalid row (it gets the focus); otherwise commits every modified row and
    // asks to be closed.
    LRESULT OnCommitAndClose(WORD, WORD, HWND, BOOL&) noexcept;
    // Close or Cancel: asks to be closed without committing anything.
    LRESULT OnClose(WORD, WORD, HWND, BOOL&) noexcept;
    // The light orange background of the views' dialogs.
    LRESULT OnDialogColor(UINT message, WPARAM hdc, LPARAM dialog, BOOL& handled) noexcept {
        return OnCtlColorDlg(message, hdc, dialog, handled);
    }
    // Stacks each overlay and its group box below every other control, the group box lowest, and lets the
    // overlay paint only where no control above it stands. Siblings that overlap paint from the top of the
    // z-order down, so without this an overlay (its background filled) would paint over the fields it backs;
    // the group box, painted last, keeps its frame and caption on the overlay's colour. An area enclosing
    // others comes first in `overlays`, so it ends below them.
    static void StackOverlays(HWND dialog, const PageOverlay* overlays, size_t count) noexcept;
    template <size_t N>
    static void StackOverlays(HWND dialog, const PageOverlay (&overlays)[N]) noexcept {
        StackOverlays(dialog, overlays, N);
    }
    // The WM_CTLCOLORSTATIC answer for a control painted on `background` (and in `text` when given): the
    // colours set into the device context and a solid brush of the background, kept until the next one.
    LRESULT PaintArea(WPARAM hdc, COLORREF background, const COLORREF* text = nullptr) noexcept;

private:
    LRESULT OnHelp(UINT, WPARAM, LPARAM, BOOL&) noexcept { return ShowHelp(className_, 0); }

    CQuelkCyclicReader reader_;
    ULONG functionId_;
    const wchar_t*
        className_;  // a literal: the registered user type name, as the translation document names it
};
