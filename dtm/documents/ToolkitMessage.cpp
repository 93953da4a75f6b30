#include "dtm/documents/ToolkitMessage.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"

HRESULT SendToolkitMessage(DtmDocumentsHost& host, LONG id) noexcept {
    IFrameEvents* events = host.FrameEvents();
    if (!events) return S_OK;
    ql::Bstr text;
    QL_RETURN_IF_FAILED(GetSetParametersErrorText(host.ControllingUnknown(), id, text.Put()));
    (void)events->NotifyErrorMessage(host.SystemTag(), text.Get());
    return S_OK;
}
