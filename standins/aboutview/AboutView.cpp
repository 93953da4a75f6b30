#include "AboutView.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "MarkupText.h"
#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/ObjectMap.h"
#include "values/TextFileReader.h"

namespace standins {

namespace {

ql::AutoObjectEntry g_entry(ql::MakeObjectEntry(CLSID_QuelkAboutView2,
                                                &ql::UpdateRegistryFromScript<IDR_ABOUT_VIEW>,
                                                &ql::CreateInstance<CAboutView>));

constexpr wchar_t kNoAboutFile[] = L"The DTM names no about file.";
constexpr wchar_t kUnreadableAboutFile[] = L"The about file could not be read: ";

// The table's cells line up at this many dialog units, wider than the about file's longest label.
constexpr int kTabStopDialogUnits = 80;
constexpr UINT_PTR kKeepSelectionSubclass = 1;
// The dialog's margin around the text, in dialog units (AboutView.rc).
constexpr LONG kMarginDialogUnits = 7;

// What the view shows for `dtm`: the text of its about file, or the line saying why there is none. The page
// is written in the system's ANSI code page, as the DTM's other files are.
std::wstring AboutTextOf(IDtm* dtm) {
    ql::ComPtr<IQuelkAboutFile> about;
    ql::Bstr path;
    if (FAILED(ql::QueryInterfaceTo(dtm, about)) || !about || FAILED(about->GetAboutFilePath(path.Put())) ||
        path.IsEmpty())
        return kNoAboutFile;
    ql::Bstr page;
    const HRESULT read = ReadTextFile(path.CStr(), DecodeAnsiText, page);
    if (read == E_OUTOFMEMORY) throw std::bad_alloc();
    if (FAILED(read)) return kUnreadableAboutFile + std::wstring(path.View());
    return PlainTextFromMarkup(page.View());
}

// The dialog manager selects all of an edit's text whenever it hands the edit the focus (the frame's window
// activated, Tab), also when the edit has the focus already and hears of nothing. The text does not tell the
// dialog that it takes such a selection, so the reader keeps the caret where it was: at the start at first.
LRESULT CALLBACK KeepSelectionProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR) {
    if (message == WM_GETDLGCODE) return ::DefSubclassProc(edit, message, wParam, lParam) & ~DLGC_HASSETSEL;
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(edit, KeepSelectionProc, id);
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

CAboutView::CAboutView() : ql::DialogControl(IDD_ABOUT_VIEW, CLSID_QuelkAboutView2) {}

// ---- IDtmActiveXControl ----

HRESULT CAboutView::Init(BSTR, BSTR, IDtm* dtm, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    if (!dtm || initialised_) return S_FALSE;
    return ql::GuardComCall([&]() -> HRESULT {
        text_ = AboutTextOf(dtm);
        dtm_ = ql::ComPtr<IDtm>(dtm);
        initialised_ = true;
        ShowText();
        *ok = VARIANT_TRUE;
        return S_OK;
    });
}

HRESULT CAboutView::PrepareToRelease(VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    dtm_.Reset();
    *ok = VARIANT_TRUE;
    return S_OK;
}

// ---- window ----

void CAboutView::OnWindowCreated() noexcept {
    HWND edit = ::GetDlgItem(WindowHandle(), IDC_ABOUT_TEXT);
    int tabStop = kTabStopDialogUnits;
    ::SendMessageW(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    // Without it the text would start selected: a shortcoming of the view's looks, not of its function.
    (void)::SetWindowSubclass(edit, KeepSelectionProc, kKeepSelectionSubclass, 0);
    ShowText();
}

void CAboutView::ShowText() noexcept {
    HWND edit = ::GetDlgItem(WindowHandle(), IDC_ABOUT_TEXT);
    if (!edit || !initialised_) return;
    ::SetWindowTextW(edit, text_.c_str());
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
}

// The frame sizes the view to its window: the text fills it, within the dialog's margins.
LRESULT CAboutView::OnSize(UINT, WPARAM, LPARAM lParam, BOOL&) {
    RECT margin{kMarginDialogUnits, kMarginDialogUnits, 0, 0};
    ::MapDialogRect(WindowHandle(), &margin);
    const int width = LOWORD(lParam) - 2 * margin.left;
    const int height = HIWORD(lParam) - 2 * margin.top;
    if (width > 0 && height > 0)
        ::MoveWindow(::GetDlgItem(WindowHandle(), IDC_ABOUT_TEXT), margin.left, margin.top, width, height,
                     TRUE);
    return 0;
}

// Wine 8's edit control does not free its tab stops, nor the word-break data of the text it wrapped, when it
// is destroyed: a view opened again and again would leave both behind each time. Taking the stops back and
// emptying the text before the edit goes frees them; on Windows it only does early what the edit would do.
LRESULT CAboutView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    HWND edit = ::GetDlgItem(WindowHandle(), IDC_ABOUT_TEXT);
    ::SendMessageW(edit, EM_SETTABSTOPS, 0, 0);
    ::SetWindowTextW(edit, L"");
    handled = FALSE;  // the dialog's own handling follows
    return 0;
}

}  // namespace standins
