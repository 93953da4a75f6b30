#pragma once
// CQuelkMessageSink: where a formatted report of the system goes. The DTM object's sink hands the text,
// after the DTM's system tag, to the error-text method of the frame's IFrameEvents, and drops it while the
// DTM holds no such interface (before its environment step); a control's sink shows it in its status
// line. Reports are fire-and-forget, so a sink answers nothing.
//
// Called on the thread of the object that reports (its apartment thread).
#include <windows.h>

#include <oleauto.h>

class CQuelkMessageSink {
public:
    virtual ~CQuelkMessageSink() = default;

    // `text` stays the caller's and is freed after the call; the sink copies what it keeps. It is null
    // when the text could not be allocated, which COM receivers read as an empty string.
    virtual void DeliverMessage(BSTR text) noexcept = 0;
};
