// The lines of a row's combo box or list box: one line per entry of the row's enumeration list, showing the
// entry's text (translated when the DTM's translation document has one for the current language) and
// carrying the entry's code as item data, so that reading a selection back never depends on the text or on
// where a sorting control put the line.
#include <string>
#include <vector>

#include "classlib/Bstr.h"
#include "controls/base/QuelkControlBase.h"
#include "controls/enum/EnumListMessages.h"
#include "dtm/services/FormatBstr.h"
#include "values/AnsiText.h"
#include "values/EnumEntries.h"

namespace {

constexpr wchar_t kEntryXPath[] =
    L"localization/DTM/EnumerationList/Enumeration[@id=\"%u\"]/EnumerationEntry[@id=\"%d\"]";

// The codes of the selected lines: every selected line of a multiple-selection list box, else the one
// current line (none when nothing is selected).
HRESULT ReadSelectedCodes(HWND item, const EnumListMessages& messages, std::vector<LONG>& codes) noexcept {
    try {
        codes.clear();
        if (IsMultipleSelection(item)) {
            const LRESULT count = ::SendMessageA(item, LB_GETCOUNT, 0, 0);
            for (LRESULT line = 0; line < count; ++line) {
                if (::SendMessageA(item, LB_GETSEL, static_cast<WPARAM>(line), 0) > 0) {
                    codes.push_back(static_cast<LONG>(::SendMessageA(item, LB_GETITEMDATA, line, 0)));
                }
            }
            return S_OK;
        }
        const LRESULT line = ::SendMessageA(item, messages.getCurSel, 0, 0);
        if (line != messages.error) {
            codes.push_back(static_cast<LONG>(::SendMessageA(item, messages.getItemData, line, 0)));
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

bool Contains(const std::vector<LONG>& codes, LONG code) noexcept {
    for (LONG candidate : codes) {
        if (candidate == code) return true;
    }
    return false;
}

// Selects again the lines of `codes` after a refill, by code: the translated lines may stand in another
// order (a sorting control re-sorts them), so a line's old index may now hold another entry.
void SelectCodes(HWND item, const EnumListMessages& messages, const std::vector<LONG>& codes) noexcept {
    const LRESULT count = ::SendMessageA(item, messages.getCount, 0, 0);
    if (IsMultipleSelection(item)) {
        for (LRESULT line = 0; line < count; ++line) {
            const LONG code = static_cast<LONG>(::SendMessageA(item, LB_GETITEMDATA, line, 0));
            if (Contains(codes, code)) ::SendMessageA(item, LB_SETSEL, TRUE, line);
        }
        return;
    }
    LRESULT selected = -1;
    for (LRESULT line = 0; line < count && selected < 0 && !codes.empty(); ++line) {
        if (static_cast<LONG>(::SendMessageA(item, messages.getItemData, line, 0)) == codes.front()) {
            selected = line;
        }
    }
    ::SendMessageA(item, messages.setCurSel, static_cast<WPARAM>(selected), 0);
}

}  // namespace

int CQuelkControlBase::GetDlgItemKind(UINT controlId) noexcept {
    const HWND dialog = DialogWindow();
    return dialog ? GetControlKind(::GetDlgItem(dialog, static_cast<int>(controlId))) : 0;
}

HRESULT CQuelkControlBase::FillEnumControl(UINT row) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    const ParameterMapEntry& entry = m_rows[row];
    const VARIANT& list = *entry.enumeration;
    // A row without entries keeps whatever its control shows.
    if (V_VT(&list) == VT_EMPTY) return S_OK;
    QL_RETURN_HR_IF(E_UNEXPECTED, V_VT(&list) != kEnumEntryArrayType);
    const EnumListMessages* messages = EnumListMessagesFor(GetDlgItemKind(entry.controlId));
    if (!messages) return S_OK;
    ULONG count = 0;
    if (FAILED(GetEnumListCount(list, &count))) return S_OK;

    const HWND item = ::GetDlgItem(DialogWindow(), static_cast<int>(entry.controlId));
    ::SendMessageA(item, messages->resetContent, 0, 0);
    ql::ComPtr<IQuelkLocalization> texts;
    (void)QueryDtm(texts);  // no DTM or no translations: the built-in texts show
    for (ULONG index = 0; index < count; ++index) {
        long code = 0;
        ql::Bstr text;
        // A malformed entry ends the fill; the lines before it stay.
        QL_RETURN_IF_FAILED(GetEnumListEntry(list, index, &code, text.Put()));
        if (texts) {
            ql::Bstr xpath, translated;
            bool found = false;
            if (SUCCEEDED(FormatBstr(xpath, kEntryXPath, static_cast<unsigned int>(entry.id),
                                     static_cast<int>(code))) &&
                SUCCEEDED(LookupText(texts.Get(), xpath.Get(), translated, found)) && found) {
                text = std::move(translated);
            }
        }
        std::string ansi;
        QL_RETURN_IF_FAILED(WideToAnsi(text.View(), ansi));
        const LRESULT line =
            ::SendMessageA(item, messages->addString, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
        // A line the control refuses is skipped; the item data goes to the index the control chose.
        if (line != messages->error)
            ::SendMessageA(item, messages->setItemData, static_cast<WPARAM>(line), code);
    }
    return S_OK;
}

HRESULT CQuelkControlBase::RefillEnumControl(UINT row) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, row >= m_rowCount);
    const UINT controlId = m_rows[row].controlId;
    const EnumListMessages* messages = EnumListMessagesFor(GetDlgItemKind(controlId));
    if (!messages) return S_OK;
    const HWND item = ::GetDlgItem(DialogWindow(), static_cast<int>(controlId));
    std::vector<LONG> selected;
    QL_RETURN_IF_FAILED(ReadSelectedCodes(item, *messages, selected));
    (void)FillEnumControl(row);  // a list that cannot be read again keeps what it could show
    SelectCodes(item, *messages, selected);
    return S_OK;
}
