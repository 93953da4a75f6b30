#pragma once
// What the dataset asks of the DTM object it lives in: its lifecycle state, the broadcasts to the open
// user interfaces (the functions service) and the dataset-modified mark (the persistence part). The DTM
// object implements it; tests record the calls. Called on the DTM object's apartment thread only.
#include <windows.h>
#include <oleauto.h>

class IDatasetHost {
public:
    // The DTM lifecycle state (12 is online).
    virtual HRESULT GetState(ULONG* state) noexcept = 0;
    // Sends a notification (code, data) to every open user interface. A DTM without a functions service
    // sends nothing and answers S_OK.
    virtual HRESULT BroadcastNotification(ULONG code, const VARIANT& data) noexcept = 0;
    // Shows a message (id, text, argument) in every open user interface; same rule without a service.
    virtual HRESULT BroadcastMessage(ULONG id, BSTR text, const VARIANT& argument) noexcept = 0;
    // Marks the dataset modified (or not) and tells the frame.
    virtual HRESULT SetModified(bool modified) noexcept = 0;

protected:
    ~IDatasetHost() = default;
};
