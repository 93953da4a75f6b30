#pragma once
// The DP-V1 client as the dataset sees it: the asynchronous read and write of one parameter (answered
// later through the store's OnDeviceResult) and the synchronous ones (which report through
// OnDeviceResult before they return). The DTM object's communication part implements it; tests use a
// recording fake. Called on the DTM object's apartment thread only.
#include <windows.h>
#include <oleauto.h>

class IDatasetDeviceAccess {
public:
    // Sends a read request for parameter `id`; `sent` tells whether it went out.
    virtual HRESULT ReadParameterAsync(ULONG id, VARIANT_BOOL* sent) noexcept = 0;
    // Sends a write request of `value` for parameter `id`; `sent` tells whether it went out.
    virtual HRESULT WriteParameterAsync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) noexcept = 0;
    // Reads parameter `id` and waits for the answer; S_FALSE when no request went out (not connected, or
    // the channel declined it).
    virtual HRESULT ReadParameter(ULONG id) noexcept = 0;
    // Writes `value` to parameter `id` and waits for the answer; S_FALSE as for the read.
    virtual HRESULT WriteParameter(ULONG id, const VARIANT& value) noexcept = 0;

protected:
    ~IDatasetDeviceAccess() = default;
};
