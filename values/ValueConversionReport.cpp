#include "values/ValueConversionReport.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "values/AnsiText.h"
#include "values/DisplayText.h"
#include "values/MessageFormat.h"

namespace {

// IQuelkActivityLog {A8ECFA50-91E0-11D8-9180-00105AD83182} as far as the DTM object uses it. The interface
// belongs to the toolkit; the DTM object calls only the method in slot 11 of its function table (IUnknown's
// three counted first), so the slots before it are kept as placeholders that are never called.
constexpr IID kActivityLogIid = {
    0xA8ECFA50, 0x91E0, 0x11D8, {0x91, 0x80, 0x00, 0x10, 0x5A, 0xD8, 0x31, 0x82}};

}  // namespace

// Outside the anonymous namespace on purpose: the objects that implement this interface live in other
// modules, and an interface with internal linkage lets the compiler assume that no implementation exists
// and drop the call.
namespace values_internal {
struct ActivityLogSlots : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Slot10() = 0;
    // All four strings stay the caller's.
    virtual HRESULT STDMETHODCALLTYPE ReportValueChange(BSTR label, BSTR heading, BSTR oldText,
                                                        BSTR newText) = 0;
};
}  // namespace values_internal

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
    (void)EscapeXmlText(wide.CStr(), escaped.Put(), makeDocument);
}

void DeliverToActivityLog(IUnknown* controllingUnknown, const char* label, const ql::Bstr& heading,
                          const ql::Bstr& oldText, const ql::Bstr& newText) noexcept {
    if (!controllingUnknown) return;
    ql::ComPtr<values_internal::ActivityLogSlots> log;
    if (FAILED(controllingUnknown->QueryInterface(kActivityLogIid, log.PutVoid())) || !log) return;
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
