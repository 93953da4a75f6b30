#pragma once
// The lifecycle and user-level conditions under which the frame may use the document interfaces.
#include <windows.h>

#include "dtm/DtmState.h"
#include "dtm/documents/DtmDocumentsHost.h"

// The user level of a plain observer; documents that change the dataset or read another DTM need more.
constexpr ULONG kObserverUserLevel = 1;

// Configured, offline or online: states 8 to 12.
inline bool IsConfiguredState(ULONG state) noexcept {
    return state >= kStateConfigured && state <= kStateConnected;
}

inline bool IsAboveObserver(ULONG userLevel) noexcept { return userLevel > kObserverUserLevel; }
