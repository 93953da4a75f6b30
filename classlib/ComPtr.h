#pragma once
// Owner of one COM interface reference. Copying adds a reference; moving transfers it.
#include <windows.h>
#include <unknwn.h>
#include <utility>

namespace ql {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Adds a reference to `p` (the usual case for a pointer someone else owns).
    explicit ComPtr(T* p) noexcept : p_(p) { AddRefIfSet(); }
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        Reset();
        return *this;
    }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Takes over a reference the caller already owns.
    void Attach(T* p) noexcept {
        Reset();
        p_ = p;
    }
    // Releases the reference held, if any.
    void Reset() noexcept {
        T* old = p_;
        p_ = nullptr;
        if (old) old->Release();
    }
    // Gives the reference up to the caller.
    T* Detach() noexcept {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    // Address for an out-parameter; the old reference is released first.
    T** Put() noexcept {
        Reset();
        return &p_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    // Hands out a new reference through an out-parameter.
    HRESULT CopyTo(T** out) const noexcept {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

    template <class U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        if (!p_) {
            out.Reset();
            return E_POINTER;
        }
        return p_->QueryInterface(__uuidof(U), out.PutVoid());
    }
    HRESULT QueryTo(REFIID iid, void** out) const noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        return p_ ? p_->QueryInterface(iid, out) : E_POINTER;
    }

    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    bool operator==(const ComPtr& o) const noexcept { return p_ == o.p_; }
    bool operator!=(const ComPtr& o) const noexcept { return p_ != o.p_; }

private:
    void AddRefIfSet() noexcept {
        if (p_) p_->AddRef();
    }
    T* p_ = nullptr;
};

// Queries `from` for interface U; a null source answers E_POINTER.
template <class U, class T>
HRESULT QueryInterfaceTo(T* from, ComPtr<U>& out) noexcept {
    out.Reset();
    if (!from) return E_POINTER;
    return from->QueryInterface(__uuidof(U), out.PutVoid());
}

// True when both pointers name the same COM object (identity through IUnknown).
inline bool IsSameObject(IUnknown* a, IUnknown* b) noexcept {
    if (a == b) return true;
    if (!a || !b) return false;
    ComPtr<IUnknown> ua, ub;
    if (FAILED(QueryInterfaceTo(a, ua)) || FAILED(QueryInterfaceTo(b, ub))) return false;
    return ua.Get() == ub.Get();
}

}  // namespace ql
