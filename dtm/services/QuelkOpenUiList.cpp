#include "dtm/services/QuelkOpenUiList.h"

#include <new>
#include <utility>

namespace {

bool SameKey(BSTR a, BSTR b) noexcept {
    if (!a || !b) return a == b;
    const UINT length = ::SysStringLen(a);
    if (length != ::SysStringLen(b)) return false;
    for (UINT i = 0; i < length; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

}  // namespace

long CQuelkOpenUiList::Find(BSTR invokeId) const noexcept {
    for (size_t i = 0; i < records_.size(); ++i) {
        if (SameKey(records_[i].InvokeId.Get(), invokeId)) return static_cast<long>(i);
    }
    return -1;
}

HRESULT CQuelkOpenUiList::Append(QuelkOpenUi record) noexcept {
    try {
        records_.push_back(std::move(record));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void CQuelkOpenUiList::RemoveAt(size_t index) noexcept {
    if (index >= records_.size()) return;
    // The control's last reference may go with the record and its release may call back into the DTM:
    // the list is whole again before that happens.
    QuelkOpenUi removed = std::move(records_[index]);
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
}
