#include "dtm/DtmCommunicationClient.h"

#include "comm/OnlineParameterRequests.h"
#include "comm/QuelkDpv1Communication.h"

HRESULT CDtmCommunicationClient::SetChannel(IUnknown* channel) noexcept {
    return client_.SetChannel(channel);
}

HRESULT CDtmCommunicationClient::GoOnline(VARIANT_BOOL* result) noexcept { return client_.GoOnline(result); }

HRESULT CDtmCommunicationClient::GoOffline(VARIANT_BOOL* result) noexcept {
    return client_.GoOffline(result);
}

HRESULT CDtmCommunicationClient::AbandonConnection() noexcept { return client_.AbandonConnection(); }

bool CDtmCommunicationClient::IsRequestRunning() noexcept { return requests_.IsRequestRunning(); }
