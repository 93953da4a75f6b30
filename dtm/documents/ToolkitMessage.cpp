#include "dtm/documents/ToolkitMessage.h"

#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/SelfHold.h"
#include "dtm/QuelkDtm.h"
#include "dtm/services/QuelkLocalization.h"

HRESULT SendToolkitMessage(DtmHost& host, LONG id) noexcept {
    const ql::ComPtr<IFrameEvents> events(host.Lifecycle().FrameEvents());
    if (!events) return S_OK;
    ql::Bstr text;
    QL_RETURN_IF_FAILED(GetSetParametersErrorText(&host.Localization(), id, text.Put()));
    const ql::SelfHold hold(host.ControllingUnknown());
    // A notice to the frame; its answer does not change what failed.
    (void)events->NotifyErrorMessage(host.Lifecycle().SystemTag().Get(), text.Get());
    return S_OK;
}
