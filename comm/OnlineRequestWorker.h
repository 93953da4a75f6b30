#pragma once
// The worker thread of one online upload or download request of the frame. It owns a share of its job and
// nothing of the DTM object: it reaches the DTM (the store's IQuelkVariablesEx) and the frame (IFrameEvents)
// only through the interfaces marshalled into the job's streams, so the transfer itself runs in the DTM's
// apartment on the user-interface thread while the worker waits for the call to return. It marks the job
// finished once the transfer has answered, tells the frame how it ended (unless the frame itself cancelled
// it), releases the interfaces and ends. Everything of the request that the user-interface thread reads is
// cleaned up there.
#include <windows.h>
#include <objidl.h>

#include <atomic>
#include <memory>

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"

enum class OnlineRequestKind : BYTE { Download = 0, Upload = 1 };

struct OnlineRequestJob {
    OnlineRequestKind kind = OnlineRequestKind::Download;
    // The worker's own copies: the frame's event names the request, the transfer receives the text.
    ql::Bstr invokeId;
    ql::Bstr text;
    // The DTM's controlling IUnknown and the frame's pointer, marshalled for the worker's apartment; the
    // worker takes them out (the streams go with that).
    ql::ComPtr<IStream> dtmStream;
    ql::ComPtr<IStream> frameStream;
    // Holds the module loaded until the worker has left its code.
    HMODULE module = nullptr;
    // Set by the worker when the transfer has answered; read by the user-interface thread.
    std::atomic<bool> finished{false};
    // Set by the user-interface thread when the frame's cancel stopped the transfer: the one ending the
    // frame is not told of (it asked for it). Every other ending, a time-out or the user's answer to the
    // stop question among them, is reported.
    std::atomic<bool> cancelled{false};
};

// Starts the worker for `job` (it takes a share of the job). The thread's handle goes to `thread`; on failure
// nothing was started and the job is untouched, the streams still in it.
HRESULT StartOnlineRequestWorker(const std::shared_ptr<OnlineRequestJob>& job, HANDLE* thread) noexcept;

// Takes the interfaces out of both streams and releases them (a request whose worker never ran).
void ReleaseMarshalledInterfaces(OnlineRequestJob& job) noexcept;
