#include "xml/MissingSchemaScan.h"

namespace {
constexpr wchar_t kQuote = L'\'';
constexpr wchar_t kLineFeed = L'\n';
}  // namespace

HRESULT ScanMissingSchemaNames(std::wstring_view reason, const SchemaNameSink& addName) {
    std::size_t lineStart = 0;
    while (lineStart <= reason.size()) {
        const std::size_t open = reason.find(kQuote, lineStart);
        if (open == std::wstring_view::npos || open == lineStart) break;
        const std::size_t nameStart = open + 1;
        const std::size_t close = reason.find(kQuote, nameStart);
        if (close == std::wstring_view::npos || close == nameStart) return E_FAIL;
        const std::size_t nameLength = close - nameStart;
        if (nameLength > kMaxSchemaNameLength) return E_FAIL;

        const HRESULT added = addName(reason.substr(nameStart, nameLength));
        if (added != S_OK) return added;

        // The next search starts after the line feed that follows the current line start, not after the
        // name.
        const std::size_t lineFeed = reason.find(kLineFeed, lineStart);
        if (lineFeed == std::wstring_view::npos) break;
        lineStart = lineFeed + 1;
    }
    return S_OK;
}
