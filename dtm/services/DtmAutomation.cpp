#include "dtm/services/DtmAutomation.h"

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"
#include "dataset/VariableFields.h"
#include "dataset/VariantArguments.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dtm/DtmState.h"
#include "dtm/QuelkDtm.h"
#include "comm/OnlineParameterRequests.h"
#include "comm/QuelkDatasetTransfer.h"
#include "dtm/services/QuelkFunctions.h"
#include "values/AnsiText.h"

namespace {

// The service account, compared exactly (case-sensitive).
constexpr char kServiceUserName[] = "kvnd";
constexpr char kServicePassword[] = "ozq";

// The text a parameter holds; false when its value is no text (a missing text never matches).
bool MatchesParameter(IQuelkVariablesEx& store, ULONG id, const char* expected) noexcept {
    ql::Variant value;
    if (FAILED(store.GetValue(id, value.Put())) || value.Type() != VT_BSTR || !value->bstrVal) return false;
    ql::Bstr wanted;
    if (FAILED(AnsiToBstr(std::string_view(expected), wanted))) return false;
    return std::wstring_view(value->bstrVal, ::SysStringLen(value->bstrVal)) == wanted.View();
}

HRESULT SetCompareMark(IQuelkVariableFields* fields, const VARIANT& id, ULONG access) noexcept {
    ql::Variant mask;
    mask.SetI4(static_cast<LONG>(kFieldAccess));
    ql::Variant value;
    value.SetI4(static_cast<LONG>(access));
    return fields->SetVariableField(id, *mask.Get(), *value.Get());
}

}  // namespace

HRESULT CDtmAutomation::ShowTreeActiveX() noexcept {
    CQuelkVariableStorePart& store = host_.StorePart();
    if (!MatchesParameter(store, kParameterUserName, kServiceUserName)) return S_OK;
    if (!MatchesParameter(store, kParameterServicePassword, kServicePassword)) return S_OK;

    // Whether the frame opens it (function 2 is enabled only online) is the frame's business.
    VARIANT_BOOL opened = VARIANT_FALSE;
    (void)host_.Functions().OpenFunctionUi(kFunctionOnlineParameterize, &opened);
    return S_OK;
}

HRESULT CDtmAutomation::ShowProgressValue(LONG index, LONG count, BSTR title) noexcept {
    host_.Transfer().ReportProgress(index, count, title);
    return S_OK;
}

HRESULT CDtmAutomation::CompareSingleParameter(VARIANT parameterId, VARIANT* deviceValue,
                                               VARIANT* dtmValue) noexcept {
    QL_RETURN_HR_IF(E_POINTER, deviceValue == nullptr || dtmValue == nullptr);
    // Held: the device read below waits while dispatching messages.
    const ql::ComPtr<IUnknown> keepAlive(host_.ControllingUnknown());
    CQuelkVariableStorePart& part = host_.StorePart();
    IQuelkVariableFields* fields = &part;
    IQuelkVariablesEx* store = &part;

    ql::Variant mask;
    mask.SetI4(static_cast<LONG>(kFieldAccess));
    ql::Variant access;
    ULONG accessWord = 0;
    const bool haveAccess = SUCCEEDED(fields->GetVariableField(parameterId, *mask.Get(), access.Put())) &&
                            SUCCEEDED(VariantToUInt32(*access.Get(), &accessWord));
    ULONG id = 0;
    if (haveAccess && SUCCEEDED(VariantToUInt32(parameterId, &id))) {
        // Under the compare mark the device's answer goes to the compare value, not into the record.
        if (SUCCEEDED(SetCompareMark(fields, parameterId, accessWord | kAccessCompareMark))) {
            VARIANT_BOOL read = VARIANT_FALSE;
            // A read that fails leaves the compare value empty, and the caller sees it so.
            (void)store->ReadFromDevice(id, &read);
        }
        // Taken back on the same record that took the mark.
        (void)SetCompareMark(fields, parameterId, accessWord & ~static_cast<ULONG>(kAccessCompareMark));
    }

    // Both values are [out] parameters: overwritten, never cleared (they may be uninitialised). The compare
    // value moves out, so a later failed read shows empty.
    ::VariantInit(dtmValue);
    ql::Variant compared;
    compared.Attach(*host_.Store().CompareValue().Get());
    (void)compared.Detach(deviceValue);

    IQuelkVariables* values = store;  // the same interface pointer answers the VARIANT forms
    // The method answers S_OK with whatever values it has: a value that cannot be read stays VT_EMPTY.
    (void)values->GetValue(parameterId, dtmValue);
    return S_OK;
}

HRESULT CDtmAutomation::SetActiveXFunctionID(LONG functionId) noexcept {
    activeFunctionId_ = functionId;
    return S_OK;
}

HRESULT CDtmAutomation::GetActiveFunctionID(LONG* functionId) noexcept {
    QL_RETURN_IF_NULL_OUT(functionId);
    *functionId = activeFunctionId_;
    return S_OK;
}

HRESULT CDtmAutomation::GetUserLevel(LONG* userLevel) noexcept {
    QL_RETURN_IF_NULL_OUT(userLevel);
    *userLevel = static_cast<LONG>(host_.Lifecycle().UserLevel());
    return S_OK;
}

HRESULT CDtmAutomation::CheckIfUpDownloadRunning(LONG* running) noexcept {
    QL_RETURN_IF_NULL_OUT(running);
    *running = host_.OnlineRequests().IsRequestRunning() ? 1 : 0;
    return S_OK;
}
