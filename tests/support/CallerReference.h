#pragma once
// A by-reference argument as a script passes its variables (VT_BYREF|VT_I4, VT_BYREF|VT_BSTR,
// VT_BYREF|VT_VARIANT ...): the variable lives in a page of its own, which the test overwrites or frees after
// the call. Whatever the callee kept of the reference then reads the new value or faults, at once and every
// time, instead of reading freed heap that happens to still hold the old value.
#include <windows.h>
#include <oleauto.h>

namespace vtest {

class CallerReference {
public:
    // The caller's variable of type `referenced` (VT_VARIANT holds `value` as it is; any other type holds
    // `value` converted to it), and the argument VT_BYREF|`referenced` that points at it.
    CallerReference(VARTYPE referenced, const VARIANT& value);
    CallerReference(const CallerReference&) = delete;
    CallerReference& operator=(const CallerReference&) = delete;
    ~CallerReference();

    const VARIANT& Argument() const { return argument_; }
    // The caller assigns its variable (converted as in the constructor).
    void Assign(const VARIANT& value);
    // The caller frees its variable: the value's own memory goes, and any later access to the page faults.
    void Free();

private:
    VARTYPE referenced_;
    void* page_ = nullptr;
    VARIANT* variable_ = nullptr;  // in the page; the referenced value is its data part unless VT_VARIANT
    bool committed_ = false;
    VARIANT argument_;
};

}  // namespace vtest
