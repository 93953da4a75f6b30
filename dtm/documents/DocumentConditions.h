#pragma once
// The lifecycle and user-level conditions under which the frame may use the document interfaces.
#include <windows.h>

#include "dtm/DtmState.h"
#include "dtm/DtmHost.h"

// Configured, offline or online: states 8 to 12.
inline bool IsConfiguredState(ULONG state) noexcept {
    return state >= kStateConfigured && state <= kStateConnected;
}

// Documents that change the dataset or read another DTM need more than a plain observer.
inline bool IsAboveObserver(ULONG userLevel) noexcept { return userLevel > kUserLevelObserver; }
