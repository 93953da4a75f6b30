#pragma once
// CSchemaCache: MSXML's XMLSchemaCache (IXMLDOMSchemaCollection) over the core's SchemaCollection of XDR
// schemas. Each schema is compiled when it is added; documents that have the cache as their `schemas` share
// the collection and see schemas added later (a load after a missing schema was added finds it).
// add takes a file location (a path or a file: URL, relative to the current directory) or a loaded DOM
// document of this server; a failed add leaves the collection as it was and answers the code of the failure
// (0x800C0006 for a file that does not exist, the parse error or the schema error otherwise) with the reason
// as error information.
// Threading: apartment-threaded.
#include <windows.h>

#include <msxml2.h>

#include <memory>

#include "classlib/ComObject.h"
#include "classlib/SupportErrorInfo.h"
#include "standins/common/DispatchStub.h"
#include "standins/msxml/core/SchemaCollection.h"

namespace msxml_standin {

class CSchemaCache final : public ql::ComObjectBase<CSchemaCache>,
                           public standins::DispatchStub<IXMLDOMSchemaCollection>,
                           public ql::SupportErrorInfoImpl<&IID_IXMLDOMSchemaCollection> {
    QL_INTERFACE_TABLE(CSchemaCache, QL_ENTRY_IID(IID_IXMLDOMSchemaCollection, IXMLDOMSchemaCollection),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMSchemaCollection), QL_ENTRY(ISupportErrorInfo))
public:
    CSchemaCache();
    ~CSchemaCache() override;

    const std::shared_ptr<msxml_core::SchemaCollection>& Collection() const noexcept { return collection_; }

    HRESULT STDMETHODCALLTYPE add(BSTR namespaceUri, VARIANT schema) noexcept override;
    HRESULT STDMETHODCALLTYPE get(BSTR namespaceUri, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE remove(BSTR namespaceUri) noexcept override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_namespaceURI(LONG index, BSTR* out) noexcept override;
    HRESULT STDMETHODCALLTYPE addCollection(IXMLDOMSchemaCollection* other) noexcept override;
    HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** out) noexcept override;

private:
    HRESULT AddFile(BSTR namespaceUri, BSTR location) noexcept;
    HRESULT AddDocument(BSTR namespaceUri, IUnknown* document) noexcept;
    HRESULT Fail(const msxml_core::ParseError& error) noexcept;

    std::shared_ptr<msxml_core::SchemaCollection> collection_;
};

}  // namespace msxml_standin
