#include "dtm/StreamValueFormat.h"

namespace {

struct FixedPayload {
    VARTYPE type;
    ULONG bytes;
};

constexpr FixedPayload kFixedPayloads[] = {
    {VT_I1, 1},    {VT_UI1, 1}, {VT_I2, 2},  {VT_BOOL, 2}, {VT_UI2, 2}, {VT_I4, 4}, {VT_R4, 4},
    {VT_ERROR, 4}, {VT_UI4, 4}, {VT_INT, 4}, {VT_UINT, 4}, {VT_R8, 8},  {VT_CY, 8}, {VT_DATE, 8},
};

constexpr VARTYPE kTextPayloadTypes[] = {VT_EMPTY, VT_NULL, VT_BSTR, VT_DECIMAL, VT_I8, VT_UI8};

}  // namespace

ULONG FixedPayloadBytes(VARTYPE type) noexcept {
    for (const FixedPayload& payload : kFixedPayloads) {
        if (payload.type == type) return payload.bytes;
    }
    return 0;
}

bool IsTextPayloadType(VARTYPE type) noexcept {
    for (VARTYPE candidate : kTextPayloadTypes) {
        if (candidate == type) return true;
    }
    return false;
}
