#pragma once
// The response documents of the simulated channel (FDTProfibusDPV1CommunicationSchema), and the broken ones
// its fault modes send. Texts are escaped for their attributes here, apart from the DTM's own escaping.
#include <windows.h>

#include <string>

#include "frame/simulator/SimulatorCodec.h"

std::wstring XmlAttributeText(const std::wstring& text);

// A refused connect carries no reference (null).
std::wstring ConnectResponseXml(const SimBytes& errorCode, const std::wstring* reference, BYTE api,
                                BYTE busAddress);
std::wstring DisconnectResponseXml(const SimBytes& errorCode, const std::wstring& reference, BYTE api,
                                   BYTE busAddress);
// A read refused by the device carries no data (null).
std::wstring ReadResponseXml(const SimBytes& errorCode, const std::wstring& reference, const SimBytes* data);
std::wstring WriteResponseXml(const SimBytes& errorCode, const std::wstring& reference);
std::wstring CommunicationErrorXml(const SimBytes& errorCode, const std::wstring& descriptor);
// No well-formed XML at all.
std::wstring MalformedResponseXml();
// Well-formed, but the schema refuses it (a response without its required errorCode, with an attribute the
// schema does not know).
std::wstring SchemaInvalidResponseXml(const std::wstring& reference);
