#pragma once
// The four request documents of the DP-V1 client (FDTProfibusDPV1CommunicationSchema), laid out exactly as
// channels of the field have always received them: lines separated by a single line feed, tabs and blanks
// where they stand below, no line feed after the last line. Numbers are written in decimal without leading
// zeros.
//
// `reference` is the communication reference as it must appear between the attribute's quotes, that is
// already escaped for XML (the client keeps it in that form; see CQuelkDpv1Communication). `data` is
// byte-array text. A null text is written as an empty one. Each function answers BstrPrintf's result and
// writes *document only on success. Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

HRESULT BuildConnectRequest(BYTE api, BYTE busAddress, BSTR* document) noexcept;
HRESULT BuildDisconnectRequest(BYTE api, BYTE busAddress, BSTR reference, BSTR* document) noexcept;
HRESULT BuildReadRequest(BYTE slot, BYTE index, BSTR reference, BSTR* document) noexcept;
HRESULT BuildWriteRequest(BYTE slot, BYTE index, BSTR reference, BSTR data, BSTR* document) noexcept;
