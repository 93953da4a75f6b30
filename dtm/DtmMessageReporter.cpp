#include "dtm/DtmMessageReporter.h"

#include "FdtInterfaces.h"
#include "dtm/QuelkDtm.h"

void CDtmMessageReporter::DeliverMessage(BSTR text) noexcept {
    IFrameEvents* events = dtm_.FrameEvents();
    if (!events) return;
    // Reports are fire-and-forget: the frame's answer changes nothing.
    (void)events->NotifyErrorMessage(dtm_.SystemTag().Get(), text);
}
