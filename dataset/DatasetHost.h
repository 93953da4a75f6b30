#pragma once
// What the dataset asks of the DTM object it lives in: its lifecycle state, the broadcasts to the open
// user interfaces (the functions service), the dataset-modified mark and the values part of the image (the
// persistence part), and the bulk upload and download (the communication part). The DTM object's host
// (dtm/DtmHost.h) implements it; tests record the calls. Called on the DTM object's apartment thread only.
#include <windows.h>
#include <objidl.h>
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
    // The store's values part out of and into a stream (IQuelkVariables::SaveValues and LoadValues).
    virtual HRESULT SaveValues(IStream* stream, VARIANT_BOOL* ok) noexcept = 0;
    virtual HRESULT LoadValues(IStream* stream, VARIANT_BOOL* ok) noexcept = 0;
    // Every device parameter read from or written to the device (IQuelkVariables::UploadParameters and
    // DownloadParameters).
    virtual HRESULT UploadParameters(VARIANT_BOOL* ok) noexcept = 0;
    virtual HRESULT DownloadParameters(VARIANT_BOOL* ok) noexcept = 0;

protected:
    ~IDatasetHost() = default;
};
