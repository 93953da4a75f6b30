#pragma once
// DtmCommunicationSeam: the DP-V1 client (CQuelkDpv1Communication) as the DTM's lifecycle (dtm/QuelkDtm.h)
// sees it: the channel hand-over and the way online and offline. The client implements it with the very
// methods of IQuelkDpv1Client and IQuelkOnlineState it shares (hence their COM calling convention); the
// lifecycle tests stand a double in its place (CQuelkDtm::AttachCommunication), one that may also play a DTM
// without a client.
//
// The client changes the lifecycle state itself (10 on a connect request, 12 or 9 on its answer, ...)
// through IQuelkDtm::SetState. Called on the DTM object's apartment thread only; not owned by the lifecycle.
#include <windows.h>
#include <oleauto.h>

class DtmCommunicationSeam {
public:
    // Whether the DTM has a DP-V1 client at all; without one SetCommunication refuses every channel.
    virtual bool HasClient() noexcept = 0;
    // Keeps the frame's channel (its IUnknown) for the client, or drops it with null.
    virtual HRESULT STDMETHODCALLTYPE SetChannel(IUnknown* channel) noexcept = 0;
    // Accepted in state 9: state 10 and the connect request (state 9 again when it cannot be sent).
    virtual HRESULT STDMETHODCALLTYPE GoOnline(VARIANT_BOOL* result) noexcept = 0;
    // Accepted in state 12: state 11, the disconnect request and the wait for its answer. `result` is
    // VARIANT_TRUE exactly when the DTM is offline afterwards.
    virtual HRESULT STDMETHODCALLTYPE GoOffline(VARIANT_BOOL* result) noexcept = 0;
    // In state 10 or 11 (a connect or disconnect not answered): the pending requests are dropped and the
    // DTM returns to state 9. S_FALSE when there is nothing to abandon (the state is left as it is).
    virtual HRESULT AbandonConnection() noexcept = 0;

protected:
    ~DtmCommunicationSeam() = default;
};
