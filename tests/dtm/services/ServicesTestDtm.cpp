#include "ServicesTestDtm.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"

namespace svctest {

HRESULT CTestDevice::ReadParameter(ULONG id) noexcept {
    ql::Variant read;
    read.SetR4(0.0f);
    return store_.OnDeviceResult(VARIANT_TRUE, id, *read.Get(), nullptr);
}

CServicesTestDtm::CServicesTestDtm() noexcept
    : CDtmAutomation(host_), CDtmInformation(host_), CQuelkFunctions(host_), CQuelkLocalization(host_) {
    AttachFunctions(&FunctionsSeam());
    AttachLocalization(&LocalizationSeam());
    Store().AttachHost(&datasetHost_);
    Store().AttachDeviceAccess(&device_);
}

IUnknown* CServicesTestDtm::GetControllingUnknown() noexcept {
    return ql::ComObjectBase<CServicesTestDtm>::GetControllingUnknown();
}

HRESULT CServicesTestDtm::InitParameters() noexcept {
    // As the device's object builds its parameter set: language, table, state 1, translations.
    SetLanguageWord(kLanguageSystemDefault);
    ql::Variant language;
    language.SetI4(static_cast<LONG>(kLanguageSystemDefault));
    QL_RETURN_IF_FAILED(NotifyUis(kNotifyLanguage, *language.Get()));
    (void)DefineDeviceParameters(&Store().Variables(), nullptr, MessageSink());
    Store().SetDataSetState(0);
    QL_RETURN_IF_FAILED(SetState(kStateCreated));
    (void)Localization().Initialize();
    return S_OK;
}

HRESULT CServicesTestDtm::Config(BSTR userInformation, VARIANT_BOOL* result) noexcept {
    return settings_.Config(userInformation, result);
}

HRESULT CServicesTestDtm::GetFunctions(BSTR operationPhase, BSTR* functions) noexcept {
    return calls_.GetFunctions(operationPhase, functions);
}

HRESULT CServicesTestDtm::InvokeFunctionRequest(BSTR invokeId, BSTR functionCall,
                                                VARIANT_BOOL* result) noexcept {
    return calls_.InvokeFunctionRequest(invokeId, functionCall, result);
}

HRESULT CServicesTestDtm::PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) noexcept {
    return calls_.PrivateDialogEnabled(enabled, result);
}

HRESULT CServicesTestDtm::SetUserLevel(const VARIANT& keyword) noexcept {
    return settings_.SetUserLevel(keyword);
}

HRESULT CServicesTestDtm::ApplyLanguage(LCID language, VARIANT_BOOL* accepted) noexcept {
    return settings_.SetLanguage(language, accepted);
}

}  // namespace svctest
