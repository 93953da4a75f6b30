#include "frame/simulator/SimulatorCodec.h"

#include <oleauto.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

uint64_t ToBits(double number, VARTYPE type) {
    switch (type) {
        case VT_R4: {
            const float single = static_cast<float>(number);
            uint32_t bits = 0;
            std::memcpy(&bits, &single, sizeof bits);
            return bits;
        }
        case VT_R8: {
            uint64_t bits = 0;
            std::memcpy(&bits, &number, sizeof bits);
            return bits;
        }
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
    switch (type) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_R4:
            return 4;
        case VT_R8:
            return 8;
        default:
            return 0;
    }
}

SimBytes EncodePaNumber(double number, VARTYPE type) {
    const size_t width = PaNumberWidth(type);
    const uint64_t bits = ToBits(number, type);
    SimBytes bytes(width);
    for (size_t i = 0; i < width; ++i) bytes[i] = static_cast<BYTE>(bits >> (8 * (width - 1 - i)));
    return bytes;
}

double DecodePaNumber(const SimBytes& bytes, VARTYPE type) {
    const size_t width = PaNumberWidth(type);
    if (width == 0 || bytes.size() < width) return 0;
    uint64_t bits = 0;
    for (size_t i = 0; i < width; ++i) bits = (bits << 8) | bytes[i];
    switch (type) {
        case VT_R4: {
            const uint32_t narrow = static_cast<uint32_t>(bits);
            float single = 0;
            std::memcpy(&single, &narrow, sizeof single);
            return single;
        }
        case VT_R8: {
            double wide = 0;
            std::memcpy(&wide, &bits, sizeof wide);
            return wide;
        }
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
