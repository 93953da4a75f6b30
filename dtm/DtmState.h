#pragma once
// The DTM lifecycle's own numbers beside the shared states (values/DtmVocabulary.h): the language, the
// waits, the user level before the configuration. The state word itself lives in CQuelkDtm and changes
// only through IQuelkDtm::SetState.
#include <windows.h>

#include "values/DtmVocabulary.h"

// The language word after the parameter table was built: the system default, before SetLanguage.
constexpr ULONG kLanguageSystemDefault = 0x400;

// Limits of the lifecycle's waits, in milliseconds.
constexpr DWORD kStateWaitTimeMs = 60000;
constexpr DWORD kCancelPauseMs = 1000;

// The user level a DTM keeps until the frame's configuration ("planningEngineer").
constexpr ULONG kInitialUserLevel = kUserLevelPlanningEngineer;
