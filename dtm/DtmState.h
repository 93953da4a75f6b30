#pragma once
// The DTM lifecycle: the state word's values and the numbers that travel with its changes. The state word
// itself lives in CQuelkDtm and changes only through IQuelkDtm::SetState.
#include <windows.h>

#include <initializer_list>

enum DtmLifecycleState : ULONG {
    kStateConstructed = 0,  // before the parameter table is built
    kStateCreated = 1,      // parameter table built, translation service initialised
    kStatePreparedToRelease = 2,
    kStatePreparedToDelete = 3,
    kStateNew = 4,               // persistence InitNew: a new, empty dataset
    kStateLoaded = 5,            // persistence Load
    kStateEnvironmentNew = 6,    // environment set on a new dataset, waiting for IDtm::InitNew
    kStateInitialised = 7,       // waiting for Config
    kStateConfigured = 8,        // offline, no channel
    kStateCommunicationSet = 9,  // channel set, offline
    kStateConnecting = 10,
    kStateDisconnecting = 11,
    kStateConnected = 12,  // online
};

inline bool IsStateIn(ULONG state, std::initializer_list<ULONG> accepted) noexcept {
    for (ULONG candidate : accepted) {
        if (candidate == state) return true;
    }
    return false;
}

// Notifications the lifecycle sends to the open user interfaces.
constexpr ULONG kNotifyLanguage = 0x2700;  // data VT_I4 LCID
constexpr ULONG kNotifyDataLock = 0x270A;  // data VT_BOOL

// The language word after the parameter table was built: the system default, before SetLanguage.
constexpr ULONG kLanguageSystemDefault = 0x400;

// User-interface functions that follow the online state.
constexpr ULONG kFunctionOnlineParameterize = 2;
constexpr ULONG kFunctionWithoutRow = 3;  // has no row in the function table; switched with function 2
constexpr ULONG kFunctionDiagnosis = 4;
constexpr ULONG kFunctionMeasuredValue = 5;
constexpr ULONG kFunctionTrend = 8;

// Limits of the lifecycle's waits, in milliseconds.
constexpr DWORD kStateWaitTimeMs = 60000;
constexpr DWORD kCancelPauseMs = 1000;

// The user level a DTM keeps until the frame's configuration ("planningEngineer").
constexpr ULONG kInitialUserLevel = 8;
