#pragma once
// Owner of one SAFEARRAY, and a scoped lock of its data.
#include <windows.h>
#include <oleauto.h>
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

// The number of elements of `array` over all its dimensions.
inline ULONGLONG ElementCount(const SAFEARRAY& array) noexcept {
    ULONGLONG count = 1;
    for (USHORT dimension = 0; dimension < array.cDims; ++dimension)
        count *= array.rgsabound[dimension].cElements;
    return count;
}

// Whether `array` holds elements of `type`, as a VARIANT of VT_ARRAY|`type` claims it does. A caller's
// VARIANT may claim any type over any array: bytes read as text pointers, or VARIANTs written over DECIMALs,
// go past the elements. Texts, VARIANTs and objects are the array's own only where it carries the feature
// that makes the platform copy and free them (SafeArrayCreate sets it, SafeArrayAllocDescriptorEx does
// not): without it the platform copies, reads and destroys them as plain bits, so a reader would free the
// caller's strings and a copy would keep them. Where the array records its element type, that record must
// name `type` as well.
inline bool HoldsElementsOf(const SAFEARRAY& array, VARTYPE type) noexcept {
    constexpr struct {
        USHORT feature;
        VARTYPE type;
    } kOwnedElements[] = {{FADF_BSTR, VT_BSTR},
                          {FADF_VARIANT, VT_VARIANT},
                          {FADF_UNKNOWN, VT_UNKNOWN},
                          {FADF_DISPATCH, VT_DISPATCH},
                          {FADF_RECORD, VT_RECORD}};
    VARTYPE owned = VT_EMPTY;  // the type whose elements the platform copies and frees; none for plain values
    for (const auto& elements : kOwnedElements) {
        if (array.fFeatures & elements.feature) {
            owned = elements.type;
            break;
        }
    }
    VARTYPE claimedOwned = VT_EMPTY;  // the same for the claimed type
    for (const auto& elements : kOwnedElements) {
        if (elements.type == type) claimedOwned = type;
    }
    if (owned != claimedOwned) return false;
    VARTYPE recorded = VT_EMPTY;
    return FAILED(::SafeArrayGetVartype(const_cast<SAFEARRAY*>(&array), &recorded)) || recorded == type;
}

// Whether `array` holds VARIANTs the platform owns, each as wide as a VARIANT: what a reader of a caller's
// VT_ARRAY|VT_VARIANT needs before it reads an element, or has the platform copy one.
inline bool HoldsVariants(const SAFEARRAY& array) noexcept {
    return HoldsElementsOf(array, VT_VARIANT) && array.cbElements == sizeof(VARIANT);
}

// Whether `array` is one-dimensional and holds VARIANTs the platform owns: what a reader that takes elements
// by a single index needs, since SafeArrayGetElement reads as many indices as the array has dimensions.
inline bool IsVariantVector(const SAFEARRAY& array) noexcept {
    return array.cDims == 1 && HoldsVariants(array);
}

// Whether `array` holds bytes, as a VARIANT of VT_ARRAY|VT_UI1 claims: elements one byte wide of which the
// platform owns none. A reader takes as many bytes as the array has elements, so an array of wider or of
// empty elements, or of texts labelled as bytes, must not reach it.
inline bool HoldsBytes(const SAFEARRAY& array) noexcept {
    return HoldsElementsOf(array, VT_UI1) && array.cbElements == sizeof(BYTE);
}

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
