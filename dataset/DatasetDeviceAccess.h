#pragma once
// The DP-V1 client as the dataset sees it: the asynchronous read and write of one parameter (answered
// later through the store's OnDeviceResult) and the synchronous ones (which report through
// OnDeviceResult before they return). The DTM object's communication part implements it; tests use a
// recording fake. Called on the DTM object's apartment thread only.
#include <windows.h>
#include <oleauto.h>

// What the synchronous write of one parameter answers (here, and through the store's WriteToDevice) when
// the device or the channel answered it with an error (a DP-V1 error code, fdt:CommunicationError): the
// store has been told, and the calling thread's error object (GetErrorInfo) carries the message the
// answer was turned into. A bulk download counts it as one failed parameter; a page's commit shows it.
constexpr HRESULT kDeviceRefusedResult = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0B60);

// The GUID of the error object a synchronous read or write leaves on the calling thread when no answer came
// in time (E_ABORT). A caller of an operation that does not pass the read's result on (the DTM's
// comparison of one parameter) tells an unanswered read from a refused one by it.
constexpr GUID kNoAnswerErrorGuid = {
    0x5B3E8C21, 0x9D47, 0x4A6E, {0x8F, 0x12, 0x6C, 0x0D, 0x3A, 0x95, 0xE4, 0x71}};

class IDatasetDeviceAccess {
public:
    // Sends a read request for parameter `id`; `sent` tells whether it went out.
    virtual HRESULT ReadParameterAsync(ULONG id, VARIANT_BOOL* sent) noexcept = 0;
    // Sends a write request of `value` for parameter `id`; `sent` tells whether it went out.
    virtual HRESULT WriteParameterAsync(ULONG id, const VARIANT& value, VARIANT_BOOL* sent) noexcept = 0;
    // Reads parameter `id` and waits for the answer; S_FALSE when no request went out (not connected, or
    // the channel declined it).
    virtual HRESULT ReadParameter(ULONG id) noexcept = 0;
    // Writes `value` to parameter `id` and waits for the answer; S_FALSE as for the read;
    // kDeviceRefusedResult when the answer was an error.
    virtual HRESULT WriteParameter(ULONG id, const VARIANT& value) noexcept = 0;

protected:
    ~IDatasetDeviceAccess() = default;
};
