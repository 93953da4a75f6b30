#include "xml/SchemaLocation.h"

#include <string>

#include "classlib/HResult.h"

HRESULT SchemaNamespace(std::wstring_view fileName, ql::Bstr& out) noexcept {
    return ql::GuardComCall(
        [&] { return out.Assign(std::wstring(kSchemaNamespacePrefix).append(fileName)); });
}

HRESULT SchemaLocation(std::wstring_view folder, std::wstring_view fileName, ql::Bstr& out) noexcept {
    return ql::GuardComCall([&] {
        std::wstring location(folder);
        if (location.empty() || location.back() != L'\\') location.push_back(L'\\');
        location.append(fileName);
        return out.Assign(location);
    });
}
