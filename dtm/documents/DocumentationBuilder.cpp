#include "dtm/documents/DocumentationBuilder.h"

#include <algorithm>
#include <vector>

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dtm/documents/DocumentationDiagnosis.h"
#include "dtm/documents/DocumentationItems.h"
#include "dtm/documents/DocumentationTemplates.h"
#include "dtm/documents/DocumentationText.h"
#include "dtm/documents/PaRecordBytes.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/DtmState.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/DtmAutomation.h"
#include "dtm/services/QuelkFunctions.h"
#include "values/Bytes.h"
#include "values/HexText.h"
#include "values/VariantConversion.h"

namespace {

constexpr ULONG kDiagnosisParameter = 29;
constexpr ULONG kDiagnosisExtensionParameter = 30;
constexpr ULONG kMeasuredValueParameters[] = {46, 69, 93};
constexpr wchar_t kOnlineProgressTitle[] = L"Print Online Data";
constexpr ULONG kDeviceParameterFlag = 1;

std::wstring SectionStart(const std::wstring& name) {
    return std::wstring(kSectionStart).append(name).append(kSectionStartEnd);
}

// The bytes of a device value; a value that is not a one-dimensional byte array gives none. Memory for the
// copy is the only failure.
HRESULT DeviceBytes(const VARIANT& value, std::vector<BYTE>& bytes) {
    const HRESULT hr = CopyByteArray(value, bytes);
    return hr == E_OUTOFMEMORY ? hr : S_OK;
}

template <size_t N>
void CopyLeading(const std::vector<BYTE>& bytes, BYTE (&target)[N]) noexcept {
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), target);
}

}  // namespace

HRESULT CDocumentationBuilder::Build(LONG functionId, const SYSTEMTIME& date, std::wstring& document,
                                     bool* complete) {
    *complete = false;
    const std::wstring dateText = FormatDocumentDate(date);
    const std::wstring functionName = DocumentationFunctionName(functionId);

    const bool needsDevice =
        functionId == kDocumentOnlineParameterize || functionId == kDocumentMeasuredValues;
    if (needsDevice && host_.Lifecycle().State() != kStateConnected) {
        const std::wstring notConnected =
            std::wstring(kNotConnectedStart).append(functionName).append(kNotConnectedDate).append(dateText);
        document = std::wstring(kDocumentationHeaderStart) + notConnected + kDocumentationHeaderEnd +
                   SectionStart(notConnected) + kSectionEnd + kDocumentationTrailer;
        return S_OK;
    }

    if (!host_.Functions().HasUiFunction(functionId)) return E_FAIL;
    // Held by the builder: the device reads wait while dispatching messages.
    variables_ = ql::ComPtr<IQuelkVariablesEx>(&host_.StorePart());
    fields_ = ql::ComPtr<IQuelkVariableFields>(&host_.StorePart());
    dtmObject_ = ql::ComPtr<IDtmObject>(&host_.Automation());

    std::wstring body(kBodyStart);
    switch (functionId) {
        case kDocumentOfflineParameterize:
        case kDocumentOnlineParameterize:
            QL_RETURN_IF_FAILED(AppendParameterBody(functionId, body));
            break;
        case kDocumentDiagnosis:
            QL_RETURN_IF_FAILED(AppendDiagnosisBody(body));
            break;
        case kDocumentMeasuredValues:
            QL_RETURN_IF_FAILED(AppendMeasuredValuesBody(body));
            break;
        default:
            break;
    }

    const std::wstring functionSection =
        std::wstring(kFunctionSectionName) + functionName + kFunctionSectionDate + dateText;
    document = std::wstring(kDocumentationHeaderStart) + dateText + kDocumentationHeaderEnd +
               SectionStart(functionSection) + kSectionEnd + body + kDocumentationTrailer;
    *complete = true;
    return S_OK;
}

HRESULT CDocumentationBuilder::AppendParameterBody(LONG functionId, std::wstring& body) {
    ql::Variant countValue;
    QL_RETURN_IF_FAILED(fields_->GetCountVariant(countValue.Put()));
    QL_RETURN_IF_FAILED(countValue.ChangeType(VT_UI4));
    const ULONG count = V_UI4(countValue.Get());

    for (ULONG index = 0; index < count; ++index) {
        ql::Variant indexValue, id;
        indexValue.SetUI4(index);
        if (FAILED(fields_->GetVariableAtVariant(*indexValue.Get(), id.Put())) ||
            FAILED(id.ChangeType(VT_UI4)))
            continue;
        ql::Variant value;
        ql::Bstr name;
        VARTYPE type = VT_EMPTY;
        if (FAILED(VariantForms()->GetVariableInfo(*id.Get(), value.Put(), name.Put(), &type, nullptr,
                                                   nullptr, nullptr, nullptr)))
            continue;
        // Read through the parameter's type, as the project and the parameter document read it: a value
        // may be kept as it was given.
        (void)ChangeToStoredType(*value, type, value);
        ULONG deviceFlag = 0;
        if (FAILED(variables_->GetDeviceFlag(V_UI4(id.Get()), &deviceFlag)) ||
            deviceFlag != kDeviceParameterFlag)
            continue;
        if (functionId == kDocumentOnlineParameterize) {
            ReadDevice(V_UI4(id.Get()), value);
            ShowProgress(static_cast<LONG>(index), static_cast<LONG>(count), kOnlineProgressTitle);
        }
        QL_RETURN_IF_FAILED(AppendParameterItem(body, V_UI4(id.Get()), name.View(), *value, fields_.Get()));
    }
    ShowProgress(0, 0, L"");
    return S_OK;
}

HRESULT CDocumentationBuilder::AppendDiagnosisBody(std::wstring& body) {
    body.append(SectionStart(L"Diagnosis"));
    BYTE diagnosis[kDiagnosisBytes] = {};
    BYTE extension[kDiagnosisExtensionBytes] = {};
    {
        ql::Variant value;
        ReadDevice(kDiagnosisParameter, value);
        std::vector<BYTE> bytes;
        QL_RETURN_IF_FAILED(DeviceBytes(*value, bytes));
        CopyLeading(bytes, diagnosis);
    }
    {
        ql::Variant value;
        ReadDevice(kDiagnosisExtensionParameter, value);
        std::vector<BYTE> bytes;
        // The extension is optional: without memory for its bytes the lines show them as zeros.
        (void)DeviceBytes(*value, bytes);
        CopyLeading(bytes, extension);
    }
    AppendDiagnosisLines(diagnosis, extension, body);
    body.append(kSectionEnd);
    return S_OK;
}

HRESULT CDocumentationBuilder::AppendMeasuredValuesBody(std::wstring& body) {
    body.append(SectionStart(L"Measured Values"));
    HRESULT last = S_OK;
    for (ULONG id : kMeasuredValueParameters) {
        ql::Variant idValue, dataset, device;
        idValue.SetUI4(id);
        ql::Bstr name;
        // A name that cannot be read leaves the item unnamed; the value is shown all the same.
        (void)VariantForms()->GetVariableInfo(*idValue.Get(), dataset.Put(), name.Put(), nullptr, nullptr,
                                              nullptr, nullptr, nullptr);
        ReadDevice(id, device);
        // Only the last item's outcome decides; an item that fails is left out.
        last = AppendValueWithStatusItem(body, name.View(), *device);
    }
    QL_RETURN_IF_FAILED(last);
    body.append(kSectionEnd);
    return S_OK;
}

void CDocumentationBuilder::ReadDevice(ULONG id, ql::Variant& value) noexcept {
    value.Reset();
    if (!dtmObject_) return;
    ql::Variant idValue, datasetValue;
    idValue.SetUI4(id);
    // A value the device does not give stays empty; the document shows it so.
    (void)dtmObject_->CompareSingleParameter(*idValue.Get(), value.Put(), datasetValue.Put());
}

void CDocumentationBuilder::ShowProgress(LONG index, LONG count, const wchar_t* title) noexcept {
    if (!dtmObject_) return;
    ql::Bstr text(title);
    (void)dtmObject_->ShowProgressValue(index, count, text.Get());  // progress is a notice
}
