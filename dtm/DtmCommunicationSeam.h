#pragma once
// DtmCommunicationSeam: what the lifecycle needs of the DP-V1 client part (the channel hand-over and the
// way online and offline). The DTM object's communication part implements it; until one is attached the
// DTM has no client: SetCommunication answers S_FALSE and nothing goes online.
//
// The client changes the lifecycle state itself (10 on a connect request, 12 or 9 on its answer, ...)
// through IQuelkDtm::SetState. Called on the DTM object's apartment thread only; not owned by the DTM.
#include <windows.h>
#include <oleauto.h>

class DtmCommunicationSeam {
public:
    virtual ~DtmCommunicationSeam() = default;

    // Whether the DTM has a DP-V1 client at all (the object answers IQuelkDpv1Client).
    virtual bool HasClient() noexcept { return false; }
    // Keeps the frame's channel (its IUnknown) for the client, or drops it with null.
    virtual HRESULT SetChannel(IUnknown* /*channel*/) noexcept { return S_OK; }
    // Accepted in state 9: state 10 and the connect request (state 9 again when it cannot be sent).
    virtual HRESULT GoOnline(VARIANT_BOOL* result) noexcept { return NotAvailable(result); }
    // Accepted in state 12: state 11, the disconnect request and the wait for its answer. `result` is
    // VARIANT_TRUE exactly when the DTM is offline afterwards.
    virtual HRESULT GoOffline(VARIANT_BOOL* result) noexcept { return NotAvailable(result); }
    // In state 10 or 11 (a connect or disconnect not answered): the pending requests are dropped and the
    // DTM returns to state 9. S_FALSE when there is nothing to abandon (the state is left as it is).
    virtual HRESULT AbandonConnection() noexcept { return S_FALSE; }
    // Whether an online upload or download request of the frame runs; it owns the channel meanwhile.
    virtual bool IsRequestRunning() noexcept { return false; }

private:
    static HRESULT NotAvailable(VARIANT_BOOL* result) noexcept {
        if (!result) return E_POINTER;
        *result = VARIANT_FALSE;
        return E_NOINTERFACE;
    }
};
