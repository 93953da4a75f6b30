#pragma once
// CDtmCommunicationClient: the communication parts of the DTM object as its lifecycle sees them
// (DtmCommunicationSeam): the channel hand-over, going online and offline and abandoning an unanswered
// connection go to the DP-V1 client, the question whether a transfer owns the channel to the online
// requests.
//
// A member of the DTM object, not the object itself: the seam's SetChannel, GoOnline and GoOffline have
// the default calling convention and would clash with the client's stdcall methods of the same names.
// Used on the DTM object's apartment thread only; owns nothing.
#include "dtm/DtmCommunicationSeam.h"

class CQuelkDpv1Communication;
class COnlineParameterRequests;

class CDtmCommunicationClient final : public DtmCommunicationSeam {
public:
    CDtmCommunicationClient(CQuelkDpv1Communication& client, COnlineParameterRequests& requests) noexcept
        : client_(client), requests_(requests) {}
    CDtmCommunicationClient(const CDtmCommunicationClient&) = delete;
    CDtmCommunicationClient& operator=(const CDtmCommunicationClient&) = delete;

    bool HasClient() noexcept override { return true; }
    HRESULT SetChannel(IUnknown* channel) noexcept override;
    HRESULT GoOnline(VARIANT_BOOL* result) noexcept override;
    HRESULT GoOffline(VARIANT_BOOL* result) noexcept override;
    HRESULT AbandonConnection() noexcept override;
    bool IsRequestRunning() noexcept override;

private:
    CQuelkDpv1Communication& client_;
    COnlineParameterRequests& requests_;
};
