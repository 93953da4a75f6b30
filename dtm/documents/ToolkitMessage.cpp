#include "dtm/documents/ToolkitMessage.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"

HRESULT SendToolkitMessage(DtmDocumentsHost& host, LONG id) noexcept {
    const ql::ComPtr<IFrameEvents> events(host.FrameEvents());
    if (!events) return S_OK;
    ql::Bstr text;
    QL_RETURN_IF_FAILED(GetSetParametersErrorText(host.ControllingUnknown(), id, text.Put()));
    const ql::SelfHold hold(host.ControllingUnknown());
    // A notice to the frame; its answer does not change what failed.
    (void)events->NotifyErrorMessage(host.SystemTag(), text.Get());
    return S_OK;
}
