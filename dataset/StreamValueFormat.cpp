#include "dataset/StreamValueFormat.h"

#include "classlib/SafeArray.h"
#include "values/ScalarTypes.h"

namespace {

// The types written as their bytes, in their own width; those below travel as text.
constexpr VARTYPE kFixedPayloadTypes[] = {VT_I1,    VT_UI1, VT_I2,  VT_BOOL, VT_UI2, VT_I4, VT_R4,
                                          VT_ERROR, VT_UI4, VT_INT, VT_UINT, VT_R8,  VT_CY, VT_DATE};

constexpr VARTYPE kTextPayloadTypes[] = {VT_EMPTY, VT_NULL, VT_BSTR, VT_DECIMAL, VT_I8, VT_UI8};

}  // namespace

ULONG FixedPayloadBytes(VARTYPE type) noexcept {
    for (VARTYPE fixed : kFixedPayloadTypes) {
        if (fixed == type) return static_cast<ULONG>(ql::VarTypeWidth(type));
    }
    return 0;
}

bool IsTextPayloadType(VARTYPE type) noexcept {
    for (VARTYPE candidate : kTextPayloadTypes) {
        if (candidate == type) return true;
    }
    return false;
}
