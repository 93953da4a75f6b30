#pragma once
// CDataSetLock: the frame's data-set lock held for the open user interfaces. The first user interface of a
// locking function asks the frame for the lock (unless the DTM's data or the frame's lock is already held);
// every such user interface counts as one holder, and the last holder to close asks the frame to unlock.
//
// The count follows the holders exactly: a user interface is counted at most once and counted down only
// when it was counted, so the count never goes below zero and returns to zero when the last one closes.
//
// Used on the DTM object's apartment thread only. Not owned: the host.
#include <windows.h>

#include "dtm/DtmHost.h"

class CDataSetLock {
public:
    explicit CDataSetLock(DtmHost& host) noexcept : host_(host) {}
    CDataSetLock(const CDataSetLock&) = delete;
    CDataSetLock& operator=(const CDataSetLock&) = delete;

    // One more holder. S_OK when counted (the frame's lock flag then says whether the frame granted the
    // lock); S_FALSE when the lock step ended without counting because the system tag or the frame's lock
    // call failed, or there is no frame to ask.
    HRESULT Take() noexcept;
    // One holder less; the last asks the frame to unlock when the frame holds the lock. A refusal is
    // reported (toolkit message 2004) and the lock counts as released all the same; a failed unlock call
    // keeps the frame's lock flag, so the next last holder asks again.
    void Release() noexcept;
    ULONG HolderCount() const noexcept { return holders_; }

private:
    void ReportRefusedRelease() noexcept;

    DtmHost& host_;
    ULONG holders_ = 0;
};
