#include "values/VariantParts.h"

#include "classlib/SafeArray.h"
#include "classlib/Variant.h"
#include "values/ScalarTypes.h"

namespace {

bool EveryPartOf(const VARIANT& value, VariantPartTest test, int depth) noexcept;

// Every element of `array`, which a VARIANT claims holds `elementType`. An array that holds anything else,
// elements of another width, or whose descriptor is not whole, is not read at all.
bool EveryElement(SAFEARRAY* array, VARTYPE elementType, VariantPartTest test, int depth) noexcept {
    // As deep as a copy of the value goes (ql::Variant::CopyFrom): one level for each array and reference.
    if (depth > ql::Variant::kMaxNesting) return false;
    if (!array) return true;
    if (!ql::HoldsElementsOf(*array, elementType)) return false;
    const ql::SafeArrayData<BYTE> elements(array);
    const ULONGLONG count = ql::ElementCount(*array);
    if (FAILED(elements.Status())) return false;
    for (ULONGLONG index = 0; index < count; ++index) {
        const BYTE* element = elements.Data() + index * array->cbElements;
        const bool holds = elementType == VT_VARIANT
                               ? EveryPartOf(*reinterpret_cast<const VARIANT*>(element), test, depth + 1)
                               : test(elementType, element);
        if (!holds) return false;
    }
    return true;
}

// The part of type `type` (VT_BYREF already followed) whose data is at `data`.
bool EveryPartAt(VARTYPE type, const void* data, VariantPartTest test, int depth) noexcept {
    if (type & VT_ARRAY) {
        return EveryElement(*static_cast<SAFEARRAY* const*>(data), static_cast<VARTYPE>(type & ~VT_ARRAY),
                            test, depth);
    }
    // Only a reference points at a VARIANT: a VARIANT that claims to hold one has no such data to read.
    if (type == VT_VARIANT) return false;
    return test(type, data);
}

bool EveryPartOf(const VARIANT& value, VariantPartTest test, int depth) noexcept {
    const VARTYPE type = V_VT(&value);
    if (!(type & VT_BYREF)) return EveryPartAt(type, &V_I2(&value), test, depth);  // the union's address
    if (depth > ql::Variant::kMaxNesting || !V_BYREF(&value)) return false;
    if (type == (VT_BYREF | VT_VARIANT))
        return depth < ql::Variant::kMaxNesting && EveryPartOf(*V_VARIANTREF(&value), test, depth + 1);
    return EveryPartAt(static_cast<VARTYPE>(type & ~VT_BYREF), V_BYREF(&value), test, depth);
}

}  // namespace

bool EveryPart(const VARIANT& value, VariantPartTest test) noexcept { return EveryPartOf(value, test, 0); }

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
