#include "dtm/DtmMessageReporter.h"

#include "FdtInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/SelfHold.h"
#include "dtm/QuelkDtm.h"

void CDtmMessageReporter::DeliverMessage(BSTR text) noexcept {
    const ql::ComPtr<IFrameEvents> events(dtm_.FrameEvents());
    if (!events) return;
    const ql::SelfHold hold(dtm_.GetControllingUnknown());
    // Reports are fire-and-forget: the frame's answer changes nothing.
    (void)events->NotifyErrorMessage(dtm_.SystemTag().Get(), text);
}
