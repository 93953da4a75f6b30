#include "BenchDtm.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "dataset/ParameterTable.h"
#include "xml/SchemaLists.h"

CBenchDtm::CBenchDtm() noexcept {
    CQuelkVariableStorePart::Store().AttachHost(this);
    CQuelkVariableStorePart::Store().AttachDeviceAccess(this);
    CQuelkDpv1Communication::AttachHost(this);
    transfer_.AttachHost(this);
}

HRESULT CBenchDtm::FinalConstruct() noexcept {
    return DefineDeviceParameters(&CQuelkVariableStorePart::Store().Variables(), nullptr, nullptr);
}

HRESULT CBenchDtm::Attach(IFrameEvents* events, const wchar_t* schemaFolder) noexcept {
    events_ = ql::ComPtr<IFrameEvents>(events);
    return xml_.InitializeSchemaCache(schemaFolder, DtmSchemaList, this);
}

HRESULT CBenchDtm::UploadParameters(BSTR, VARIANT_BOOL* ok) noexcept { return transfer_.Upload(ok); }

HRESULT CBenchDtm::GetState(ULONG* current) noexcept {
    QL_RETURN_HR_IF(E_INVALIDARG, current == nullptr);
    *current = state;
    return S_OK;
}

HRESULT CBenchDtm::SetState(ULONG next) noexcept {
    state = next;
    return S_OK;
}

HRESULT CBenchDtm::BroadcastNotification(ULONG, const VARIANT&) noexcept {
    ++notifications;
    return S_OK;
}

HRESULT CBenchDtm::LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded) noexcept {
    return xml_.LoadXMLDocument(xml, document, loaded, this);
}

HRESULT CBenchDtm::GetSystemTag(BSTR* tag) noexcept {
    QL_RETURN_IF_NULL_OUT(tag);
    return ql::Bstr(L"Bench/Flowmeter").CopyTo(tag);
}
