#include "dtm/documents/ParameterDocument.h"

#include <iterator>
#include <string>

#include "QuelkInterfaces.h"
#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "comm/QuelkDpv1Communication.h"
#include "dataset/ParameterValueXml.h"
#include "dataset/QuelkVariableStorePart.h"
#include "dataset/QuelkVariableStore.h"
#include "dataset/VariableFields.h"
#include "dtm/QuelkDtm.h"
#include "dtm/QuelkPersist.h"
#include "dataset/XmlAttributeText.h"
#include "dataset/XmlNodeWriting.h"
#include "values/VariantConversion.h"
#include "values/XmlText.h"

namespace {

constexpr wchar_t kParameterNamespace[] = L"x-schema:DTMParameterSchema.xml";
constexpr ULONG kTagParameterId = 1;
// A fragment the DTM does not have is written as one blank.
constexpr wchar_t kNoFragment[] = L" ";

// The template's pieces around its six texts: storageState, dataSetState, device type, tag, extension, bus.
constexpr wchar_t kPart1[] =
    L"<?xml version=\"1.0\"?> <FDT xmlns\t\t\t\t=\"x-schema:DTMParameterSchema.xml\" \txmlns:fdt\t\t\t"
    L"=\"x-schema:FDTDataTypesSchema.xml\" \tfdt:storageState\t=\"";
constexpr wchar_t kPart2[] = L"\" \tfdt:dataSetState\t=\"";
constexpr wchar_t kPart3[] = L"\"> \t";
constexpr wchar_t kPart4[] = L" \t<DtmDevice fdt:tag=\"";
constexpr wchar_t kPart5[] = L"\"> \t";
constexpr wchar_t kPart6[] = L"\t";
constexpr wchar_t kPart7[] = L"\t</DtmDevice> </FDT> ";

void UseBlankWhenEmpty(ql::Bstr& text) noexcept {
    if (text.IsEmpty()) (void)text.Assign(kNoFragment);  // without memory the fragment stays empty
}

// Method 16 of an aggregating object's IQuelkPersistExtension; this DTM has none, so " ".
HRESULT ExtensionFragment(IUnknown* dtm, ql::Bstr& fragment) noexcept {
    ql::ComPtr<IQuelkPersistExtension> extension;
    if (SUCCEEDED(ql::QueryInterfaceTo(dtm, extension)) && extension)
        QL_RETURN_IF_FAILED(extension->GetParameterFragment(fragment.Put()));
    UseBlankWhenEmpty(fragment);
    return fragment.IsNull() ? E_OUTOFMEMORY : S_OK;
}

// The communication part's BusInformation element.
HRESULT BusFragment(CQuelkDpv1Communication& client, ql::Bstr& fragment) noexcept {
    VARIANT_BOOL done = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(client.GetBusInformation(fragment.Put(), &done));
    UseBlankWhenEmpty(fragment);
    return fragment.IsNull() ? E_OUTOFMEMORY : S_OK;
}

// Parameter 1 escaped for fdt:tag.
HRESULT EscapedTag(IQuelkVariables& variables, std::wstring& tag) noexcept {
    ql::Variant id, value;
    id.SetI4(static_cast<LONG>(kTagParameterId));
    QL_RETURN_IF_FAILED(variables.GetValue(*id.Get(), value.Put()));
    // Read as the text the record is: a value may be kept as it was given (the number 7).
    QL_RETURN_IF_FAILED(ChangeToStoredType(*value, VT_BSTR, value));
    const BSTR text = V_BSTR(value.Get());
    QL_RETURN_IF_FAILED(EscapeAttributeText(std::wstring_view(text ? text : L"", ::SysStringLen(text)), tag));
    return ql::GuardComCall([&]() -> HRESULT {
        if (tag.empty()) tag = kNoFragment;
        return S_OK;
    });
}

HRESULT StateKeywords(DtmHost& host, const wchar_t** storageState, const wchar_t** dataSetState) noexcept {
    *storageState = kStorageStateKeywords[host.Persistence().Modified() ? 1 : 0];
    const ULONG state = host.Store().DataSetState();
    QL_RETURN_HR_IF(E_FAIL, state >= std::size(kDataSetStateKeywords));
    *dataSetState = kDataSetStateKeywords[state];
    return S_OK;
}

// The formatted text did not load (the loader has reported why). A stored project may carry a device type
// text that is well formed but not valid, which the load accepts so that the project opens: the frame still
// gets its document, as the text stands (S_FALSE). A text that is not even well formed (only a fragment of
// an aggregating object, or a device type the DTM never accepted, can make one) reaches no caller (E_FAIL).
HRESULT TextThatDidNotLoad(BSTR text) noexcept {
    ql::ComPtr<IXMLDOMDocument> parsed;
    const HRESULT hr = ParseXmlForm(text, parsed.Put());
    QL_RETURN_IF_FAILED(hr);
    return hr == S_OK ? S_FALSE : E_FAIL;
}

// Loads the formatted text and writes every exported record into ExportedVariables. S_OK with the
// serialisation when at least one record was written, S_FALSE when the text is to be returned as it is
// (TextThatDidNotLoad for a text that does not load).
HRESULT WriteExportedVariables(DtmHost& host, BSTR text, LCID locale, ql::Bstr& serialised) noexcept {
    ql::ComPtr<IXMLDOMDocument2> document;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    QL_RETURN_IF_FAILED(host.Lifecycle().XmlHandler().LoadXMLDocument(text, document.Put(), &loaded,
                                                                      host.Lifecycle().MessageSink()));
    if (loaded != VARIANT_TRUE || !document) return TextThatDidNotLoad(text);

    ql::Bstr devicePath(L"FDT/DtmDevice"), exportedName(L"ExportedVariables"),
        parameterNamespace(kParameterNamespace), groupName(L"fdt:DtmVariables"),
        fdtNamespace(kFdtDataTypesNamespace);
    QL_RETURN_HR_IF(E_OUTOFMEMORY, devicePath.IsNull() || exportedName.IsNull() ||
                                       parameterNamespace.IsNull() || groupName.IsNull() ||
                                       fdtNamespace.IsNull());
    ql::ComPtr<IXMLDOMNode> device;
    QL_RETURN_IF_FAILED(document->selectSingleNode(devicePath.Get(), device.Put()));
    QL_RETURN_HR_IF(E_FAIL, !device);
    ql::ComPtr<IXMLDOMNode> exported, group;
    QL_RETURN_IF_FAILED(AppendChildElement(document.Get(), device.Get(), exportedName.Get(),
                                           parameterNamespace.Get(), exported.Put()));
    QL_RETURN_IF_FAILED(
        AppendChildElement(document.Get(), exported.Get(), groupName.Get(), fdtNamespace.Get(), group.Put()));
    QL_RETURN_IF_FAILED(SetNodeAttributeText(document.Get(), group.Get(), L"name", L"ExportedVariables"));

    const CQuelkVariableList& variables = host.Store().Variables();
    ULONG written = 0;
    for (ULONG i = 0; i < variables.Count(); ++i) {
        CQuelkVariable record;
        if (FAILED(variables.GetVariableAt(static_cast<int>(i), &record))) continue;
        if (record.ExportKind != kExportDisplay && record.ExportKind != kExportVariant) continue;
        // A record that cannot be written is left out; the others still go.
        if (SUCCEEDED(WriteDtmVariables(document.Get(), group.Get(), record, locale))) ++written;
    }
    if (written == 0) return S_FALSE;
    QL_RETURN_IF_FAILED(document->get_xml(serialised.Put()));
    QL_RETURN_HR_IF(E_FAIL, serialised.IsNull());
    return S_OK;
}

}  // namespace

HRESULT BuildParameterDocument(DtmHost& host, BSTR* document, LCID locale) noexcept {
    QL_RETURN_IF_NULL_OUT(document);
    *document = nullptr;
    ql::Bstr extension, bus;
    // An aggregating object may add its fragment: the extension is asked of the controlling unknown.
    QL_RETURN_IF_FAILED(ExtensionFragment(host.ControllingUnknown(), extension));
    QL_RETURN_IF_FAILED(BusFragment(host.Client(), bus));
    std::wstring tag;
    QL_RETURN_IF_FAILED(EscapedTag(host.StorePart(), tag));
    const wchar_t* storageState = nullptr;
    const wchar_t* dataSetState = nullptr;
    QL_RETURN_IF_FAILED(StateKeywords(host, &storageState, &dataSetState));
    const BSTR deviceType = host.Lifecycle().DeviceType().Get();

    ql::Bstr text;
    QL_RETURN_IF_FAILED(ql::GuardComCall([&]() -> HRESULT {
        std::wstring formatted(kPart1);
        formatted.append(storageState).append(kPart2).append(dataSetState).append(kPart3);
        formatted.append(deviceType ? deviceType : L"", ::SysStringLen(deviceType)).append(kPart4);
        formatted.append(tag).append(kPart5).append(extension.View()).append(kPart6).append(bus.View());
        formatted.append(kPart7);
        return text.Assign(formatted);
    }));

    ql::Bstr serialised;
    const HRESULT written = WriteExportedVariables(host, text.Get(), locale, serialised);
    QL_RETURN_IF_FAILED(written);
    *document = written == S_OK ? serialised.Detach() : text.Detach();
    return S_OK;
}
