// Texts of a control from the translation document of the DTM it is attached to: dialog item texts,
// bitmaps and tooltips, parameter descriptions as tooltips, page titles and help texts. A control reaches
// the translation service by asking itself (answered by its DTM); without a DTM every lookup fails softly
// and the built-in texts stay.
#include <memory>
#include <string>

#include "classlib/Bstr.h"
#include "classlib/ComModule.h"
#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "controls/base/QuelkControlBase.h"
#include "dataset/VariableFields.h"
#include "dtm/services/DtmFilesFolder.h"
#include "dtm/services/FormatBstr.h"
#include "values/AnsiText.h"

namespace {

constexpr wchar_t kClassXPath[] = L"localization/ActiveXList/ActiveX[@classname=\"%ls\"]%ls";
constexpr wchar_t kByResourceId[] = L"/Control[@resId = \"%d\"]";
constexpr wchar_t kByName[] = L"/Control[@name = \"%ls\"]";
constexpr int kClassNameChars = 10;
constexpr int kStringChars = 256;

struct CoTaskMemDeleter {
    void operator()(wchar_t* text) const noexcept { ::CoTaskMemFree(text); }
};

bool IsBitmapStatic(HWND item) noexcept {
    wchar_t name[kClassNameChars] = {};
    ::GetClassNameW(item, name, kClassNameChars);
    return ::lstrcmpiW(name, L"Static") == 0 &&
           (::GetWindowLongW(item, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

}  // namespace

HRESULT CQuelkControlBase::ReadUserTypeName(REFCLSID clsid, std::wstring& name) noexcept {
    wchar_t* raw = nullptr;
    QL_RETURN_IF_FAILED(::OleRegGetUserType(clsid, USERCLASSTYPE_FULL, &raw));
    std::unique_ptr<wchar_t, CoTaskMemDeleter> owned(raw);
    QL_RETURN_HR_IF(E_FAIL, !owned);
    try {
        name = owned.get();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CQuelkControlBase::ClassXPath(const wchar_t* className, const wchar_t* suffix,
                                      ql::Bstr& xpath) const noexcept {
    return FormatBstr(xpath, kClassXPath, className, suffix);
}

HRESULT CQuelkControlBase::LookupText(IQuelkLocalization* texts, BSTR xpath, ql::Bstr& text,
                                      bool& found) const noexcept {
    VARIANT_BOOL hit = VARIANT_FALSE;
    const HRESULT hr = texts->GetLocaleText(xpath, text.Put(), &hit);
    found = SUCCEEDED(hr) && hit != VARIANT_FALSE;
    return hr;
}

HRESULT CQuelkControlBase::SetTooltip(UINT controlId, const char* text) noexcept {
    const HWND item = dialog_ ? ::GetDlgItem(dialog_, static_cast<int>(controlId)) : nullptr;
    // A tooltip is help only: one that cannot be set leaves the item without it.
    (void)tooltips_.Set(item, text);
    return S_OK;
}

HWND CQuelkControlBase::TooltipOf(UINT controlId) const noexcept {
    return dialog_ ? tooltips_.TooltipOf(::GetDlgItem(dialog_, static_cast<int>(controlId))) : nullptr;
}

HRESULT CQuelkControlBase::ApplyControlTexts(UINT resourceId, BSTR controlXPath) noexcept {
    ql::ComPtr<IQuelkLocalization> texts;
    if (FAILED(QueryLocalization(IID_IQuelkLocalization, texts.PutVoid())) || !texts) return S_OK;
    std::wstring folder;
    QL_RETURN_IF_FAILED(GetDtmFilesFolder(folder));
    const HWND item = dialog_ ? ::GetDlgItem(dialog_, static_cast<int>(resourceId)) : nullptr;
    ql::Bstr xpath, text;
    bool found = false;
    QL_RETURN_IF_FAILED(FormatBstr(xpath, L"%ls/Text", controlXPath));
    // A text the translation does not give (or cannot be asked for) leaves `found` false: the resource's own
    // text stays.
    (void)LookupText(texts.Get(), xpath.Get(), text, found);
    if (found && item && IsBitmapStatic(item)) {
        const std::wstring path = folder + std::wstring(text.View());
        ql::Bitmap bitmap(
            static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        QL_RETURN_HR_IF(E_FAIL, !bitmap);
        ::SendMessageW(item, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
        bitmaps_[resourceId] = std::move(bitmap);  // the item shows it until the next one replaces it
    } else if (found) {
        std::string ansi;
        QL_RETURN_IF_FAILED(WideToAnsi(text.View(), ansi));
        if (dialog_) ::SetDlgItemTextA(dialog_, static_cast<int>(resourceId), ansi.c_str());
    }
    QL_RETURN_IF_FAILED(FormatBstr(xpath, L"%ls/Tooltip", controlXPath));
    // A text the translation does not give (or cannot be asked for) leaves `found` false: the resource's own
    // text stays.
    (void)LookupText(texts.Get(), xpath.Get(), text, found);
    if (found) {
        std::string ansi;
        QL_RETURN_IF_FAILED(WideToAnsi(text.View(), ansi));
        // SetTooltip always answers S_OK.
        (void)SetTooltip(resourceId, ansi.c_str());
    }
    return S_OK;
}

HRESULT CQuelkControlBase::TranslateRowDescriptions() noexcept {
    ql::ComPtr<IQuelkVariableFields> fields;
    if (FAILED(QueryDtm(fields)) || !fields) return S_OK;
    for (UINT row = 0; row < m_rowCount; ++row) {
        ql::Variant description;
        if (SUCCEEDED(fields->GetVariableField(*UlongArgument(m_rows[row].id),
                                               *UlongArgument(kFieldDescription), description.Get())) &&
            description.Type() == VT_BSTR && m_rows[row].controlId != 0) {
            std::string ansi;
            const BSTR wide = V_BSTR(description.Get());
            if (SUCCEEDED(WideToAnsi(std::wstring_view(wide ? wide : L""), ansi))) {
                // SetTooltip always answers S_OK.
                (void)SetTooltip(m_rows[row].controlId, ansi.c_str());
            }
        }
        // A list that cannot be refilled keeps its entries in the previous language.
        (void)RefillEnumControl(row);
    }
    return S_OK;
}

HRESULT CQuelkControlBase::TranslateControlTexts(const wchar_t* className,
                                                 const ControlTextEntry* table) noexcept {
    ql::ComPtr<IQuelkLocalization> texts;
    if (FAILED(QueryLocalization(IID_IQuelkLocalization, texts.PutVoid())) || !texts) return S_OK;
    // Descriptions are tooltips: the control's texts below are translated whether or not they could be.
    (void)TranslateRowDescriptions();
    QL_RETURN_HR_IF(E_INVALIDARG, !className);
    HRESULT result = S_OK;
    for (const ControlTextEntry* entry = table; entry && entry->resourceId != 0; ++entry) {
        ql::Bstr byId, byName, name, suffix;
        QL_RETURN_IF_FAILED(FormatBstr(suffix, kByResourceId, static_cast<int>(entry->resourceId)));
        QL_RETURN_IF_FAILED(ClassXPath(className, suffix.CStr(), byId));
        VARIANT_BOOL exists = VARIANT_FALSE;
        result = texts->NodeExists(byId.Get(), &exists);
        if (SUCCEEDED(result) && exists) {
            result = ApplyControlTexts(entry->resourceId, byId.Get());
            continue;
        }
        QL_RETURN_IF_FAILED(AnsiToBstr(entry->symbolicName ? entry->symbolicName : "", name));
        QL_RETURN_IF_FAILED(FormatBstr(suffix, kByName, name.CStr()));
        QL_RETURN_IF_FAILED(ClassXPath(className, suffix.CStr(), byName));
        result = texts->NodeExists(byName.Get(), &exists);
        if (SUCCEEDED(result) && exists) result = ApplyControlTexts(entry->resourceId, byName.Get());
    }
    return result;
}

HRESULT CQuelkControlBase::GetTitle(const wchar_t* className, PROPPAGEINFO* info) noexcept {
    ql::ComPtr<IQuelkLocalization> texts;
    if (FAILED(QueryDtm(texts)) || !texts || !info) return S_OK;
    QL_RETURN_HR_IF(E_INVALIDARG, !className);
    const struct {
        const wchar_t* suffix;
        LPOLESTR* field;
    } items[] = {{L"/Title", &info->pszTitle}, {L"/HelpFile", &info->pszHelpFile}};
    for (const auto& item : items) {
        ql::Bstr xpath, text;
        bool found = false;
        QL_RETURN_IF_FAILED(ClassXPath(className, item.suffix, xpath));
        // A text the translation does not give (or cannot be asked for) leaves `found` false: the resource's
        // own text stays.
        (void)LookupText(texts.Get(), xpath.Get(), text, found);
        if (!found) continue;
        const size_t bytes = (text.Length() + 1) * sizeof(wchar_t);
        auto* copy = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
        QL_RETURN_HR_IF(E_OUTOFMEMORY, !copy);
        ::memcpy(copy, text.CStr(), bytes);
        ::CoTaskMemFree(*item.field);  // the page site frees what the structure holds
        *item.field = copy;
    }
    return S_OK;
}

HRESULT CQuelkControlBase::GetHelpText(const wchar_t* className, UINT helpStringId,
                                       std::string& text) noexcept {
    try {
        char loaded[kStringChars] = {};
        if (helpStringId != 0) {
            ::LoadStringA(ql::ComModule::Instance().ResourceInstance(), helpStringId, loaded, kStringChars);
        }
        text = loaded;
        ql::ComPtr<IQuelkLocalization> texts;
        if (FAILED(QueryDtm(texts)) || !texts || !className) return S_OK;
        ql::Bstr xpath, translated;
        bool found = false;
        QL_RETURN_IF_FAILED(ClassXPath(className, L"/HelpFile", xpath));
        // As above: without a translated help file the string table's text stays.
        (void)LookupText(texts.Get(), xpath.Get(), translated, found);
        if (found) QL_RETURN_IF_FAILED(WideToAnsi(translated.View(), text));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

LRESULT CQuelkControlBase::ShowHelp(const wchar_t* className, UINT helpStringId) noexcept {
    std::string text;
    if (SUCCEEDED(GetHelpText(className, helpStringId, text))) {
        // Help is shown as far as the frame can; there is no one to tell when it cannot.
        (void)SendUserMessage(text.c_str(), "Varnok Profibus DP Help", 0);
    }
    return 1;
}

ULONG CQuelkControlBase::SendUserMessage(const char* text, const char* caption, ULONG flags) noexcept {
    ql::ComPtr<IQuelkFunctions> functions;
    if (FAILED(QueryDtm(functions)) || !functions) return 0;
    ql::Bstr wideText, wideCaption;
    if (FAILED(AnsiToBstr(text ? text : "", wideText)) ||
        FAILED(AnsiToBstr(caption ? caption : "", wideCaption))) {
        return 0;
    }
    ULONG answer = 0;
    if (FAILED(functions->ShowMessageVariant(wideText.Get(), wideCaption.Get(), *UlongArgument(flags),
                                             &answer))) {
        return 0;
    }
    return answer;
}
