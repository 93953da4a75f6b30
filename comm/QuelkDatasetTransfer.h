#pragma once
// CQuelkDatasetTransfer: the upload of the dataset from the device and its download to the device, one
// parameter at a time through the store part's single transfers (IQuelkVariablesEx::ReadFromDevice and
// WriteToDevice), with progress in the frame, one question to the
// user after the first failure, and a stop request honoured between two parameters. It also reports the
// progress of others (ShowProgressValue, the parameter list import and export).
//
// The run's flags live in the store (stopRequested, transferRunning, lastResultOk and its text); the
// transfer is the only writer of transferRunning. Every ending of a run clears transferRunning and
// stopRequested and hides the progress, so a stop requested for one run never mutes a later one.
//
// Threading: the DTM object's apartment thread only (the online-request worker reaches it through a
// marshalled interface). Each single transfer dispatches messages while it waits, which is when a stop
// request arrives. No locks.
#include <windows.h>
#include <oleauto.h>

#include "comm/CommunicationHost.h"

class CQuelkDatasetTransfer {
public:
    // The parameters the DTM's download writes, in this order (18 before 17); whether one is written
    // depends on its access word at the time of the run.
    static constexpr ULONG kDownloadOrder[] = {18, 19, 17, 28, 33, 34, 35,  36,  39,  40,  41, 42, 43,
                                               44, 45, 47, 48, 49, 62, 63,  64,  65,  70,  71, 72, 73,
                                               74, 75, 76, 77, 78, 79, 80,  81,  83,  86,  87, 88, 89,
                                               94, 95, 96, 97, 98, 99, 100, 101, 102, 103, 104};

    explicit CQuelkDatasetTransfer(ICommunicationHost& host) noexcept : host_(&host) {}
    CQuelkDatasetTransfer(const CQuelkDatasetTransfer&) = delete;
    CQuelkDatasetTransfer& operator=(const CQuelkDatasetTransfer&) = delete;

    // Reads every device parameter readable and part of bulk transfers, in dataset order. S_OK when the run
    // went to its end, `ok` TRUE only when no parameter failed. E_INVALIDARG for a null `ok`, E_FAIL when
    // the DTM is (or goes) offline, E_ABORT on a stop request (also one made during the last parameter)
    // and when the thread is asked to quit, E_INVALIDARG when the dataset shrank below the position, the
    // failed transfer's result when the user chose to stop.
    HRESULT Upload(VARIANT_BOOL* ok) noexcept;
    // Writes the parameters of kDownloadOrder that are device parameters writable to the device and part of
    // bulk transfers (the DTM object's download). Results as for the upload.
    HRESULT Download(VARIANT_BOOL* ok) noexcept;
    // The framework's download: every such parameter in dataset order, each failure reported to the frame.
    HRESULT DownloadInDatasetOrder(VARIANT_BOOL* ok) noexcept;

    // Index 0 hides the frame's progress display; another index shows index * 100 / count percent, unless a
    // stop is requested or `count` is not positive (no percentage exists then). Nothing without the frame's
    // event interface.
    void ReportProgress(LONG index, LONG count, BSTR title) noexcept;

private:
    struct Plan;
    HRESULT Run(const Plan& plan, VARIANT_BOOL* ok) noexcept;
    // Ends a run early: the flags cleared, the progress hidden, `result` returned.
    HRESULT EndEarly(HRESULT result) noexcept;
    void HideProgress() noexcept;
    // The stop question after the first failure; true when the user answered Yes.
    bool UserWantsToStop(const Plan& plan) noexcept;
    // The translated text of message `id`, or `fallback`.
    // "<name>:<cause>" to the frame for a parameter that failed.
    void ReportFailure(ULONG id, HRESULT result, VARIANT_BOOL done) noexcept;

    ICommunicationHost* host_;  // never null
};
