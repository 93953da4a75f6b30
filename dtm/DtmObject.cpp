#include "dtm/DtmObject.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/ParameterTable.h"

CDtmObject::CDtmObject() noexcept
    : CDtmAutomation(servicesHost_),
      CQuelkPersist(static_cast<CQuelkDtm&>(*this), Store()),
      CDtmInformation(servicesHost_),
      CQuelkFunctions(servicesHost_),
      CQuelkLocalization(servicesHost_),
      CDtmParameterPart(documentsHost_),
      CDtmDataSetCheckPart(documentsHost_),
      CDtmImportExportPart(documentsHost_),
      CDtmDocumentationPart(documentsHost_),
      datasetHost_(*this, *this),
      communicationHost_(*this, Store()),
      communicationClient_(*this, *this) {
    Store().AttachHost(&datasetHost_);
    Store().AttachDeviceAccess(this);
    CQuelkDpv1Communication::AttachHost(&communicationHost_);
    COnlineParameterRequests::AttachHost(&communicationHost_);
    transfer_.AttachHost(&communicationHost_);
    AttachCommunication(&communicationClient_);
    AttachFunctions(&FunctionsSeam());
    AttachLocalization(&LocalizationSeam());
}

HRESULT CDtmObject::FinalConstruct() noexcept {
    // The constructor copies the user-interface functions; a DTM without them would offer no function.
    QL_RETURN_HR_IF(E_OUTOFMEMORY, !FunctionTable().HasTable());
    return InitParameters();
}

IUnknown* CDtmObject::GetControllingUnknown() noexcept {
    return ql::ComObjectBase<CDtmObject>::GetControllingUnknown();
}

HRESULT CDtmObject::InitParameters() noexcept { return InitParameterSet(); }

HRESULT CDtmObject::InitParameterSet() noexcept {
    SetLanguageWord(kLanguageSystemDefault);
    ql::Variant language;
    language.SetI4(static_cast<LONG>(kLanguageSystemDefault));
    QL_RETURN_IF_FAILED(NotifyUis(kNotifyLanguage, *language.Get()));

    QL_RETURN_IF_FAILED(DefineDeviceParameters(&Store().Variables(), nullptr, MessageSink()));
    Store().SetDataSetState(0);  // the parameter document's "default"
    QL_RETURN_IF_FAILED(SetState(kStateCreated));

    // The built-in texts stay when the translations cannot be loaded.
    (void)Localization().Initialize();
    return S_OK;
}

void CDtmObject::ApplyState(ULONG previous, ULONG state) noexcept {
    // Online parameterization is offered only while online; diagnosis, measured value and trend, once
    // online, stay offered.
    DtmFunctionsSeam& functions = Functions();
    if (state == kStateConnected) {
        (void)functions.SetFunctionEnabled(kFunctionOnlineParameterize, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionWithoutRow, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionMeasuredValue, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionTrend, TRUE);
        (void)functions.SetFunctionEnabled(kFunctionDiagnosis, TRUE);
    } else if (state == kStateConfigured || previous == kStateConnected) {
        (void)functions.SetFunctionEnabled(kFunctionOnlineParameterize, FALSE);
        (void)functions.SetFunctionEnabled(kFunctionWithoutRow, FALSE);
    }
}

HRESULT CDtmObject::LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept {
    return LoadValuesPart(stream, ok);
}

HRESULT CDtmObject::SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept {
    return SaveValuesPart(stream, ok);
}

HRESULT CDtmObject::UploadParameters(BSTR, VARIANT_BOOL* ok) noexcept { return transfer_.Upload(ok); }

HRESULT CDtmObject::DownloadParameters(BSTR, VARIANT_BOOL* ok) noexcept { return transfer_.Download(ok); }

// ---- IDtm: the device's configuration and function requests ----

HRESULT CDtmObject::Config(BSTR userInformation, VARIANT_BOOL* result) noexcept {
    return userSettings_.Config(userInformation, result);
}

HRESULT CDtmObject::GetFunctions(BSTR operationPhase, BSTR* functions) noexcept {
    return functionCalls_.GetFunctions(operationPhase, functions);
}

HRESULT CDtmObject::InvokeFunctionRequest(BSTR invokeId, BSTR functionCall, VARIANT_BOOL* result) noexcept {
    return functionCalls_.InvokeFunctionRequest(invokeId, functionCall, result);
}

HRESULT CDtmObject::PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) noexcept {
    return functionCalls_.PrivateDialogEnabled(enabled, result);
}

HRESULT CDtmObject::SetUserLevel(const VARIANT& keyword) noexcept {
    return userSettings_.SetUserLevel(keyword);
}

HRESULT CDtmObject::ApplyLanguage(LCID language, VARIANT_BOOL* accepted) noexcept {
    return userSettings_.SetLanguage(language, accepted);
}
