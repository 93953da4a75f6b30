#include "tests/support/CallerReference.h"

#include <gtest/gtest.h>

#include "classlib/Variant.h"
#include "tests/support/HResultText.h"

namespace vtest {

CallerReference::CallerReference(VARTYPE referenced, const VARIANT& value) : referenced_(referenced) {
    page_ = ::VirtualAlloc(nullptr, sizeof(VARIANT), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    EXPECT_NE(nullptr, page_);
    committed_ = page_ != nullptr;
    variable_ = static_cast<VARIANT*>(page_);
    ::VariantInit(&argument_);
    if (!committed_) return;
    ::VariantInit(variable_);
    Assign(value);
    V_VT(&argument_) = VT_BYREF | referenced;
    // Every member of the data part starts at the same address.
    V_BYREF(&argument_) = referenced == VT_VARIANT ? static_cast<void*>(variable_) : &V_I4(variable_);
}

CallerReference::~CallerReference() {
    Free();
    // The range stays reserved until now, so that no allocation took the freed address meanwhile.
    if (page_) ::VirtualFree(page_, 0, MEM_RELEASE);
}

void CallerReference::Assign(const VARIANT& value) {
    ASSERT_TRUE(committed_) << "the variable is freed";
    ql::Variant assigned;
    ASSERT_HR(S_OK, assigned.CopyFrom(value));
    if (referenced_ != VT_VARIANT) {
        ASSERT_HR(S_OK, assigned.ChangeType(referenced_));
    }
    ASSERT_HR(S_OK, ::VariantClear(variable_));
    ASSERT_HR(S_OK, assigned.Detach(variable_));
}

void CallerReference::Free() {
    if (!committed_) return;
    (void)::VariantClear(variable_);
    EXPECT_TRUE(::VirtualFree(page_, sizeof(VARIANT), MEM_DECOMMIT));
    committed_ = false;
}

}  // namespace vtest
