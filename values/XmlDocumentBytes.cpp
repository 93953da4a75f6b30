#include "values/XmlDocumentBytes.h"

#include <string>

#include "classlib/HResult.h"
#include "classlib/Utf8.h"
#include "values/AnsiText.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";
// A declaration is short; its end is looked for no further than this.
constexpr size_t kDeclarationSearchBytes = 256;

struct NamedCodePage {
    const char* name;
    UINT codePage;
};

// The names of the single-byte encodings a list may declare, lower case.
constexpr NamedCodePage kCodePages[] = {
    {"us-ascii", 20127},    {"iso-8859-1", 28591},  {"iso-8859-2", 28592},  {"iso-8859-15", 28605},
    {"windows-1250", 1250}, {"windows-1251", 1251}, {"windows-1252", 1252}, {"windows-1253", 1253},
    {"windows-1254", 1254}, {"windows-1257", 1257},
};

bool StartsWith(std::string_view bytes, std::string_view prefix) noexcept {
    return bytes.substr(0, prefix.size()) == prefix;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The encoding name of a leading declaration, lower case; empty when there is none.
std::string DeclaredEncoding(std::string_view bytes) {
    if (!StartsWith(bytes, "<?xml")) return {};
    const std::string_view declaration = bytes.substr(0, bytes.find("?>", 0));
    if (declaration.size() > kDeclarationSearchBytes) return {};
    size_t at = declaration.find("encoding");
    if (at == std::string_view::npos) return {};
    at = declaration.find_first_of("\"'", at);
    if (at == std::string_view::npos) return {};
    const size_t end = declaration.find(declaration[at], at + 1);
    if (end == std::string_view::npos) return {};
    return Lower(declaration.substr(at + 1, end - at - 1));
}

HRESULT FromUtf16(std::string_view bytes, bool bigEndian, ql::Bstr& text) {
    QL_RETURN_HR_IF(E_FAIL, bytes.size() % 2 != 0);
    std::wstring wide(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 * i]);
        const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
        wide[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text.Assign(wide);
}

HRESULT FromUtf8(std::string_view bytes, ql::Bstr& text) {
    std::wstring wide;
    QL_RETURN_HR_IF(E_FAIL, !ql::TryWideFromUtf8(bytes, wide));
    return text.Assign(wide);
}

}  // namespace

HRESULT XmlBytesToBstr(std::string_view bytes, ql::Bstr& text) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        if (StartsWith(bytes, kUtf8Mark)) return FromUtf8(bytes.substr(kUtf8Mark.size()), text);
        if (StartsWith(bytes, kUtf16LittleEndianMark))
            return FromUtf16(bytes.substr(kUtf16LittleEndianMark.size()), false, text);
        if (StartsWith(bytes, kUtf16BigEndianMark))
            return FromUtf16(bytes.substr(kUtf16BigEndianMark.size()), true, text);

        const std::string encoding = DeclaredEncoding(bytes);
        if (encoding.empty()) {
            // Lists written before the system wrote UTF-8 are in the ANSI code page.
            if (SUCCEEDED(FromUtf8(bytes, text))) return S_OK;
            return AnsiToBstr(bytes, text);
        }
        if (encoding == "utf-8") return FromUtf8(bytes, text);
        for (const NamedCodePage& known : kCodePages) {
            if (encoding == known.name) return CodePageToBstr(known.codePage, bytes, text);
        }
        return E_FAIL;
    });
}
