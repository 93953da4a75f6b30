#include "values/DisplayText.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <string>
#include <string_view>

#include "classlib/Bstr.h"
#include "values/AnsiText.h"
#include "values/HexText.h"

namespace {

constexpr VARTYPE kBaseTypeMask = 0x0FFF;

struct TypeName {
    VARTYPE base;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {VT_EMPTY, "VT_EMPTY"},
    {VT_NULL, "VT_NULL"},
    {VT_I2, "VT_I2"},
    {VT_I4, "VT_I4"},
    {VT_R4, "VT_R4"},
    {VT_R8, "VT_R8"},
    {VT_CY, "VT_CY"},
    {VT_DATE, "VT_DATE"},
    {VT_BSTR, "VT_BSTR"},
    {VT_ERROR, "VT_ERROR"},
    {VT_BOOL, "VT_BOOL"},
    {VT_VARIANT, "VT_VARIANT"},
    {VT_DECIMAL, "VT_DECIMAL"},
    {VT_I1, "VT_I1"},
    {VT_UI1, "VT_UI1"},
    {VT_UI2, "VT_UI2"},
    {VT_UI4, "VT_UI4"},
    {VT_I8, "VT_I8"},
    {VT_UI8, "VT_UI8"},
    {VT_INT, "VT_INT"},
    {VT_UINT, "VT_UINT"},
    {VT_VOID, "VT_VOID"},
    {VT_SAFEARRAY, "VT_SAFEARRAY"},
    {VT_USERDEFINED, "VT_USERDEFINED"},
    {VT_LPSTR, "VT_LPSTR"},
    {VT_LPWSTR, "VT_LPWSTR"},
    {VT_RECORD, "VT_RECORD"},
    {VT_FILETIME, "VT_FILETIME"},
    {VT_BLOB, "VT_BLOB"},
    {VT_STREAM, "VT_STREAM"},
    {VT_STORAGE, "VT_STORAGE"},
    {VT_STREAMED_OBJECT, "VT_STREAMED_OBJECT"},
    {VT_BLOB_OBJECT, "VT_BLOB_OBJECT"},
    {VT_CF, "VT_CF"},
    {VT_CLSID, "VT_CLSID"},
};

struct FlagSuffix {
    VARTYPE flag;
    const char* suffix;
};

// In the order they are appended.
constexpr FlagSuffix kFlagSuffixes[] = {
    {VT_VECTOR, " | VT_VECTOR"},
    {VT_ARRAY, " | VT_ARRAY"},
    {VT_RESERVED, " | VT_RESERVED"},
};

// printf into a buffer of `size` bytes: the text is cut to fit and always ends with a zero, whichever
// runtime formats (one of them leaves a cut text unterminated).
void FormatBounded(char* text, size_t size, const char* format, ...) noexcept {
    text[0] = '\0';
    va_list args;
    va_start(args, format);
    (void)std::vsnprintf(text, size, format, args);  // cut to fit, as above
    va_end(args);
    text[size - 1] = '\0';
}

void CopyBounded(char* text, size_t size, std::string_view source) noexcept {
    const size_t length = std::min(source.size(), size - 1);
    std::memcpy(text, source.data(), length);
    text[length] = '\0';
}

const char* FindTypeName(VARTYPE base) noexcept {
    for (const TypeName& entry : kTypeNames) {
        if (entry.base == base) return entry.name;
    }
    return nullptr;
}

using DisplayFormatter = void (*)(const VARIANT& value, char* text, size_t size);

void ShowNothing(const VARIANT&, char* text, size_t) { text[0] = '\0'; }
void ShowEllipsis(const VARIANT&, char* text, size_t size) { CopyBounded(text, size, "..."); }
void ShowI1(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%i", static_cast<int>(static_cast<signed char>(v.cVal)));
}
void ShowI2(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%i", static_cast<int>(v.iVal));
}
void ShowI4(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%li", static_cast<long>(v.lVal));
}
void ShowUI1(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%u", static_cast<unsigned>(v.bVal));
}
void ShowUI2(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%u", static_cast<unsigned>(v.uiVal));
}
void ShowUI4(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%lu", static_cast<unsigned long>(v.ulVal));
}
void ShowR4(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "%f", static_cast<double>(v.fltVal));
}
void ShowR8(const VARIANT& v, char* text, size_t size) { FormatBounded(text, size, "%lf", v.dblVal); }
void ShowError(const VARIANT& v, char* text, size_t size) {
    FormatBounded(text, size, "0x%08X", static_cast<unsigned>(v.scode));
}
void ShowBool(const VARIANT& v, char* text, size_t size) {
    CopyBounded(text, size, v.boolVal == VARIANT_TRUE ? "True" : "False");
}
void ShowString(const VARIANT& v, char* text, size_t size) {
    text[0] = '\0';
    if (!v.bstrVal) return;
    std::string narrow;
    if (SUCCEEDED(WideToAnsi(std::wstring_view(v.bstrVal, std::wcslen(v.bstrVal)), narrow))) {
        CopyBounded(text, size, narrow);
    }
}
// The text of BytesToHexBstr, cut to kByteArrayDisplayDigits; empty when the array cannot be read.
void ShowBytes(const VARIANT& v, char* text, size_t size) {
    text[0] = '\0';
    ql::Bstr hex;
    if (FAILED(BytesToHexBstr(&v, hex.Put(), FALSE))) return;
    std::string narrow;
    if (SUCCEEDED(WideToAnsi(hex.View().substr(0, kByteArrayDisplayDigits), narrow)))
        CopyBounded(text, size, narrow);
}

struct DisplayEntry {
    VARTYPE type;
    DisplayFormatter show;
};

constexpr DisplayEntry kDisplays[] = {
    {VT_EMPTY, ShowNothing},
    {VT_NULL, ShowNothing},
    {VT_VOID, ShowNothing},
    {VT_I1, ShowI1},
    {VT_I2, ShowI2},
    {VT_I4, ShowI4},
    {VT_INT, ShowI4},
    {VT_UI1, ShowUI1},
    {VT_UI2, ShowUI2},
    {VT_UI4, ShowUI4},
    {VT_UINT, ShowUI4},
    {VT_R4, ShowR4},
    {VT_R8, ShowR8},
    {VT_ERROR, ShowError},
    {VT_BOOL, ShowBool},
    {VT_BSTR, ShowString},
    {kByteArrayType, ShowBytes},
};

}  // namespace

void VarTypeToString(VARTYPE type, char* text, size_t textSize) noexcept {
    if (!text || textSize == 0) return;
    const VARTYPE base = static_cast<VARTYPE>(type & kBaseTypeMask);
    char unnamed[kVarTypeTextSize];
    const char* name = FindTypeName(base);
    if (!name) {
        FormatBounded(unnamed, sizeof unnamed, "Unknown (%d)", static_cast<int>(base));
        name = unnamed;
    }
    const char* suffixes[std::size(kFlagSuffixes)];
    for (size_t i = 0; i < std::size(kFlagSuffixes); ++i) {
        suffixes[i] = (type & kFlagSuffixes[i].flag) ? kFlagSuffixes[i].suffix : "";
    }
    FormatBounded(text, textSize, "%s%s%s%s", name, suffixes[0], suffixes[1], suffixes[2]);
}

void VariantToDisplayString(const VARIANT* value, char* text, size_t textSize) noexcept {
    if (!text || textSize == 0) return;
    text[0] = '\0';
    if (!value) return;
    for (const DisplayEntry& entry : kDisplays) {
        if (entry.type == V_VT(value)) return entry.show(*value, text, textSize);
    }
    ShowEllipsis(*value, text, textSize);
}
