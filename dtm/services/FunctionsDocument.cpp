#include "dtm/services/FunctionsDocument.h"

#include <new>
#include <string>
#include <string_view>

#include "classlib/HResult.h"
#include "dtm/services/FormatBstr.h"
#include "dtm/services/QuelkUiFunctionTable.h"
#include "values/AnsiText.h"
#include "values/XmlText.h"

namespace {

// The element templates; "\t" is one tab, every blank is literal.
constexpr wchar_t kStatusTemplate[] =
    L"<Status \ttoggle =\"%d\" \tchecked =\"%d\" \tenabled =\"%d\" \thidden =\"%d\" \tseparator =\"%d\" />";
constexpr wchar_t kFunctionTemplate[] =
    L"<Function \tlabel =\"%ls\" \tfdt:name =\"%ls\" \thelp =\"%ls\" \thasGUI =\"%d\" \tfunctionId =\"%d\" "
    L"\tprintable=\"%d\" \tresizable=\"%d\"> \t%ls </Function>";
constexpr wchar_t kApplicationIdTemplate[] = L"<appId:ApplicationId applicationId=\"%ls\"/>";
constexpr wchar_t kStandardFunctionTemplate[] =
    L"<StandardFunction \tfdt:name =\"%ls\" \thelp =\"%ls\" \tfunctionId =\"%d\" "
    L"\tprintableStandardFunction=\"%d\" \tresizableStandardFunction=\"%d\"> \t%ls \t%ls </StandardFunction>";
constexpr wchar_t kMimeTypeTemplate[] = L"<MimeType mime-type=\"%ls\" />";
constexpr wchar_t kOpenWithTemplate[] = L"<OpenWith programName=\"%ls\" />";
constexpr wchar_t kDocumentTemplate[] =
    L"<Document \tlabel=\"%ls\" \thelp=\"%ls\" \tpath=\"%ls\"> \t%ls </Document>";
constexpr wchar_t kGroupOpenTemplate[] = L"<Functions \tlabel=\"%ls\" \tfdt:name=\"%ls\" \thelp=\"%ls\"> ";
constexpr wchar_t kGroupClose[] = L"</Functions>";
constexpr wchar_t kStandardGroupOpenTemplate[] =
    L"<StandardFunctions \tfdt:name=\"%ls\" \thelp=\"%ls\"> %ls ";
constexpr wchar_t kStandardGroupClose[] = L"</StandardFunctions>";
constexpr wchar_t kDocumentWrapper[] =
    L"<?xml version=\"1.0\"?> <FDT xmlns          =\"x-schema:DTMFunctionsSchema.xml\" \t xmlns:fdt      "
    L"=\"x-schema:FDTDataTypesSchema.xml\" \t xmlns:appId =\"x-schema:FDTApplicationIdSchema.xml\"> "
    L"\t<Functions "
    L"\t\tlabel    =\"Functions\" \t\tfdt:name =\"\" \t\thelp     =\"\" \t> \t\t%ls \t</Functions> </FDT>";

int Flag(bool set) noexcept { return set ? 1 : 0; }

// A row's texts, each escaped for an attribute.
struct RowTexts {
    ql::Bstr name;
    ql::Bstr label;
    ql::Bstr help;
};

HRESULT Escape(ql::Bstr& text) noexcept {
    ql::Bstr escaped;
    QL_RETURN_IF_FAILED(EscapeXmlText(text.CStr(), escaped.Put()));
    text = std::move(escaped);
    return S_OK;
}

// The translated text, else the row's own text read as ANSI text; escaped.
HRESULT FetchText(IFunctionTextSource& texts, const QuelkUiFunction& row, LPCSTR reference,
                  const char* attribute, ql::Bstr& text) noexcept {
    if (FAILED(texts.GetFunctionText(reference, static_cast<LONG>(row.FunctionId), attribute, text))) {
        QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(TextReferenceAsAnsi(reference)), text));
    }
    return Escape(text);
}

HRESULT FetchRowTexts(IFunctionTextSource& texts, const QuelkUiFunction& row, RowTexts& out) noexcept {
    QL_RETURN_IF_FAILED(FetchText(texts, row, row.Name, "Name", out.name));
    QL_RETURN_IF_FAILED(FetchText(texts, row, row.Label, "Label", out.label));
    QL_RETURN_IF_FAILED(FetchText(texts, row, row.Help, "Help", out.help));
    // The icon's text is asked for but has no place in the document.
    ql::Bstr icon;
    return FetchText(texts, row, row.IconName, "IconName", icon);
}

HRESULT AnsiAttribute(LPCSTR text, ql::Bstr& out) noexcept {
    QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(TextReferenceAsAnsi(text)), out));
    return Escape(out);
}

HRESULT StatusElement(const QuelkUiFunction& row, ql::Bstr& element) noexcept {
    return FormatBstr(element, kStatusTemplate, Flag(row.Status & kUiStatusToggle),
                      Flag(row.Status & kUiStatusChecked), Flag(row.Status & kUiStatusEnabled),
                      Flag(row.Status & kUiStatusHidden), Flag(row.Kind == kUiSeparator));
}

// S_FALSE when the application id is not in the keyword table: the row is left out.
HRESULT ApplicationIdElement(const QuelkUiFunction& row, ql::Bstr& element) noexcept {
    const char* keyword = ApplicationIdKeyword(row.ApplicationId);
    if (!keyword) return S_FALSE;
    ql::Bstr text;
    QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(keyword), text));
    return FormatBstr(element, kApplicationIdTemplate, text.CStr());
}

HRESULT DocumentElement(IFunctionTextSource& texts, const QuelkUiFunction& row, const RowTexts& rowTexts,
                        ql::Bstr& element) noexcept {
    ql::Bstr path;
    if (FAILED(texts.GetReferenceText(row.DocumentPath, path))) {
        QL_RETURN_IF_FAILED(AnsiToBstr(std::string_view(TextReferenceAsAnsi(row.DocumentPath)), path));
    }
    QL_RETURN_IF_FAILED(Escape(path));
    ql::Bstr child;
    if (row.MimeType) {
        ql::Bstr mime;
        QL_RETURN_IF_FAILED(AnsiAttribute(row.MimeType, mime));
        QL_RETURN_IF_FAILED(FormatBstr(child, kMimeTypeTemplate, mime.CStr()));
    } else if (row.OpenWith) {
        ql::Bstr program;
        QL_RETURN_IF_FAILED(AnsiAttribute(row.OpenWith, program));
        QL_RETURN_IF_FAILED(FormatBstr(child, kOpenWithTemplate, program.CStr()));
    }
    return FormatBstr(element, kDocumentTemplate, rowTexts.label.CStr(), rowTexts.help.CStr(), path.CStr(),
                      child.CStr());
}

// The element of one listed row; S_FALSE when the row is left out.
HRESULT RowElement(IFunctionTextSource& texts, const QuelkUiFunction& row, ql::Bstr& element) noexcept {
    if (row.Kind > kUiSeparator) return S_FALSE;
    RowTexts rowTexts;
    QL_RETURN_IF_FAILED(FetchRowTexts(texts, row, rowTexts));
    ql::Bstr status;
    ql::Bstr applicationId;
    switch (row.Kind) {
        case kUiFunction:
        case kUiFunctionWithGui:
        case kUiSeparator:
            QL_RETURN_IF_FAILED(StatusElement(row, status));
            return FormatBstr(element, kFunctionTemplate, rowTexts.label.CStr(), rowTexts.name.CStr(),
                              rowTexts.help.CStr(), Flag(row.Kind == kUiFunctionWithGui),
                              static_cast<int>(row.FunctionId), Flag(row.Printable != 0),
                              Flag(row.Resizable != 0), status.CStr());
        case kUiStandardFunction: {
            const HRESULT known = ApplicationIdElement(row, applicationId);
            if (known != S_OK) return known;
            QL_RETURN_IF_FAILED(StatusElement(row, status));
            return FormatBstr(element, kStandardFunctionTemplate, rowTexts.name.CStr(), rowTexts.help.CStr(),
                              static_cast<int>(row.FunctionId), Flag(row.Printable != 0),
                              Flag(row.Resizable != 0), status.CStr(), applicationId.CStr());
        }
        case kUiDocument:
            return DocumentElement(texts, row, rowTexts, element);
        case kUiFunctionsGroupOpen:
            return FormatBstr(element, kGroupOpenTemplate, rowTexts.label.CStr(), rowTexts.name.CStr(),
                              rowTexts.help.CStr());
        case kUiFunctionsGroupClose:
            return element.Assign(kGroupClose);
        case kUiStandardGroupOpen: {
            const HRESULT known = ApplicationIdElement(row, applicationId);
            if (known != S_OK) return known;
            return FormatBstr(element, kStandardGroupOpenTemplate, rowTexts.name.CStr(), rowTexts.help.CStr(),
                              applicationId.CStr());
        }
        case kUiStandardGroupClose:
            return element.Assign(kStandardGroupClose);
        default:
            return S_FALSE;
    }
}

bool IsListed(const QuelkUiFunction& row, ULONG userLevel, ULONG phase) noexcept {
    return userLevel >= row.MinUserLevel && (row.OperationPhaseMask & phase) == phase && row.Excluded == 0;
}

}  // namespace

const char* TextReferenceAsAnsi(LPCSTR reference) noexcept {
    if (!reference || IS_INTRESOURCE(reference)) return "";
    return reference;
}

HRESULT BuildFunctionElements(const std::vector<QuelkUiFunction>& rows, ULONG userLevel, ULONG phase,
                              IFunctionTextSource& texts, ql::Bstr& body) noexcept {
    try {
        std::wstring elements;
        for (const QuelkUiFunction& row : rows) {
            if (!IsListed(row, userLevel, phase)) continue;
            ql::Bstr element;
            const HRESULT hr = RowElement(texts, row, element);
            QL_RETURN_IF_FAILED(hr);
            if (hr == S_OK) elements += element.View();
        }
        return body.Assign(elements);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT WrapFunctionsDocument(BSTR body, ql::Bstr& document) noexcept {
    return FormatBstr(document, kDocumentWrapper, ::SysStringLen(body) > 0 ? body : L" ");
}
