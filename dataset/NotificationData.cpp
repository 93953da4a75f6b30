#include "dataset/NotificationData.h"

#include "classlib/HResult.h"
#include "classlib/SafeArray.h"

HRESULT MakeVariantPair(const VARIANT& first, const VARIANT& second, ql::Variant& out) noexcept {
    ql::SafeArray pair;
    QL_RETURN_IF_FAILED(pair.Create(VT_VARIANT, 2));
    LONG index = 0;
    QL_RETURN_IF_FAILED(::SafeArrayPutElement(pair.Get(), &index, const_cast<VARIANT*>(&first)));
    index = 1;
    QL_RETURN_IF_FAILED(::SafeArrayPutElement(pair.Get(), &index, const_cast<VARIANT*>(&second)));
    out.AttachArray(VT_VARIANT, pair.Detach());
    return S_OK;
}

HRESULT MakeIdValuePair(ULONG id, const VARIANT& value, ql::Variant& out) noexcept {
    ql::Variant idVariant;
    idVariant.SetUI4(id);
    return MakeVariantPair(*idVariant, value, out);
}
