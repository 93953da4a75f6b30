#pragma once
// The numbers the DTM services share with the controls and the frame: notification codes, user levels,
// operation phases and the states in which the services answer. The lifecycle's own numbers (state
// values, 0x2700 language, 0x270A data lock) are in dtm/DtmState.h.
#include <windows.h>

#include "dtm/DtmState.h"

// Notifications to the open user interfaces.
constexpr ULONG kNotifyUserLevel = 0x2705;     // data VT_UI4 user level
constexpr ULONG kNotifySchemaFolder = 0x2709;  // data VT_BSTR folder of the FDT schema files

// User levels (bit flags of the frame's keywords) and the administrator's level above all of them.
constexpr ULONG kUserLevelObserver = 1;
constexpr ULONG kUserLevelOperator = 2;
constexpr ULONG kUserLevelMaintenance = 4;
constexpr ULONG kUserLevelPlanningEngineer = 8;
constexpr ULONG kUserLevelAdministrator = 0x10000;

// The English language every DTM can fall back to.
constexpr ULONG kLanguageEnglish = 1033;

// A state range [first, last] of the lifecycle.
constexpr bool IsStateBetween(ULONG state, ULONG first, ULONG last) noexcept {
    return state >= first && state <= last;
}
