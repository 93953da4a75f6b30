#pragma once
// ql::SharedBstr: a text that never changes in place, shared by every copy of its owner: the companion of
// ql::SharedVariant for the texts of records that many datasets carry alike (names, descriptions, group
// paths). Copying the owner shares the text; a new text replaces the shared one as a whole (Assign,
// AssignCopy); whoever hands it out copies it (CopyTo), as with ql::Bstr. A null text stays distinct from
// an empty one.
//
// Threading: the shared text is only read once made, so owners on different threads may share it.
#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "classlib/Bstr.h"
#include "classlib/SharedConst.h"

namespace ql {

class SharedBstr {
public:
    SharedBstr() noexcept = default;  // null

    // The shared string, for reading only; null when there is none.
    BSTR Get() const noexcept { return text_ ? text_->Get() : nullptr; }
    bool IsNull() const noexcept { return Get() == nullptr; }
    UINT Length() const noexcept { return ::SysStringLen(Get()); }
    bool IsEmpty() const noexcept { return Length() == 0; }
    // Never null: a null text reads as "".
    const wchar_t* CStr() const noexcept { return text_ ? text_->CStr() : L""; }
    std::wstring_view View() const noexcept { return text_ ? text_->View() : std::wstring_view(); }

    // A new text; on failure (E_OUTOFMEMORY) the old one stays.
    HRESULT Assign(std::wstring_view text) noexcept {
        return Make([&](Bstr& made) { return made.Assign(text); });
    }
    // A copy of `source` (embedded NULs kept); null gives null.
    HRESULT AssignCopy(BSTR source) noexcept {
        if (!source) {
            Reset();
            return S_OK;
        }
        return Make([&](Bstr& made) { return made.AssignCopy(source); });
    }
    void Reset() noexcept { text_.Reset(); }
    // Hands a fresh copy to the caller (the caller frees it), as ql::Bstr::CopyTo.
    HRESULT CopyTo(BSTR* out) const noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        return text_ ? text_->CopyTo(out) : S_OK;
    }

private:
    template <class Fill>
    HRESULT Make(Fill fill) noexcept {
        return text_.Make(fill);
    }

    SharedConst<Bstr> text_;
};

}  // namespace ql
