#pragma once
// What device communication answers beside the shared lifecycle states, user levels and notifications
// (values/DtmVocabulary.h), which it reads, sets and sends. The state word itself belongs to the DTM object
// (IQuelkDtm).
#include <windows.h>

#include "values/DtmVocabulary.h"

// What a synchronous request answers when its wait ended because the thread was asked to quit (WM_QUIT):
// HRESULT_FROM_WIN32(ERROR_CANCELLED). Unlike a time-out (E_ABORT) it ends a whole run, not one parameter.
constexpr HRESULT kQuitRequestedResult = static_cast<HRESULT>(0x800704C7L);
