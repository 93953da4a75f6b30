#include "dataset/NotificationData.h"

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"

HRESULT MakeVariantPair(const VARIANT& first, const VARIANT& second, ql::Variant& out) noexcept {
    // Copied by the checked copy: the pair keeps nothing of a caller's memory, and the platform copies no
    // array that does not hold what it claims.
    ql::Variant elements[2];
    QL_RETURN_IF_FAILED(elements[0].CopyFrom(first));
    QL_RETURN_IF_FAILED(elements[1].CopyFrom(second));
    ql::SafeArray pair;
    QL_RETURN_IF_FAILED(pair.Create(VT_VARIANT, 2));
    {
        const ql::SafeArrayData<VARIANT> data(pair.Get());
        QL_RETURN_IF_FAILED(data.Status());
        // The new array's elements are empty: detaching into them releases nothing.
        for (size_t i = 0; i < 2; ++i) QL_RETURN_IF_FAILED(elements[i].Detach(&data[i]));
    }
    out.AttachArray(VT_VARIANT, pair.Detach());
    return S_OK;
}

HRESULT MakeIdValuePair(ULONG id, const VARIANT& value, ql::Variant& out) noexcept {
    ql::Variant idVariant;
    idVariant.SetUI4(id);
    return MakeVariantPair(*idVariant, value, out);
}
