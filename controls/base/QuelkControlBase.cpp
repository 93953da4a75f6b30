// The control base's life and its private interfaces: construction and release, the IQuelkControl
// defaults with the notification handling, the page form of IQuelkControlInfo, IQuelkControlSite and the
// status reports.
#include "controls/base/QuelkControlBase.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "classlib/Bstr.h"
#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "dataset/VariantArguments.h"
#include "values/AnsiText.h"
#include "xml/SchemaLists.h"

namespace {

constexpr size_t kReportChars = 512;
constexpr size_t kReportLongChars = 4096;

}  // namespace

HRESULT FetchIdValuePair(const VARIANT& data, ql::Variant& id, ql::Variant& value) noexcept {
    QL_RETURN_HR_IF(E_UNEXPECTED, V_VT(&data) != (VT_ARRAY | VT_VARIANT) || !V_ARRAY(&data));
    // Elements are taken by one index, each by the checked copy, which refuses any array but a vector of
    // VARIANTs of its own (from another a copy would take the caller's strings, and clearing it free them)
    // and any element it cannot copy: either makes it another payload.
    const auto element = [&](LONG index, ql::Variant& out) {
        const HRESULT hr = ql::CopyVectorElement(*V_ARRAY(&data), index, out);
        return hr == E_INVALIDARG ? E_UNEXPECTED : hr;
    };
    QL_RETURN_IF_FAILED(element(0, id));
    return element(1, value);
}

CQuelkControlBase::CQuelkControlBase(const ParameterMap& map) noexcept {
    if (SUCCEEDED(map.CopyRows(m_rows))) m_rowCount = static_cast<UINT>(m_rows.size() - 1);
    if (m_rows.empty()) m_rows.emplace_back();  // out of memory: an empty map, so every row loop ends at once
    m_brush.Attach(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    // The base's own filling: a derived class's table is not ready while the base is being built.
    (void)m_stateTable.FillDefault();
}

CQuelkControlBase::~CQuelkControlBase() {
    m_container.Reset();
    m_variables.Reset();
}

// --- IQuelkControl ---

HRESULT CQuelkControlBase::SetDtmState(ULONG state) noexcept {
    m_dtmState = state;
    return S_OK;
}

HRESULT CQuelkControlBase::ShowStatusText(BSTR) noexcept { return E_NOTIMPL; }

HRESULT CQuelkControlBase::ShowMessageVariant(VARIANT id, BSTR text, VARIANT extra) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(id, &number));
    return ShowMessage(number, text, extra);
}

HRESULT CQuelkControlBase::NotifyVariant(VARIANT code, VARIANT data) noexcept {
    ULONG number = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(code, &number));
    return OnNotify(number, data);
}

HRESULT CQuelkControlBase::Init(IUnknown* dtm, VARIANT_BOOL* ok) noexcept {
    QL_RETURN_IF_NULL_OUT(ok);
    *ok = VARIANT_FALSE;
    QL_RETURN_IF_NULL_OUT(dtm);
    m_variables.Reset();
    QL_RETURN_IF_FAILED(dtm->QueryInterface(IID_IQuelkVariables, m_variables.PutVoid()));
    QL_RETURN_HR_IF(E_FAIL, !m_variables);
    (void)InitChildControls();  // a refusing child does not stop the page
    QL_RETURN_IF_FAILED(LoadAllRows());
    ql::Variant language;
    language.SetI4(static_cast<LONG>(m_lcid));
    // The rows are loaded: a language that cannot be applied leaves the texts as the resources give them.
    (void)OnNotify(kNotifyLanguage, *language);
    *ok = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkControlBase::ReleaseDtm(VARIANT_BOOL* done) noexcept {
    QL_RETURN_IF_NULL_OUT(done);
    *done = VARIANT_FALSE;
    m_variables.Reset();
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkControlBase::ShowMessage(ULONG, BSTR text, VARIANT) noexcept {
    std::string ansi;
    if (text && FAILED(WideToAnsi(std::wstring_view(text, ::SysStringLen(text)), ansi))) ansi.clear();
    // Shown literally: the message may hold '%' characters.
    (void)Report(text ? "%s" : nullptr, ansi.c_str());
    return S_OK;
}

HRESULT CQuelkControlBase::OnNotify(ULONG code, VARIANT data) noexcept {
    switch (code) {
        case kNotifyLanguage:
            return HandleLanguage(data);
        case kNotifyValueChanged:
            return HandleValueChanged(data);
        case kNotifySchemaFolder:
            return HandleSchemaFolder(data);
        case kNotifyDataLock:
            return HandleDataLock(data);
        default:
            return S_FALSE;
    }
}

HRESULT CQuelkControlBase::HandleLanguage(const VARIANT& data) noexcept {
    ql::Variant language;
    QL_RETURN_IF_FAILED(language.CopyFrom(data));
    if (language.Type() != VT_I4) QL_RETURN_IF_FAILED(language.ChangeType(VT_I4));
    m_lcid = static_cast<LCID>(V_I4(language.Get()));
    ql::ComPtr<IQuelkParameterTexts> texts;
    if (owner_ && SUCCEEDED(owner_->QueryInterface(IID_IQuelkParameterTexts, texts.PutVoid())) && texts) {
        // The control takes the language in any case; parameter texts the DTM cannot translate stay as they
        // were.
        (void)texts->TranslateParameters(m_lcid);
    }
    return S_OK;
}

HRESULT CQuelkControlBase::HandleValueChanged(const VARIANT& data) noexcept {
    if (m_ignoreChanges) return S_OK;
    ql::Variant id, value;
    QL_RETURN_IF_FAILED(FetchIdValuePair(data, id, value));
    // The new value itself is not used: RefreshControl reads the current one from the DTM.
    const ULONG number = V_UI4(id.Get());
    if (number != kEndRowId && FindParamRow(number) >= 0) QL_RETURN_IF_FAILED(RefreshControl(number));
    return S_OK;
}

HRESULT CQuelkControlBase::HandleSchemaFolder(const VARIANT& data) noexcept {
    const BSTR folder = V_VT(&data) == VT_BSTR ? V_BSTR(&data) : nullptr;
    const HRESULT hr = m_xml.InitializeSchemaCache(folder, BuiltInSchemaList, &sink_);
    if (FAILED(hr)) {
        ReportLong("InitializeSchemaCache returned 0x%X, maybe there is a problem with MSXML.",
                   static_cast<unsigned int>(hr));
    }
    return hr;
}

HRESULT CQuelkControlBase::HandleDataLock(const VARIANT& data) noexcept {
    // Only the 16-bit value 1 unlocks; VARIANT_TRUE (0xFFFF) locks like every other value.
    (void)LockAllControls(V_UI2(&data) == 1 ? FALSE : TRUE);
    return S_FALSE;
}

HRESULT UnpackIdValue(const VARIANT& data, ULONG* id, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(id);
    QL_RETURN_IF_NULL_OUT(value);
    ql::Variant first, second;
    QL_RETURN_IF_FAILED(FetchIdValuePair(data, first, second));
    QL_RETURN_HR_IF(E_FAIL, first.Type() != VT_UI4);
    *id = V_UI4(first.Get());
    MoveToOut(value, second);
    return S_OK;
}

// --- IQuelkControlInfo, page form ---

HRESULT CQuelkControlBase::GetInfo(VARIANT what, VARIANT* value) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    ULONG item = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(what, &item));
    if (item == kInfoFunctionCall) {
        ql::Variant none;
        none.AttachBstr(nullptr);  // pages are opened without a function call
        QL_RETURN_IF_FAILED(none.CopyTo(value));
        return S_FALSE;
    }
    if (item != kInfoParameterIds) return S_FALSE;
    ql::SafeArray ids;
    QL_RETURN_HR_IF(E_FAIL, FAILED(ids.Create(VT_UI4, m_rowCount)));
    if (m_rowCount > 0) {
        ql::SafeArrayData<ULONG> data(ids.Get());
        QL_RETURN_IF_FAILED(data.Status());
        for (UINT row = 0; row < m_rowCount; ++row) data[row] = m_rows[row].id;
    }
    ql::Variant result;
    result.AttachArray(VT_UI4, ids.Detach());
    MoveToOut(value, result);
    return S_OK;
}

HRESULT CQuelkControlBase::SetInfo(VARIANT what, VARIANT) noexcept {
    ULONG item = 0;
    QL_RETURN_IF_FAILED(VariantToUInt32(what, &item));
    return S_FALSE;
}

HRESULT CQuelkControlBase::InitSchemaCacheFromFrame(IUnknown* frame) noexcept {
    return m_xml.InitSchemaCacheFromFrame(frame, m_container, &sink_);
}

// --- IQuelkControlSite ---

HRESULT CQuelkControlBase::OnChildNotify(ULONG controlId, ULONG code, VARIANT data) noexcept {
    constexpr ULONG kChildValueChanged = 3;
    QL_RETURN_HR_IF(E_FAIL, code != kChildValueChanged);
    QL_RETURN_HR_IF(E_UNEXPECTED, V_VT(&data) != VT_UI4);
    for (UINT row = 0; row < m_rowCount; ++row) {
        if (m_rows[row].controlId == controlId && m_rows[row].id == V_UI4(&data)) {
            VARIANT_BOOL valid = VARIANT_FALSE;
            // Validation marks the row; its answer matters only to a commit, which validates again.
            (void)ValidateParameter(m_rows[row].id, &valid);
            return S_OK;
        }
    }
    return E_FAIL;
}

// --- reports ---

void CQuelkControlBase::ReportV(size_t limit, const char* format, va_list args) noexcept {
    ql::Bstr text(L"");
    if (format) {
        try {
            std::string buffer(limit, '\0');
            const int written = std::vsnprintf(buffer.data(), limit, format, args);
            buffer.resize(written < 0 ? 0 : std::min(static_cast<size_t>(written), limit - 1));
            if (FAILED(AnsiToBstr(buffer, text))) text.Reset();
        } catch (...) {
            text.Reset();  // a report that cannot be made reaches the status line empty
        }
    }
    // The status line is a notice: a text that cannot be shown leaves the last one.
    (void)ShowStatusText(text.Get());
}

int CQuelkControlBase::Report(const char* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    ReportV(kReportChars, format, args);
    va_end(args);
    return 0;
}

void CQuelkControlBase::ReportLong(const char* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    ReportV(kReportLongChars, format, args);
    va_end(args);
}

// --- lookups ---

int CQuelkControlBase::FindParamRow(ULONG id) const noexcept { return ::FindParamRow(m_rows.data(), id); }

HRESULT CQuelkControlBase::IsParameterValid(ULONG id, BYTE* valid) const noexcept {
    const int row = FindParamRow(id);
    QL_RETURN_HR_IF(E_INVALIDARG, row < 0);
    QL_RETURN_IF_NULL_OUT(valid);
    *valid = (m_rows[row].state & kRowInvalid) ? 0 : 1;
    return S_OK;
}

HRESULT CQuelkControlBase::QueryLocalization(REFIID iid, void** out) noexcept {
    QL_RETURN_HR_IF(E_NOINTERFACE, !m_variables);
    return m_variables->QueryInterface(iid, out);
}

HWND CQuelkControlBase::RowItem(UINT row) const noexcept {
    if (!dialog_ || row >= m_rowCount || m_rows[row].controlId == 0) return nullptr;
    return ::GetDlgItem(dialog_, static_cast<int>(m_rows[row].controlId));
}

HWND CQuelkControlBase::RowWindow(UINT row) const noexcept {
    if (row >= m_rowCount) return nullptr;
    return m_rows[row].controlWindow ? m_rows[row].controlWindow : RowItem(row);
}
