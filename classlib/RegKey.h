#pragma once
// Owner of one open registry key, with the few typed reads the system needs.
#include <windows.h>

#include <string>
#include <utility>

namespace ql {

class RegKey {
public:
    RegKey() noexcept = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& other) noexcept : key_(other.Detach()) {}
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~RegKey() { Reset(); }

    // Opens `subKey` below `parent`; a missing key answers HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND).
    HRESULT Open(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ) noexcept {
        HKEY key = nullptr;
        const LONG status = ::RegOpenKeyExW(parent, subKey, 0, access, &key);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        Attach(key);
        return S_OK;
    }
    // Opens or creates `subKey` below `parent`.
    HRESULT Create(HKEY parent, const wchar_t* subKey, REGSAM access = KEY_READ | KEY_WRITE) noexcept {
        HKEY key = nullptr;
        const LONG status = ::RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                                              nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        Attach(key);
        return S_OK;
    }

    HKEY Get() const noexcept { return key_; }
    void Attach(HKEY key) noexcept {
        if (key == key_) return;
        Reset();
        key_ = key;
    }
    void Reset() noexcept {
        HKEY old = key_;
        key_ = nullptr;
        if (old) ::RegCloseKey(old);
    }
    HKEY Detach() noexcept { return std::exchange(key_, nullptr); }

    // A REG_SZ or REG_EXPAND_SZ value (not expanded); `name` null or "" reads the default value.
    HRESULT QueryString(const wchar_t* name, std::wstring& out) const {
        out.clear();
        // Most values fit a path's length: one read (one round trip) for them, a second only for longer.
        wchar_t shortText[MAX_PATH + 1];
        DWORD type = 0, bytes = sizeof shortText;
        LONG status =
            ::RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(shortText), &bytes);
        if (status == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE);
            out.assign(shortText, bytes / sizeof(wchar_t));
            while (!out.empty() && out.back() == L'\0') out.pop_back();  // the stored terminator is optional
            return S_OK;
        }
        if (status != ERROR_MORE_DATA) return HRESULT_FROM_WIN32(status);
        if (type != REG_SZ && type != REG_EXPAND_SZ) return HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE);
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &bytes);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        text.resize(bytes / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        out = std::move(text);
        return S_OK;
    }
    // Writes a REG_SZ value; `name` null or "" writes the default value.
    HRESULT SetString(const wchar_t* name, const std::wstring& value) const noexcept {
        const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        const LONG status =
            ::RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
        return HRESULT_FROM_WIN32(status);
    }
    HRESULT QueryDword(const wchar_t* name, DWORD& out) const noexcept {
        DWORD type = 0, bytes = sizeof(out);
        const LONG status =
            ::RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &bytes);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        return type == REG_DWORD ? S_OK : HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE);
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace ql
