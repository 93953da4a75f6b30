#pragma once
// ql::SharedVariant: a VARIANT value that never changes in place, shared by every copy of its owner. For
// values that many records carry alike and that are read far more often than replaced (the entry lists
// of enumerated parameters): copying the owner shares the value instead of copying every string in it. A
// new value replaces the shared one as a whole (CopyFrom); whoever hands the value out copies it (CopyTo,
// or a ql::Variant's CopyFrom of *value), exactly as with ql::Variant.
//
// Threading: the shared value is only read once made, so owners on different threads may share it; what
// the VARIANT holds must bear concurrent reading (numbers, strings and arrays of them do: array locks are
// interlocked).
#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "classlib/SharedConst.h"
#include "classlib/Variant.h"

namespace ql {

class SharedVariant {
public:
    SharedVariant() noexcept = default;  // VT_EMPTY

    const VARIANT* Get() const noexcept { return value_ ? value_->Get() : &Empty(); }
    const VARIANT& operator*() const noexcept { return *Get(); }
    const VARIANT* operator->() const noexcept { return Get(); }
    VARTYPE Type() const noexcept { return V_VT(Get()); }

    // A deep copy into the out-parameter `out`, which is overwritten, not cleared (as ql::Variant::CopyTo).
    HRESULT CopyTo(VARIANT* out) const noexcept {
        if (!out) return E_POINTER;
        ::VariantInit(out);
        return ::VariantCopy(out, const_cast<VARIANT*>(Get()));
    }
    // Replaces the value with a deep copy of `source`; on failure the old value stays.
    HRESULT CopyFrom(const VARIANT& source) noexcept {
        return value_.Make([&](Variant& copy) { return copy.CopyFrom(source); });
    }
    // Takes `value` over as the new shared value; on failure (E_OUTOFMEMORY) the old one stays.
    HRESULT Assign(Variant&& value) noexcept {
        return value_.Make([&](Variant& taken) {
            taken = std::move(value);
            return S_OK;
        });
    }
    // VT_ERROR holding `code` (VT_EMPTY when not even that can be made).
    void SetError(SCODE code) noexcept {
        const HRESULT made = value_.Make([&](Variant& error) {
            error.SetError(code);
            return S_OK;
        });
        if (FAILED(made)) value_.Reset();
    }
    void Reset() noexcept { value_.Reset(); }

private:
    static const VARIANT& Empty() noexcept {
        static const VARIANT empty = {};  // all zero: VT_EMPTY
        return empty;
    }

    SharedConst<Variant> value_;
};

}  // namespace ql
