#pragma once
// Owner of one SAFEARRAY, and a scoped lock of its data.
#include <windows.h>
#include <oleauto.h>
#include <cstddef>
#include <utility>

namespace ql {

class SafeArray {
public:
    SafeArray() noexcept = default;
    explicit SafeArray(SAFEARRAY* owned) noexcept : a_(owned) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& other) noexcept : a_(other.Detach()) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~SafeArray() { Reset(); }

    // A one-dimensional array of `count` elements of `vt` with lower bound `lowerBound`.
    HRESULT Create(VARTYPE vt, ULONG count, LONG lowerBound = 0) noexcept {
        SAFEARRAY* a = ::SafeArrayCreateVector(vt, lowerBound, count);
        if (!a) return E_OUTOFMEMORY;
        Attach(a);
        return S_OK;
    }
    HRESULT CopyFrom(SAFEARRAY* source) noexcept {
        SAFEARRAY* copy = nullptr;
        const HRESULT hr = ::SafeArrayCopy(source, &copy);
        if (FAILED(hr)) return hr;
        Attach(copy);
        return S_OK;
    }

    SAFEARRAY* Get() const noexcept { return a_; }
    void Attach(SAFEARRAY* a) noexcept {
        if (a == a_) return;
        Reset();
        a_ = a;
    }
    void Reset() noexcept {
        SAFEARRAY* old = a_;
        a_ = nullptr;
        if (old) ::SafeArrayDestroy(old);
    }
    SAFEARRAY* Detach() noexcept {
        SAFEARRAY* a = a_;
        a_ = nullptr;
        return a;
    }
    SAFEARRAY** Put() noexcept {
        Reset();
        return &a_;
    }

    // Bounds of a one-dimensional array. Element count 0 when empty or not set.
    HRESULT Bounds(LONG* lower, LONG* upper) const noexcept {
        if (!a_) return E_POINTER;
        HRESULT hr = ::SafeArrayGetLBound(a_, 1, lower);
        if (SUCCEEDED(hr)) hr = ::SafeArrayGetUBound(a_, 1, upper);
        return hr;
    }
    ULONG Count() const noexcept {
        LONG lower = 0, upper = -1;
        if (FAILED(Bounds(&lower, &upper)) || upper < lower) return 0;
        return static_cast<ULONG>(upper - lower + 1);
    }

private:
    SAFEARRAY* a_ = nullptr;
};

// Bytes of a value of `type` as it lies in a VARIANT (from the data part on) and in an array element: the
// platform's fixed width for every scalar, text and object type; 0 for the codes without a value of fixed
// width (VT_EMPTY, VT_NULL, VT_VARIANT, VT_RECORD, arrays, by-reference codes ...).
size_t VarTypeWidth(VARTYPE type) noexcept;

// Bytes of one element of an array of `type`: VarTypeWidth, and a whole VARIANT for VT_VARIANT.
size_t ElementWidth(VARTYPE type) noexcept;

// The number of elements of `array` over all its dimensions (1 for a descriptor without dimensions, which
// HoldsElementsOf refuses).
inline ULONGLONG ElementCount(const SAFEARRAY& array) noexcept {
    ULONGLONG count = 1;
    for (USHORT dimension = 0; dimension < array.cDims; ++dimension)
        count *= array.rgsabound[dimension].cElements;
    return count;
}

// Whether `array` holds elements of `type`, as a VARIANT of VT_ARRAY|`type` claims it does, judged from its
// descriptor alone before anything reads, locks or copies it. A caller's VARIANT may claim any type over any
// descriptor, and the platform itself copies and frees an array by its features and width, not by the
// claim; so the descriptor must agree with itself and with the claim:
// - at least one dimension;
// - elements exactly as wide as a value of `type` (ElementWidth); a type of no fixed width is refused;
// - data wherever the array counts an element;
// - texts, VARIANTs and objects only where the array carries the feature that makes the platform copy and
//   free them (SafeArrayCreate sets it, SafeArrayAllocDescriptorEx does not): without it the platform
//   copies, reads and destroys them as plain bits, so a reader would free the caller's strings and a copy
//   would keep them; no such feature over plain values; and never two of them, since the platform copies by
//   one and frees by another;
// - where the array records its element type, that record names `type`.
bool HoldsElementsOf(const SAFEARRAY& array, VARTYPE type) noexcept;

// Whether `array` holds VARIANTs the platform owns: what a reader of a caller's VT_ARRAY|VT_VARIANT needs
// before it reads an element, or has the platform copy one.
inline bool HoldsVariants(const SAFEARRAY& array) noexcept { return HoldsElementsOf(array, VT_VARIANT); }

// Whether `array` is one-dimensional and holds VARIANTs the platform owns: what a reader that takes elements
// by a single index needs, since SafeArrayGetElement reads as many indices as the array has dimensions.
inline bool IsVariantVector(const SAFEARRAY& array) noexcept {
    return array.cDims == 1 && HoldsVariants(array);
}

// Whether `array` holds bytes, as a VARIANT of VT_ARRAY|VT_UI1 claims: elements one byte wide, with data,
// of which the platform owns none. A reader takes as many bytes as the array has elements.
inline bool HoldsBytes(const SAFEARRAY& array) noexcept { return HoldsElementsOf(array, VT_UI1); }

// Holds SafeArrayAccessData for its lifetime. Check Status() before touching Data().
template <class T>
class SafeArrayData {
public:
    explicit SafeArrayData(SAFEARRAY* array) noexcept : array_(array) {
        void* raw = nullptr;
        status_ = array ? ::SafeArrayAccessData(array, &raw) : E_POINTER;
        if (SUCCEEDED(status_)) data_ = static_cast<T*>(raw);
    }
    SafeArrayData(const SafeArrayData&) = delete;
    SafeArrayData& operator=(const SafeArrayData&) = delete;
    ~SafeArrayData() {
        if (SUCCEEDED(status_)) ::SafeArrayUnaccessData(array_);
    }
    HRESULT Status() const noexcept { return status_; }
    T* Data() const noexcept { return data_; }
    T& operator[](size_t i) const noexcept { return data_[i]; }

private:
    SAFEARRAY* array_;
    T* data_ = nullptr;
    HRESULT status_;
};

}  // namespace ql
