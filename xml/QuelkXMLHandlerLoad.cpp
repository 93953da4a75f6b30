// Loading side of the XML handler: validated loads, the one-time missing-schema recovery and the text of
// a parse error.
#include <cstdio>
#include <string>
#include <string_view>

#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/AnsiText.h"
#include "values/XmlClassObjects.h"
#include "xml/MissingSchemaScan.h"
#include "xml/QuelkXMLHandlerImpl.h"

namespace {

// The parse error's code when a schema that the document names cannot be found (INET_E_OBJECT_NOT_FOUND).
constexpr LONG kMissingSchemaCode = static_cast<LONG>(0x800C0006);
// The parse-error header is formatted into a buffer of this many single-byte characters.
constexpr size_t kParseErrorHeaderBytes = 512;

// Releases what a caller's in/out document pointer holds and leaves it null.
void ReplaceCallerDocument(IXMLDOMDocument2** document) noexcept {
    ql::ComPtr<IXMLDOMDocument2> previous;
    previous.Attach(*document);
    *document = nullptr;
}

}  // namespace

HRESULT CQuelkXMLHandlerImpl::LoadXMLDocument(BSTR xml, IXMLDOMDocument2** document, VARIANT_BOOL* loaded,
                                              CQuelkMessageSink* report) noexcept {
    if (!schemaCollection_ || !document || !loaded) return E_POINTER;
    *loaded = VARIANT_FALSE;

    ql::ComPtr<IXMLDOMDocument2> fresh;
    HRESULT hr = CreateXmlObject(CLSID_DOMDocument, CLSCTX_ALL, IID_IXMLDOMDocument2, fresh.PutVoid());
    if (FAILED(hr) || !fresh) {
        Report(report, "::LoadXMLDocument\nCoCreateInstance on IXMLDOMDocument failed!\n(CODE == %08X)",
               CodeBits(hr));
        return FAILED(hr) ? hr : E_FAIL;
    }
    QL_RETURN_IF_FAILED(LoadValidated(xml, fresh, loaded, report));

    if (*loaded == VARIANT_FALSE) {
        ql::Bstr text;
        hr = GetParseError(fresh.Get(), text.Put(), report);
        if (hr == S_OK) {
            std::string narrow;
            (void)WideToAnsi(text.View(), narrow);  // a reason that cannot be converted reports empty
            Report(report, "::LoadXMLDocument (ParseError)\n%s", narrow.c_str());
        }
        // A text that does not parse is no failure of the call: the caller reads the flag.
        return hr;
    }

    *loaded = VARIANT_FALSE;
    ReplaceCallerDocument(document);
    hr = fresh->QueryInterface(IID_IXMLDOMDocument2, reinterpret_cast<void**>(document));
    if (SUCCEEDED(hr) && *document) {
        *loaded = VARIANT_TRUE;
        return S_OK;
    }
    Report(report, "::LoadXMLDocument\nQI on IXMLDOMDocument2 failed! (CODE: %08X)", CodeBits(hr));
    return FAILED(hr) ? hr : E_FAIL;
}

HRESULT CQuelkXMLHandlerImpl::LoadValidated(BSTR xml, ql::ComPtr<IXMLDOMDocument2>& document,
                                            VARIANT_BOOL* loaded, CQuelkMessageSink* report) noexcept {
    ql::ComPtr<IUnknown> cache;
    HRESULT hr = schemaCollection_.QueryTo(IID_IUnknown, cache.PutVoid());
    if (FAILED(hr) || !cache) {
        Report(report, "::LoadXMLDocument\nIUnknown not retrieved from IXMLSchemaCache!\nHRESULT = %08X",
               CodeBits(hr));
        return FAILED(hr) ? hr : E_FAIL;
    }
    ql::Variant schemas;
    schemas.SetUnknown(cache.Get());
    hr = document->putref_schemas(*schemas.Get());
    if (FAILED(hr)) {
        Report(report, "::LoadXMLDocument\nIXMLDOMDocument2->putref_schemas() returns %08X\n", CodeBits(hr));
        return hr;
    }

    // Validation while parsing, external references, white space and async mode all stay at the
    // parser's defaults: the parser validates against the schemas the document's "x-schema:" namespaces
    // name, and the attached collection supplies them.
    hr = document->loadXML(xml, loaded);
    if (FAILED(hr)) {
        Report(report, "::LoadXMLDocument\nIXMLDOMDocument2->loadXML() returns %08X\n", CodeBits(hr));
        return hr;
    }
    if (*loaded == VARIANT_FALSE) {
        VARIANT_BOOL retry = VARIANT_FALSE;
        // One silent retry when a missing schema could be added; never a third load. The second load's
        // own code is not looked at: its flag decides.
        if (AddMissingSchema(document.Get(), &retry) == S_OK && retry == VARIANT_TRUE) {
            (void)document->loadXML(xml, loaded);
        }
    }
    return S_OK;
}

HRESULT CQuelkXMLHandlerImpl::GetParseError(IXMLDOMDocument* document, BSTR* text,
                                            CQuelkMessageSink* report) noexcept {
    if (!document || !text) return E_POINTER;

    ql::ComPtr<IXMLDOMParseError> parseError;
    const HRESULT hr = document->get_parseError(parseError.Put());
    if (FAILED(hr) || !parseError) {
        Report(report,
               "CQuelkXMLHandlerImpl::GetParseError\nget_parseError on IXMLDOMDocument failed!\n"
               "(CODE == %08X)",
               CodeBits(hr));
        return FAILED(hr) ? hr : E_FAIL;
    }

    // Each value stays 0 (or empty) when its read fails; the reads' codes are not looked at.
    LONG code = 0, line = 0, column = 0, value = 0;
    if (SUCCEEDED(parseError->get_errorCode(&value))) code = value;
    if (SUCCEEDED(parseError->get_line(&value))) line = value;
    if (SUCCEEDED(parseError->get_linepos(&value))) column = value;
    ql::Bstr reason;
    if (FAILED(parseError->get_reason(reason.Put()))) reason.Reset();

    char header[kParseErrorHeaderBytes];
    std::snprintf(header, sizeof(header), "Error 0x%08x\nLine %ld, Column %ld\n\n", CodeBits(code),
                  static_cast<long>(line), static_cast<long>(column));
    ql::Bstr joined;
    QL_RETURN_IF_FAILED(AnsiToBstr(header, joined));
    // Without memory for the joined text the header alone is the text.
    (void)joined.Append(reason.View());

    ql::Bstr previous;
    previous.Attach(*text);
    *text = joined.Detach();
    return S_OK;
}

HRESULT CQuelkXMLHandlerImpl::AddMissingSchema(IXMLDOMDocument* document, VARIANT_BOOL* retry) noexcept {
    QL_RETURN_IF_NULL_OUT(retry);
    *retry = VARIANT_FALSE;
    if (!document) return E_POINTER;

    ql::ComPtr<IXMLDOMParseError> parseError;
    // A document without a parse error object has no missing schema to add (checked below).
    (void)document->get_parseError(parseError.Put());
    if (!parseError) return S_OK;
    LONG code = 0;
    if (FAILED(parseError->get_errorCode(&code)) || code != kMissingSchemaCode) return S_OK;
    ql::Bstr reason;
    if (FAILED(parseError->get_reason(reason.Put())) || reason.IsNull()) return S_OK;

    bool anyAdded = false;
    const HRESULT result = ql::GuardComCall([&] {
        return ScanMissingSchemaNames(reason.View(), [&](std::wstring_view name) -> HRESULT {
            ql::Bstr fileName;
            QL_RETURN_IF_FAILED(fileName.Assign(name));
            // Straight from the handler's folder: the registry fallback of AddSchema takes no part here.
            // The location is joined like every other, so a folder that ends in a backslash gets no
            // second one.
            BOOL added = FALSE;
            const HRESULT hr = AddSchemaFile(schemaDirectory_.CStr(), fileName.CStr(), &added);
            if (hr == S_OK) anyAdded = true;
            return hr;
        });
    });
    *retry = anyAdded ? VARIANT_TRUE : VARIANT_FALSE;
    return result;
}
