#pragma once
// ql::TypeAttr: the TYPEATTR a type description lends out, handed back to it when the owner goes. The owner
// keeps the description alive for as long as it holds the attributes.
//
//   ql::TypeAttr attr(info);
//   QL_RETURN_IF_FAILED(attr.Status());
//   if (attr->typekind == TKIND_COCLASS) ...
//
// Not copyable; used on the thread that may call the description.
#include <oaidl.h>

#include "classlib/ComPtr.h"

namespace ql {

class TypeAttr {
public:
    // Reads the attributes of `info`; Status() tells whether that worked (E_POINTER for a null `info`).
    explicit TypeAttr(ITypeInfo* info) noexcept : info_(info) {
        status_ = info ? info->GetTypeAttr(&attr_) : E_POINTER;
        if (FAILED(status_)) attr_ = nullptr;
    }
    TypeAttr(const TypeAttr&) = delete;
    TypeAttr& operator=(const TypeAttr&) = delete;
    ~TypeAttr() {
        if (attr_) info_->ReleaseTypeAttr(attr_);
    }

    HRESULT Status() const noexcept { return status_; }
    explicit operator bool() const noexcept { return attr_ != nullptr; }
    // Only while the attributes were read.
    const TYPEATTR* operator->() const noexcept { return attr_; }

private:
    ComPtr<ITypeInfo> info_;
    TYPEATTR* attr_ = nullptr;
    HRESULT status_ = E_UNEXPECTED;
};

}  // namespace ql
