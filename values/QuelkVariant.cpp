#include "values/QuelkVariant.h"

#include "classlib/Variant.h"

CQuelkVariant::CQuelkVariant() noexcept { ::VariantInit(this); }

CQuelkVariant::CQuelkVariant(ULONG value) noexcept {
    ::VariantInit(this);
    vt = VT_UI4;
    ulVal = value;
}

CQuelkVariant::CQuelkVariant(LONG value) noexcept {
    ::VariantInit(this);
    vt = VT_I4;
    lVal = value;
}

CQuelkVariant::~CQuelkVariant() {
    // The classlib owner takes the value over and clears it; a failing clear is of no consequence here.
    ql::Variant owner;
    owner.Attach(*this);
}
