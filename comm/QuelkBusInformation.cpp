// The BusInformation fragment of the DTM's parameter document: written from the dataset's station address
// (parameter 3) and bus configuration (parameter 4), and the station address taken back from the frame's
// document (after the value check).
#include "comm/QuelkDpv1Communication.h"

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dataset/QuelkVariableStore.h"
#include "values/DtmVocabulary.h"
#include "values/HexText.h"
#include "values/MessageFormat.h"
#include "values/QuelkVariant.h"
#include "values/VariantConversion.h"
#include "xml/XmlNodeReads.h"

namespace {

constexpr wchar_t kBusInformationFormat[] =
    L"<BusInformation> <MasterSlaveBus busAddress=\"%u\" busMasterConfigurationPart=\"%ls\" /> "
    L"</BusInformation>";
constexpr wchar_t kBusAddressPath[] = L"FDT/DtmDevice/BusInformation/MasterSlaveBus/@busAddress";

// The configuration bytes as hexadecimal text, read as the byte string the record is (a value may be kept
// as it was given); anything that gives no one-dimensional byte array whose data can be reached gives an
// empty text.
HRESULT ConfigurationText(const VARIANT& configuration, ql::Bstr& text) noexcept {
    ql::Variant bytes;
    if (FAILED(ChangeToStoredType(configuration, kByteArrayType, bytes)) ||
        FAILED(BytesToHexBstr(bytes.Get(), text.Put(), FALSE))) {
        return text.Assign(std::wstring_view());
    }
    return S_OK;
}

}  // namespace

HRESULT CQuelkDpv1Communication::GetBusInformation(BSTR* busInformation, VARIANT_BOOL* done) noexcept {
    QL_RETURN_IF_NULL_OUT(done);
    *done = VARIANT_FALSE;
    QL_RETURN_IF_NULL_OUT(busInformation);
    const ql::ComPtr<IQuelkVariables> store = HeldStore();

    ql::Variant stationAddress;
    QL_RETURN_IF_FAILED(store->GetValue(CQuelkVariant(kParameterStationAddress), stationAddress.Put()));
    QL_RETURN_IF_FAILED(stationAddress.ChangeType(VT_UI1));
    ql::Variant configuration;
    QL_RETURN_IF_FAILED(store->GetValue(CQuelkVariant(kParameterBusConfiguration), configuration.Put()));
    ql::Bstr configurationText;
    QL_RETURN_IF_FAILED(ConfigurationText(*configuration, configurationText));

    ql::Bstr format(kBusInformationFormat);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, format.IsNull());
    ql::Bstr text;
    QL_RETURN_IF_FAILED(BstrPrintf(text.Put(), format.Get(),
                                   static_cast<unsigned>(V_UI1(stationAddress.Get())),
                                   configurationText.CStr()));
    *busInformation = text.Detach();
    *done = VARIANT_TRUE;
    return S_OK;
}

HRESULT CQuelkDpv1Communication::ApplyBusInformation(IUnknown* parameterDocument,
                                                     VARIANT_BOOL* done) noexcept {
    QL_RETURN_IF_NULL_OUT(done);
    *done = VARIANT_FALSE;
    QL_RETURN_IF_NULL_OUT(parameterDocument);
    ql::ComPtr<IXMLDOMDocument2> document;
    if (FAILED(parameterDocument->QueryInterface(IID_IXMLDOMDocument2, document.PutVoid())) || !document) {
        return E_POINTER;
    }
    const ql::ComPtr<IQuelkVariables> store = HeldStore();

    ql::Bstr path(kBusAddressPath);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, path.IsNull());
    QL_RETURN_HR_IF(E_FAIL, !XmlNodeExists(document.Get(), path.Get()));
    ql::Variant busAddress;
    QL_RETURN_IF_FAILED(XmlGetNodeValue(document.Get(), path.Get(), busAddress.Put(), VT_UI1));
    // The frame's document carries what a user set: the address passes the value check as a value typed on
    // a page does, and one the check refuses (outside the station address's range) is not stored.
    ULONG flags = 0;
    if (FAILED(host_->Store().CheckValue(kParameterStationAddress, *busAddress, &flags)) ||
        (flags & kAccessRejected)) {
        ReportDtmMessage(host_->MessageSink(), "The bus address %u was refused by the value check",
                         static_cast<unsigned>(V_UI1(busAddress.Get())));
        return S_FALSE;
    }
    QL_RETURN_IF_FAILED(store->SetValue(CQuelkVariant(kParameterStationAddress), *busAddress));
    *done = VARIANT_TRUE;
    return S_OK;
}
