#include "dtm/documents/DtmDocumentationPart.h"

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "dtm/QuelkDtm.h"
#include "dtm/documents/DocumentConditions.h"
#include "dtm/documents/DocumentationBuilder.h"
#include "dtm/documents/DocumentationDump.h"
#include "dtm/documents/DocumentationTemplates.h"
#include "xml/XmlNodeReads.h"

namespace {

constexpr wchar_t kFunctionIdPath[] = L"FDT/FDTFunctionCall/@func:functionId";

}  // namespace

CDtmDocumentationPart::CDtmDocumentationPart(ql::PartOwner& owner, DtmHost& host) noexcept
    : ql::MemberPart(owner), host_(host) {
    // Without memory for the path the dump path stays empty, and no dump is written.
    (void)ql::GuardComCall([&]() -> HRESULT {
        dumpPath_ = kDocumentationDumpPath;
        return S_OK;
    });
}

HRESULT CDtmDocumentationPart::GetDocumentation(BSTR functionCall, BSTR* documentation) noexcept {
    QL_RETURN_IF_NULL_OUT(documentation);
    *documentation = nullptr;
    if (!IsConfiguredState(host_.Lifecycle().State()) || !IsAboveObserver(host_.Lifecycle().UserLevel()))
        return S_FALSE;
    if (!host_.Lifecycle().XmlHandler().SchemaCollection()) return S_FALSE;

    ql::ComPtr<IXMLDOMDocument2> call;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT load = host_.Lifecycle().XmlHandler().LoadXMLDocument(functionCall, call.Put(), &loaded,
                                                                        host_.Lifecycle().MessageSink());
    if (FAILED(load) || loaded != VARIANT_TRUE || !call) return S_FALSE;

    ql::Bstr path(kFunctionIdPath);
    ql::Variant functionId;
    if (path.IsNull() || FAILED(XmlGetNodeValue(call.Get(), path.Get(), functionId.Put(), VT_I4)))
        return S_FALSE;

    ql::Bstr document;
    if (FAILED(BuildDocumentation(V_I4(functionId.Get()), document.Put()))) return S_FALSE;
    *documentation = document.Detach();
    return S_OK;
}

HRESULT CDtmDocumentationPart::BuildDocumentation(LONG functionId, BSTR* documentation) noexcept {
    QL_RETURN_IF_NULL_OUT(documentation);
    *documentation = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        SYSTEMTIME today;
        ::GetSystemTime(&today);  // documents carry the UTC date
        std::wstring document;
        bool complete = false;
        CDocumentationBuilder builder(host_);
        QL_RETURN_IF_FAILED(builder.Build(functionId, today, document, &complete));
        ql::Bstr result;
        QL_RETURN_IF_FAILED(result.Assign(document));
        // The dump is best effort: a missing folder changes nothing for the frame.
        if (complete) (void)DumpXmlToFile(dumpPath_.c_str(), document);
        *documentation = result.Detach();
        return S_OK;
    });
}
