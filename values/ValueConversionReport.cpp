#include "values/ValueConversionReport.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "QuelkInterfaces.h"
#include "values/AnsiText.h"
#include "values/DisplayText.h"
#include "values/MessageFormat.h"

namespace {

constexpr wchar_t kHeadingFormat[] = L"%ls (%ls)";

HRESULT MakeHeading(const char* name, VARTYPE type, ql::Bstr& heading) noexcept {
    char typeText[kDisplayTextSize];
    VarTypeToString(type, typeText);
    ql::Bstr wideName, wideType, format;
    QL_RETURN_IF_FAILED(AnsiToBstr(name, wideName));
    QL_RETURN_IF_FAILED(AnsiToBstr(typeText, wideType));
    QL_RETURN_IF_FAILED(format.Assign(kHeadingFormat));
    return BstrPrintf(heading.Put(), format.Get(), wideName.CStr(), wideType.CStr());
}

// The display text of `value`, escaped; a text that cannot be made stays empty (the report still goes).
void EscapedDisplayText(const VARIANT& value, XmlDocumentFactory makeDocument, ql::Bstr& escaped) noexcept {
    char display[kDisplayTextSize];
    VariantToDisplayString(&value, display);
    ql::Bstr wide;
    if (FAILED(AnsiToBstr(display, wide))) return;
    (void)EscapeXmlText(wide.CStr(), escaped.Put(), makeDocument);  // as above: empty then
}

void DeliverToActivityLog(IUnknown* controllingUnknown, const char* label, const ql::Bstr& heading,
                          const ql::Bstr& oldText, const ql::Bstr& newText) noexcept {
    if (!controllingUnknown) return;
    // Only an outer object that aggregates the DTM object can answer: no part of the system implements it.
    ql::ComPtr<IQuelkActivityLog> log;
    if (FAILED(ql::QueryInterfaceTo(controllingUnknown, log)) || !log) return;
    ql::Bstr labelText;
    if (label && FAILED(AnsiToBstr(label, labelText))) return;
    (void)log->ReportValueChange(labelText.Get(), heading.Get(), oldText.Get(), newText.Get());
}

}  // namespace

HRESULT ReportValueConversion(IUnknown* controllingUnknown, const char* name, const VARIANT& oldValue,
                              const VARIANT& newValue, const char* label,
                              XmlDocumentFactory makeDocument) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, !name || V_VT(&oldValue) != V_VT(&newValue));
    ql::Bstr heading, oldText, newText;
    QL_RETURN_IF_FAILED(MakeHeading(name, V_VT(&oldValue), heading));
    EscapedDisplayText(oldValue, makeDocument, oldText);
    EscapedDisplayText(newValue, makeDocument, newText);
    DeliverToActivityLog(controllingUnknown, label, heading, oldText, newText);
    return S_OK;
}
