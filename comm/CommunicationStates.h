#pragma once
// The DTM lifecycle states and notification codes that device communication reads, sets and sends. The
// state word itself belongs to the DTM object (IQuelkDtm); these are its values.
#include <windows.h>

constexpr ULONG kDtmStateCommunicationSet = 9;  // channel set, offline
constexpr ULONG kDtmStateConnecting = 10;
constexpr ULONG kDtmStateDisconnecting = 11;
constexpr ULONG kDtmStateConnected = 12;  // online

// Connection results to the open user interfaces: a connect or disconnect request succeeded (data empty),
// or failed (data: the message as VT_BSTR).
constexpr ULONG kNotifyConnectionSucceeded = 0x3400;
constexpr ULONG kNotifyConnectionFailed = 0x3401;

// The user levels of the frame's configuration; "observer" alone may not start an online request.
constexpr ULONG kUserLevelOperator = 2;

// What a synchronous request answers when its wait ended because the thread was asked to quit (WM_QUIT):
// HRESULT_FROM_WIN32(ERROR_CANCELLED). Unlike a time-out (E_ABORT) it ends a whole run, not one parameter.
constexpr HRESULT kQuitRequestedResult = static_cast<HRESULT>(0x800704C7L);
