#pragma once
// Owner of one VARIANT: initialised to VT_EMPTY, cleared when it goes.
#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <utility>

namespace ql {

// Whether the platform may copy `value` as it stands: every array that VariantCopy, VariantCopyInd or
// VariantChangeType(Ex) (which copies its source first) would copy along with it holds what its VARIANT
// claims (HoldsElementsOf), the value's own array directly or through a reference, and in an array of
// VARIANTs every element's array at any depth. The platform copies an array by its features and width, not
// by the claim: asked before any of them, this keeps it from reading or writing past a caller's array.
// S_OK, or E_INVALIDARG; CopyFrom, CopyTo and ChangeType ask it themselves.
HRESULT CheckPlatformCopy(const VARIANT& value) noexcept;

class Variant {
public:
    // How deep references and arrays of VARIANTs may nest in a value CopyFrom copies. No caller nests them
    // more than a level or two; a reference to itself would nest without end.
    static constexpr int kMaxNesting = 16;

    Variant() noexcept { MarkEmpty(v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept {
        MarkEmpty(v_);
        Swap(other);
    }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            Reset();
            Swap(other);
        }
        return *this;
    }
    ~Variant() { Reset(); }

    const VARIANT* Get() const noexcept { return &v_; }
    VARIANT* Get() noexcept { return &v_; }
    VARTYPE Type() const noexcept { return V_VT(&v_); }
    const VARIANT& operator*() const noexcept { return v_; }
    const VARIANT* operator->() const noexcept { return &v_; }

    // Clears the value (VariantClear's failure, e.g. on a locked array, leaves VT_EMPTY anyway). A value
    // that owns nothing is only marked empty: datasets make and drop thousands of plain numbers and empty
    // values, and the two calls into the platform for each cost more than the rest of their handling.
    void Reset() noexcept {
        if (OwnsResources(V_VT(&v_))) ::VariantClear(&v_);
        MarkEmpty(v_);
    }
    // Address for an out-parameter; the old value is cleared first.
    VARIANT* Put() noexcept {
        Reset();
        return &v_;
    }
    // Takes over the contents of `source`, which is left VT_EMPTY.
    void Attach(VARIANT& source) noexcept {
        Reset();
        v_ = source;
        ::VariantInit(&source);
    }
    // Moves the contents out to `out` (which the caller owns and which is overwritten, not cleared).
    HRESULT Detach(VARIANT* out) noexcept {
        if (!out) return E_POINTER;
        *out = v_;
        ::VariantInit(&v_);
        return S_OK;
    }
    // A deep copy into the out-parameter `out`, which is overwritten, not cleared: COM lets a caller pass
    // an [out] VARIANT uninitialised, and clearing what it happens to hold could free anything.
    // A value another component handed out may hold an array that does not hold what it claims: it is not
    // copied (E_INVALIDARG, `out` empty).
    HRESULT CopyTo(VARIANT* out) const noexcept {
        if (!out) return E_POINTER;
        ::VariantInit(out);
        if (FAILED(CheckPlatformCopy(v_))) return E_INVALIDARG;
        return ::VariantCopy(out, const_cast<VARIANT*>(&v_));
    }
    // Replaces the value with a deep copy of `source` that keeps nothing of the caller's memory: a
    // reference (VT_BYREF, to a VARIANT too, and in the elements of an array of VARIANTs) is copied as the
    // value it refers to. Scripts pass every variable by reference and may free it once the call returns,
    // while whoever keeps the copy reads it later. E_INVALIDARG for a null reference, references nested
    // beyond any real use (one that refers to itself), an array that does not hold what its type claims and
    // a VARIANT that claims to hold a VARIANT other than by reference; on failure the old value stays.
    HRESULT CopyFrom(const VARIANT& source) noexcept {
        // A number (or nothing) is copied by its bits, as the platform's copy would: datasets copy many.
        if (!OwnsResources(V_VT(&source))) {
            const VARIANT bits = source;
            Reset();
            v_ = bits;
            return S_OK;
        }
        Variant copy;
        const HRESULT hr = CopyValueOf(source, copy);
        if (FAILED(hr)) return hr;
        Swap(copy);
        return S_OK;
    }
    HRESULT ChangeType(VARTYPE vt, LCID lcid = 0, USHORT flags = 0) noexcept {
        // A value of that type already stays as it is: the platform would copy it (a string or an array
        // two and three times over) only to give back the same value.
        if (Type() == vt && !(vt & VT_BYREF)) return S_OK;
        // The platform copies the value before it converts it: an array that does not hold what it claims
        // does not convert.
        if (FAILED(CheckPlatformCopy(v_))) return DISP_E_TYPEMISMATCH;
        return ::VariantChangeTypeEx(&v_, &v_, lcid, flags, vt);
    }

    // Typed setters; each clears the old value first.
    void SetI4(LONG value) noexcept {
        Put()->vt = VT_I4;
        v_.lVal = value;
    }
    void SetUI4(ULONG value) noexcept {
        Put()->vt = VT_UI4;
        v_.ulVal = value;
    }
    void SetI2(SHORT value) noexcept {
        Put()->vt = VT_I2;
        v_.iVal = value;
    }
    void SetUI1(BYTE value) noexcept {
        Put()->vt = VT_UI1;
        v_.bVal = value;
    }
    void SetR4(FLOAT value) noexcept {
        Put()->vt = VT_R4;
        v_.fltVal = value;
    }
    void SetR8(DOUBLE value) noexcept {
        Put()->vt = VT_R8;
        v_.dblVal = value;
    }
    void SetBool(bool value) noexcept {
        Put()->vt = VT_BOOL;
        v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    // Takes ownership of `s`.
    void AttachBstr(BSTR s) noexcept {
        Put()->vt = VT_BSTR;
        v_.bstrVal = s;
    }
    HRESULT SetBstr(const wchar_t* text) noexcept {
        BSTR s = ::SysAllocString(text ? text : L"");
        if (!s) return E_OUTOFMEMORY;
        AttachBstr(s);
        return S_OK;
    }
    // Takes ownership of `array`; `vt` is the element type (VT_ARRAY is added).
    void AttachArray(VARTYPE elementType, SAFEARRAY* array) noexcept {
        Put()->vt = static_cast<VARTYPE>(VT_ARRAY | elementType);
        v_.parray = array;
    }
    // Adds a reference to `unknown`.
    void SetUnknown(IUnknown* unknown) noexcept {
        Put()->vt = VT_UNKNOWN;
        v_.punkVal = unknown;
        if (unknown) unknown->AddRef();
    }
    void SetDispatch(IDispatch* dispatch) noexcept {
        Put()->vt = VT_DISPATCH;
        v_.pdispVal = dispatch;
        if (dispatch) dispatch->AddRef();
    }
    void SetError(SCODE code) noexcept {
        Put()->vt = VT_ERROR;
        v_.scode = code;
    }

    void Swap(Variant& other) noexcept { std::swap(v_, other.v_); }

    // Whether clearing a value of `type` has anything to release: strings, objects, records, arrays and
    // references (and codes no VARIANT may hold, which VariantClear refuses) go to the platform; the
    // numbers, VT_EMPTY and VT_NULL do not.
    static constexpr bool OwnsResources(VARTYPE type) noexcept {
        switch (type) {
            case VT_EMPTY:
            case VT_NULL:
            case VT_I1:
            case VT_UI1:
            case VT_I2:
            case VT_UI2:
            case VT_I4:
            case VT_UI4:
            case VT_INT:
            case VT_UINT:
            case VT_I8:
            case VT_UI8:
            case VT_R4:
            case VT_R8:
            case VT_CY:
            case VT_DATE:
            case VT_BOOL:
            case VT_ERROR:
            case VT_DECIMAL:
                return false;
            default:
                return true;
        }
    }

private:
    // The deep copy of CopyFrom for values that own something (Variant.cpp).
    static HRESULT CopyValueOf(const VARIANT& source, Variant& out) noexcept;

    // What VariantInit does: the type VT_EMPTY and the reserved words zero; the value part is not read.
    static void MarkEmpty(VARIANT& value) noexcept {
        static_assert(VT_EMPTY == 0, "VT_EMPTY is the zero type");
        std::memset(&value, 0, sizeof(VARTYPE) + 3 * sizeof(WORD));
    }

    VARIANT v_;
};

// Copies the element at `index` (counted from the array's lower bound, as SafeArrayGetElement counts) of
// `vector`, a caller's one-dimensional array of VARIANTs, into `out` by the checked copy (CopyFrom): the
// platform's SafeArrayGetElement would copy an element's array by what it holds, not by what it claims.
// E_INVALIDARG for an array that is no vector of VARIANTs the platform owns (IsVariantVector) and for an
// element CopyFrom refuses, DISP_E_BADINDEX for an index outside the bounds; `out` stays on failure.
HRESULT CopyVectorElement(const SAFEARRAY& vector, LONG index, Variant& out) noexcept;

}  // namespace ql
