#pragma once
// CDocumentationBuilder: the documentation document of one function of the DTM, assembled as text:
//
//   header (fdt:date = DATE) <DocumentVariables fdt:name="Function: NAME - Date: DATE"> </DocumentVariables>
//   " " BODY trailer
//
// The body depends on the function: 1 and 2 every device parameter with its value (2 reads each from the
// device), 4 the diagnosis bits read from the device, 5 the three measured values read from the device
// with their PA status; any other function leaves it empty. Functions 2 and 5 while the DTM is not online
// give the short not-connected document instead, reading nothing.
//
// The builder reads the dataset through the store part's IQuelkVariables, IQuelkVariablesEx and
// IQuelkVariableFields and the device through the automation part's IDtmObject::CompareSingleParameter
// (whose outcome is not looked at: a value that was not read documents as empty); progress of function 2
// goes through IDtmObject::ShowProgressValue. One builder per call, holding the object while it builds;
// apartment thread.
#include <windows.h>

#include <string>

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "dtm/DtmHost.h"

class CDocumentationBuilder {
public:
    explicit CDocumentationBuilder(DtmHost& host) noexcept : host_(host) {}
    CDocumentationBuilder(const CDocumentationBuilder&) = delete;
    CDocumentationBuilder& operator=(const CDocumentationBuilder&) = delete;

    // S_OK with the document of `functionId` dated `date` (UTC); `complete` tells a complete document
    // (dumped to the file by the caller) from the not-connected one. E_FAIL for a function without a row in
    // the UI-function table; the failure of a step that ends the
    // call (DocumentationItems.h; the record count; the diagnosis bytes).
    HRESULT Build(LONG functionId, const SYSTEMTIME& date, std::wstring& document, bool* complete);

private:
    HRESULT AppendParameterBody(LONG functionId, std::wstring& body);
    HRESULT AppendDiagnosisBody(std::wstring& body);
    HRESULT AppendMeasuredValuesBody(std::wstring& body);
    // The device's value of one parameter; empty when it was not read.
    void ReadDevice(ULONG id, ql::Variant& value) noexcept;
    void ShowProgress(LONG index, LONG count, const wchar_t* title) noexcept;
    // The VARIANT forms of the store's interface (hidden in C++ by the u32 forms of the same names).
    IQuelkVariables* VariantForms() const noexcept { return variables_.Get(); }

    DtmHost& host_;
    ql::ComPtr<IQuelkVariablesEx> variables_;
    ql::ComPtr<IQuelkVariableFields> fields_;
    ql::ComPtr<IDtmObject> dtmObject_;
};
