#include "values/VariantParts.h"

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"

namespace {

bool EveryPartAt(VARTYPE type, const void* data, VariantPartTest test, int depth) noexcept;

bool EveryElement(const SAFEARRAY* array, VARTYPE elementType, VariantPartTest test, int depth) noexcept {
    if (!array || array->cDims == 0) return true;
    const ql::SafeArrayData<BYTE> elements(const_cast<SAFEARRAY*>(array));
    if (FAILED(elements.Status())) return false;
    const ULONGLONG count = ql::ElementCount(*array);
    for (ULONGLONG index = 0; index < count; ++index) {
        if (!EveryPartAt(elementType, elements.Data() + index * array->cbElements, test, depth + 1))
            return false;
    }
    return true;
}

// The part of type `type` (VT_BYREF already followed) whose data is at `data`.
bool EveryPartAt(VARTYPE type, const void* data, VariantPartTest test, int depth) noexcept {
    // As deep as a copy of the value may go (ql::Variant::CopyFrom).
    if (depth > ql::Variant::kMaxNesting || !data) return false;
    if (type & VT_ARRAY) {
        return EveryElement(*static_cast<SAFEARRAY* const*>(data), static_cast<VARTYPE>(type & ~VT_ARRAY),
                            test, depth);
    }
    if (type == VT_VARIANT) {
        const VARIANT& inner = *static_cast<const VARIANT*>(data);
        const VARTYPE innerType = V_VT(&inner);
        if (innerType & VT_BYREF) {
            return EveryPartAt(static_cast<VARTYPE>(innerType & ~VT_BYREF), V_BYREF(&inner), test, depth + 1);
        }
        return EveryPartAt(innerType, &V_I2(&inner), test, depth + 1);  // the union's address
    }
    return test(type, data);
}

}  // namespace

bool EveryPart(const VARIANT& value, VariantPartTest test) noexcept {
    // The value itself is read as an element of an array of VARIANTs would be.
    return EveryPartAt(VT_VARIANT, &value, test, 0);
}

bool IsWholeValue(const VARIANT& value) noexcept {
    return EveryPart(value, [](VARTYPE type, const void* data) {
        return type != VT_BSTR || IsWholeText(*static_cast<const BSTR*>(data));
    });
}

bool IsWholeText(BSTR text) noexcept { return ::SysStringByteLen(text) % sizeof(wchar_t) == 0; }

bool HoldsObject(const VARIANT& value) noexcept {
    return !EveryPart(value, [](VARTYPE type, const void*) {
        return type != VT_DISPATCH && type != VT_UNKNOWN && type != VT_RECORD;
    });
}
