#pragma once
// ql::SharedConst<T>: a value that never changes once made, shared by every copy of its holder through a
// count kept with the value. One pointer wide, half a std::shared_ptr: the records of a dataset carry nine
// shared texts and values each, and a project holds hundreds of datasets. Copies share the value; the last
// holder to let go frees it. A holder without a value holds null.
//
// Threading: the count is interlocked and the value only read once shared, so holders on different threads
// may share it.
#include <windows.h>

#include <new>
#include <utility>

namespace ql {

template <class T>
class SharedConst {
public:
    SharedConst() noexcept = default;
    SharedConst(const SharedConst& other) noexcept : node_(other.node_) {
        if (node_) ::InterlockedIncrement(&node_->refs);
    }
    SharedConst(SharedConst&& other) noexcept : node_(std::exchange(other.node_, nullptr)) {}
    SharedConst& operator=(const SharedConst& other) noexcept {
        SharedConst(other).Swap(*this);
        return *this;
    }
    SharedConst& operator=(SharedConst&& other) noexcept {
        SharedConst(std::move(other)).Swap(*this);
        return *this;
    }
    ~SharedConst() { Reset(); }

    const T* Get() const noexcept { return node_ ? &node_->value : nullptr; }
    const T* operator->() const noexcept { return Get(); }
    explicit operator bool() const noexcept { return node_ != nullptr; }

    // Makes a new value, lets `fill` (HRESULT(T&)) finish it and shares it from then on. E_OUTOFMEMORY, or
    // the failure of `fill`, keeps the old value.
    template <class Fill>
    HRESULT Make(Fill fill) noexcept {
        Node* node = nullptr;
        try {
            node = new Node();
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        const HRESULT hr = fill(node->value);
        if (FAILED(hr)) {
            delete node;
            return hr;
        }
        Reset();
        node_ = node;
        return S_OK;
    }

    void Reset() noexcept {
        if (node_ && ::InterlockedDecrement(&node_->refs) == 0) delete node_;
        node_ = nullptr;
    }
    void Swap(SharedConst& other) noexcept { std::swap(node_, other.node_); }

private:
    struct Node {
        LONG refs = 1;
        T value;
    };

    Node* node_ = nullptr;
};

}  // namespace ql
