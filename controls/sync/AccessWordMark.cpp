#include "controls/sync/AccessWordMark.h"

#include "classlib/Variant.h"
#include "controls/base/ControlArguments.h"
#include "dataset/VariableFields.h"

namespace {

// The field mask travels as VT_I4, the word as VT_UI4.
ql::Variant AccessFieldMask() noexcept {
    ql::Variant mask;
    mask.SetI4(static_cast<LONG>(kFieldAccess));
    return mask;
}

}  // namespace

AccessWordMark::AccessWordMark(IQuelkVariables* dtm, ULONG id, ULONG marked, ULONG restore) noexcept
    : id_(id), restore_(restore) {
    if (!dtm || FAILED(dtm->QueryInterface(IID_IQuelkVariableFields, fields_.PutVoid()))) fields_.Reset();
    if (fields_)
        // A word the store refuses (an id it does not hold) neither took the mark nor needs it back.
        (void)fields_->SetVariableField(*UlongArgument(id_), *AccessFieldMask(), *UlongArgument(marked));
}

AccessWordMark::~AccessWordMark() {
    if (fields_) {
        // A destructor has no one to tell; the store took the mark for the same id, so it takes the word
        // back.
        (void)fields_->SetVariableField(*UlongArgument(id_), *AccessFieldMask(), *UlongArgument(restore_));
    }
}

bool AccessWordMark::ReadWord(IQuelkVariables* dtm, ULONG id, ULONG& word) noexcept {
    ql::ComPtr<IQuelkVariableFields> fields;
    if (!dtm || FAILED(dtm->QueryInterface(IID_IQuelkVariableFields, fields.PutVoid())) || !fields)
        return false;
    ql::Variant value;
    if (FAILED(fields->GetVariableField(*UlongArgument(id), *AccessFieldMask(), value.Get()))) return false;
    if (FAILED(value.ChangeType(VT_UI4))) return false;
    word = V_UI4(value.Get());
    return true;
}
