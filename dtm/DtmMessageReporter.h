#pragma once
// CDtmMessageReporter: the DTM object's message sink. A report of the DTM (ReportDtmMessage, and every
// report of the XML handler it owns) goes to the error-text event of the frame's IFrameEvents, after the
// DTM's system tag; before the environment step gave the DTM the frame, it is dropped.
//
// Owned by CQuelkDtm and used on its apartment thread only.
#include <windows.h>

#include "values/QuelkMessageSink.h"

class CQuelkDtm;

class CDtmMessageReporter final : public CQuelkMessageSink {
public:
    explicit CDtmMessageReporter(CQuelkDtm& dtm) noexcept : dtm_(dtm) {}
    CDtmMessageReporter(const CDtmMessageReporter&) = delete;
    CDtmMessageReporter& operator=(const CDtmMessageReporter&) = delete;

    void DeliverMessage(BSTR text) noexcept override;

private:
    CQuelkDtm& dtm_;
};
