#pragma once
// The fields of a DTM's records as another component hands them out (IQuelkVariableFields): the DTM's own,
// passed through, but for the fields `replaces` picks by record id and field mask, whose value `make` makes
// afresh at every read (the reader owns and destroys what it is given). A test derives its object from it,
// adds the interface table and the IDispatch methods, and so hands a reader a hostile value where it reads
// a field.
#include <functional>
#include <utility>

#include "QuelkInterfaces.h"
#include "classlib/ComPtr.h"
#include "classlib/Variant.h"
#include "tests/support/TestObjects.h"

namespace vtest {

class ReplacedFields : public IQuelkVariableFields {
public:
    using Picker = std::function<bool(ULONG id, ULONG mask)>;
    using Maker = std::function<ql::Variant()>;

    ReplacedFields(ql::ComPtr<IQuelkVariableFields> own, Picker replaces, Maker make)
        : own_(std::move(own)), replaces_(std::move(replaces)), make_(std::move(make)) {}
    virtual ~ReplacedFields() = default;

    HRESULT STDMETHODCALLTYPE GetCountVariant(VARIANT* count) noexcept override {
        return own_->GetCountVariant(count);
    }
    HRESULT STDMETHODCALLTYPE GetVariableAtVariant(VARIANT index, VARIANT* id) noexcept override {
        return own_->GetVariableAtVariant(index, id);
    }
    HRESULT STDMETHODCALLTYPE GetVariableField(VARIANT id, VARIANT mask, VARIANT* out) noexcept override {
        ULONG record = 0, field = 0;
        if (NumberOf(id, record) && NumberOf(mask, field) && replaces_(record, field)) {
            ql::Variant made = make_();
            return made.Detach(out);
        }
        return own_->GetVariableField(id, mask, out);
    }
    VARNOK_UNEXPECTED_CALL(SetVariableField, VARIANT, VARIANT, VARIANT)

private:
    static bool NumberOf(const VARIANT& value, ULONG& number) {
        ql::Variant copy;
        if (FAILED(copy.CopyFrom(value)) || FAILED(copy.ChangeType(VT_UI4))) return false;
        number = V_UI4(copy.Get());
        return true;
    }

    ql::ComPtr<IQuelkVariableFields> own_;
    Picker replaces_;
    Maker make_;
};

}  // namespace vtest
