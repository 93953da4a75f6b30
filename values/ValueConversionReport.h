#pragma once
// ReportValueConversion: the DTM object's report of a parameter whose value changes, for the toolkit's
// activity log. The parameter's name and type make the heading ("Flow (VT_R4)"); the old and the new value
// go as escaped display texts. The report reaches IQuelkActivityLog only when the DTM object's controlling
// unknown answers it, that is when an outer object aggregates the DTM object; otherwise it is prepared and
// dropped. Fire-and-forget: the receiver's answer is not looked at.
//
// Runs on the thread that called into the DTM object.
#include <windows.h>

#include <oleauto.h>

#include "values/XmlText.h"

// S_OK when the report was prepared, whether or not anybody received it. E_INVALIDARG, with nothing
// reported, for a null name or for values of different VARTYPEs; the failure of formatting the heading.
// The values are only read. A null label reaches the log as a null BSTR.
HRESULT ReportValueConversion(IUnknown* controllingUnknown, const char* name, const VARIANT& oldValue,
                              const VARIANT& newValue, const char* label,
                              XmlDocumentFactory makeDocument = CreateXmlDomDocument) noexcept;
