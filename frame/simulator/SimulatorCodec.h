#pragma once
// How the simulated flowmeter holds its values: PROFIBUS PA octets, numbers most significant byte first,
// floating-point numbers as IEEE 754 single or double precision, texts one byte per character, and hex text
// of two digits per byte. Written apart from the DTM's own encoder on purpose: tests compare what the DTM
// sends and stores with what an independent implementation of the same wire format says. Only the byte
// order, the raw bits of floating-point numbers and the type widths come from the shared value module,
// which has its own tests.
// Stateless; any thread.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <vector>

using SimBytes = std::vector<BYTE>;

// Octets of `number` for a numeric record type: VT_UI1/VT_I1 1, VT_UI2/VT_I2 2, VT_UI4/VT_I4 4, VT_R4 4
// (float), VT_R8 8 (double). Empty for any other type.
SimBytes EncodePaNumber(double number, VARTYPE type);
// The number the octets of a numeric record type hold; 0 when there are too few.
double DecodePaNumber(const SimBytes& bytes, VARTYPE type);
// Width of a numeric record type, 0 for any other.
size_t PaNumberWidth(VARTYPE type);

// A PA value with status (DS-33): the float and one status byte.
SimBytes EncodeValueWithStatus(float value, BYTE status);

// Upper-case hex text, two digits per byte.
std::wstring HexFromBytes(const SimBytes& bytes);
// The bytes of a hex text (digits of either case); false for an odd length or a character that is no digit.
bool BytesFromHex(std::wstring_view text, SimBytes* bytes);
bool BytesFromHex(std::string_view text, SimBytes* bytes);
// One byte per character (the characters of the parameter table are ASCII).
SimBytes BytesFromText(std::string_view text);
