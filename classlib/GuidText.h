#pragma once
// ql::GuidText: a GUID as the registry and the type libraries write it, "{xxxxxxxx-xxxx-...}" in upper case.
#include <objbase.h>

#include <string>

namespace ql {

inline std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};  // "{" + 36 characters + "}" and the zero
    ::StringFromGUID2(guid, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
    return text;
}

}  // namespace ql
