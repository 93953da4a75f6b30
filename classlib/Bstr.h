#pragma once
// Owner of one BSTR. Not copyable by accident: copies are made with Copy(), which reports failure.
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>
#include <utility>

namespace ql {

class Bstr {
public:
    Bstr() noexcept = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~Bstr() { Reset(); }

    // Allocating constructors leave the owner empty (IsNull) when memory runs out; code that must
    // tell "empty" from "failed" uses Assign, which answers E_OUTOFMEMORY.
    explicit Bstr(std::wstring_view text) noexcept { (void)Assign(text); }
    explicit Bstr(const wchar_t* text) noexcept {
        if (text) (void)Assign(std::wstring_view(text));
    }

    HRESULT Assign(std::wstring_view text) noexcept {
        BSTR s = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!s) return E_OUTOFMEMORY;
        Attach(s);
        return S_OK;
    }
    // A deep copy of a BSTR (embedded NULs kept); null copies to null.
    HRESULT AssignCopy(BSTR source) noexcept {
        if (!source) {
            Reset();
            return S_OK;
        }
        BSTR s = ::SysAllocStringLen(source, ::SysStringLen(source));
        if (!s) return E_OUTOFMEMORY;
        Attach(s);
        return S_OK;
    }

    BSTR Get() const noexcept { return s_; }
    bool IsNull() const noexcept { return s_ == nullptr; }
    UINT Length() const noexcept { return ::SysStringLen(s_); }
    bool IsEmpty() const noexcept { return Length() == 0; }
    // Never null: a null BSTR reads as "".
    const wchar_t* CStr() const noexcept { return s_ ? s_ : L""; }
    std::wstring_view View() const noexcept { return std::wstring_view(CStr(), Length()); }

    void Attach(BSTR s) noexcept {
        if (s == s_) return;
        Reset();
        s_ = s;
    }
    void Reset() noexcept {
        BSTR old = s_;
        s_ = nullptr;
        if (old) ::SysFreeString(old);
    }
    BSTR Detach() noexcept {
        BSTR s = s_;
        s_ = nullptr;
        return s;
    }
    // Address for an out-parameter; the old string is freed first.
    BSTR* Put() noexcept {
        Reset();
        return &s_;
    }
    // Hands a fresh copy to the caller (the caller frees it).
    HRESULT CopyTo(BSTR* out) const noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!s_) return S_OK;
        *out = ::SysAllocStringLen(s_, ::SysStringLen(s_));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT Append(std::wstring_view text) noexcept {
        std::wstring joined;
        try {
            joined.reserve(Length() + text.size());
            joined.append(View()).append(text);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        return Assign(joined);
    }

    void Swap(Bstr& other) noexcept { std::swap(s_, other.s_); }

private:
    BSTR s_ = nullptr;
};

}  // namespace ql
