#include "dtm/documents/FrameParameterListHost.h"

#include "classlib/Bstr.h"
#include "comm/QuelkDatasetTransfer.h"
#include "dtm/QuelkDtm.h"

HRESULT CFrameParameterListHost::LoadParameterList(BSTR text, IXMLDOMDocument2** document,
                                                   VARIANT_BOOL* loaded) noexcept {
    return host_.Lifecycle().XmlHandler().LoadXMLDocument(text, document, loaded,
                                                          host_.Lifecycle().MessageSink());
}

void CFrameParameterListHost::ReportProgress(ULONG index, ULONG count, const wchar_t* title) noexcept {
    ql::Bstr titleText(title ? title : L"");
    host_.Transfer().ReportProgress(static_cast<LONG>(index), static_cast<LONG>(count), titleText.Get());
}
