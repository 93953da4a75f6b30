#pragma once
// The DTM's lifecycle states in plain words, for the frame host's output.
#include <windows.h>

// "created", "configured (offline)", ...; "unknown state" for a number the DTM never uses.
const wchar_t* DtmStateName(ULONG state) noexcept;
