// Schema side of the XML handler: the collection, its files and the frame's route to them.
#include "xml/QuelkXMLHandlerImpl.h"

#include <cstdarg>
#include <string>
#include <string_view>

#include "FdtInterfaces.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/AnsiText.h"
#include "values/MessageFormat.h"
#include "xml/SchemaLocation.h"
#include "xml/SchemaRegistryFolder.h"

CQuelkXMLHandlerImpl::CQuelkXMLHandlerImpl() noexcept
    : classObjects_(HoldXmlClassObjects()), sharedSchemas_(HoldSharedSchemaFiles()) {}

void CQuelkXMLHandlerImpl::Report(CQuelkMessageSink* sink, const char* format, ...) noexcept {
    va_list args;
    va_start(args, format);
    ReportMessageV(sink, format, args);
    va_end(args);
}

HRESULT CQuelkXMLHandlerImpl::AddSchemaFile(const wchar_t* folder, const wchar_t* fileName,
                                            BOOL* added) noexcept {
    QL_RETURN_IF_NULL_OUT(added);
    *added = FALSE;
    if (!schemaCollection_) return S_FALSE;

    const std::wstring_view name = fileName ? fileName : L"";
    ql::Bstr schemaNamespace;
    QL_RETURN_IF_FAILED(SchemaNamespace(name, schemaNamespace));
    ql::Bstr location;
    QL_RETURN_IF_FAILED(SchemaLocation(folder ? folder : L"", name, location));
    HRESULT hr;
    if (sharedSchemas_) {
        hr = sharedSchemas_->AddTo(schemaCollection_.Get(), schemaNamespace.Get(), location.Get());
    } else {
        ql::Variant where;
        where.AttachBstr(location.Detach());
        hr = schemaCollection_->add(schemaNamespace.Get(), *where.Get());
    }
    // Only S_OK counts: S_FALSE and other success codes leave the file absent for the caller.
    *added = hr == S_OK;
    return hr;
}

HRESULT CQuelkXMLHandlerImpl::AddSchema(BSTR fileName, BOOL* added) noexcept {
    QL_RETURN_IF_NULL_OUT(added);
    *added = FALSE;
    if (!schemaCollection_) return S_FALSE;

    const wchar_t* name = fileName ? fileName : L"";
    HRESULT lastAdd = S_FALSE;  // no add made yet
    if (!schemaDirectory_.IsEmpty()) lastAdd = AddSchemaFile(schemaDirectory_.CStr(), name, added);
    if (!*added) {
        ql::Bstr registryFolder;
        if (ReadRegistrySchemaFolder(registryFolder) == S_OK) {
            lastAdd = AddSchemaFile(registryFolder.CStr(), name, added);
        }
    }
    return *added ? S_OK : lastAdd;
}

HRESULT CQuelkXMLHandlerImpl::CreateSchemaCollection(CQuelkMessageSink* report) noexcept {
    const HRESULT hr = CreateXmlObject(CLSID_XMLSchemaCache, CLSCTX_ALL, IID_IXMLDOMSchemaCollection,
                                       schemaCollection_.PutVoid());
    if (SUCCEEDED(hr) && schemaCollection_) return S_OK;
    schemaCollection_.Reset();
    Report(report, "::InitializeSchemaCache\nXMLSchemaCache creation failed!\nHRESULT = %08X", CodeBits(hr));
    return FAILED(hr) ? hr : E_FAIL;
}

HRESULT CQuelkXMLHandlerImpl::InitializeSchemaCache(const wchar_t* folder, SchemaList schemaList,
                                                    CQuelkMessageSink* report) noexcept {
    ql::Bstr newDirectory;
    if (folder) QL_RETURN_IF_FAILED(newDirectory.Assign(folder));
    schemaDirectory_ = std::move(newDirectory);

    // A collection whose creation failed is tried again on the next run; once made it stays.
    if (!schemaCollection_) QL_RETURN_IF_FAILED(CreateSchemaCollection(report));

    for (SchemaList entry = schemaList; entry && *entry && **entry; ++entry) {
        ql::Bstr fileName;
        BOOL added = FALSE;
        HRESULT hr = AnsiToBstr(*entry, fileName);
        if (SUCCEEDED(hr)) hr = AddSchema(fileName.Get(), &added);
        // One missing file does not stop the others; the owner learns of each.
        if (hr != S_OK || !added) {
            Report(report,
                   "::InitializeSchemaCache\nProblems while loading schema \"%s\".\n"
                   "IXMLDOMSchemaCollection->add() returns %08X.",
                   *entry, CodeBits(hr));
        }
    }
    return S_OK;
}

HRESULT CQuelkXMLHandlerImpl::InitSchemaCacheFromFrame(IUnknown* frame,
                                                       ql::ComPtr<IFrameContainer>& container,
                                                       CQuelkMessageSink* report) noexcept {
    // The field is cleared before the query and the old reference released after it, so a frame that
    // hands out the same container again never sees its count touch zero.
    ql::ComPtr<IFrameContainer> previous;
    previous.Swap(container);
    if (frame && FAILED(frame->QueryInterface(IID_IFrameContainer, container.PutVoid()))) container.Reset();
    previous.Reset();
    if (!container) return S_FALSE;

    ql::Bstr folder;
    QL_RETURN_IF_FAILED(container->GetSchemaFolder(folder.Put()));

    const HRESULT hr = InitializeSchemaCache(folder.Get(), BuiltInSchemaList, report);
    if (FAILED(hr)) {
        Report(report, "InitializeSchemaCache returned 0x%X, maybe there is a problem with MSXML.",
               CodeBits(hr));
        return hr;
    }
    // S_FALSE, not S_OK, on success: what the frame's registration of the control has always received.
    return S_FALSE;
}
