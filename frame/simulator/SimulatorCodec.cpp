#include "frame/simulator/SimulatorCodec.h"

#include <oleauto.h>

#include <cmath>
#include <cstdint>

#include "classlib/SafeArray.h"
#include "values/Bytes.h"
#include "values/ScalarTypes.h"

namespace {

uint64_t ToBits(double number, VARTYPE type) {
    switch (type) {
        case VT_R4:
            return BitsFromFloat(static_cast<float>(number));
        case VT_R8:
            return BitsFromDouble(number);
        case VT_I1:
        case VT_I2:
        case VT_I4:
            return static_cast<uint64_t>(static_cast<int64_t>(std::llround(number)));
        default:
            return static_cast<uint64_t>(std::llround(number));
    }
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

template <class Text>
bool ParseHex(const Text& text, SimBytes* bytes) {
    if (text.size() % 2 != 0) return false;
    SimBytes result;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(static_cast<wchar_t>(text[i]));
        const int low = HexDigit(static_cast<wchar_t>(text[i + 1]));
        if (high < 0 || low < 0) return false;
        result.push_back(static_cast<BYTE>(high * 16 + low));
    }
    *bytes = std::move(result);
    return true;
}

}  // namespace

size_t PaNumberWidth(VARTYPE type) {
    static constexpr VARTYPE kNumberTypes[] = {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4, VT_R4, VT_R8};
    for (VARTYPE number : kNumberTypes) {
        if (number == type) return ql::VarTypeWidth(type);
    }
    return 0;
}

SimBytes EncodePaNumber(double number, VARTYPE type) {
    const size_t width = PaNumberWidth(type);
    SimBytes bytes(width);
    WriteBigEndian(ToBits(number, type), width, bytes.data());
    return bytes;
}

double DecodePaNumber(const SimBytes& bytes, VARTYPE type) {
    const size_t width = PaNumberWidth(type);
    if (width == 0 || bytes.size() < width) return 0;
    const uint64_t bits = ReadBigEndian(bytes.data(), width);
    switch (type) {
        case VT_R4:
            return FloatFromBits(static_cast<ULONG>(bits));
        case VT_R8:
            return DoubleFromBits(bits);
        case VT_I1:
            return static_cast<int8_t>(bits);
        case VT_I2:
            return static_cast<int16_t>(bits);
        case VT_I4:
            return static_cast<int32_t>(bits);
        default:
            return static_cast<double>(bits);
    }
}

SimBytes EncodeValueWithStatus(float value, BYTE status) {
    SimBytes bytes = EncodePaNumber(value, VT_R4);
    bytes.push_back(status);
    return bytes;
}

std::wstring HexFromBytes(const SimBytes& bytes) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (BYTE byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

bool BytesFromHex(std::wstring_view text, SimBytes* bytes) { return ParseHex(text, bytes); }

bool BytesFromHex(std::string_view text, SimBytes* bytes) { return ParseHex(text, bytes); }

SimBytes BytesFromText(std::string_view text) { return SimBytes(text.begin(), text.end()); }
