#include "standins/msxml/SchemaCache.h"

#include <string>

#include "classlib/HResult.h"
#include "standins/msxml/ComErrorInfo.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/ResourceFile.h"
#include "standins/msxml/XmlText.h"
#include "standins/msxml/core/Limits.h"

namespace msxml_standin {

namespace mc = msxml_core;

CSchemaCache::CSchemaCache() : collection_(std::make_shared<mc::SchemaCollection>()) {}

CSchemaCache::~CSchemaCache() = default;

HRESULT CSchemaCache::Fail(const mc::ParseError& error) noexcept {
    const HRESULT hr = error.Failed() ? static_cast<HRESULT>(error.errorCode) : E_FAIL;
    return FailWithErrorInfo(hr, IID_IXMLDOMSchemaCollection, error.reason);
}

HRESULT CSchemaCache::add(BSTR namespaceUri, VARIANT schema) noexcept {
    const VARIANT* value = &schema;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF)) value = V_VARIANTREF(value);  // as script callers pass it
    if (!value) return E_INVALIDARG;
    switch (V_VT(value)) {
        case VT_BSTR:
            return AddFile(namespaceUri, V_BSTR(value));
        case VT_UNKNOWN:
            return AddDocument(namespaceUri, V_UNKNOWN(value));
        case VT_DISPATCH:
            return AddDocument(namespaceUri, V_DISPATCH(value));
        default:
            return E_INVALIDARG;
    }
}

HRESULT CSchemaCache::AddFile(BSTR namespaceUri, BSTR location) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        mc::ParseError error;
        std::wstring path;
        const std::wstring_view written = WideFromXml(XmlFromBstr(location));
        HRESULT hr = ResourceFile::ResolvePath(written, {}, path)
                         ? S_OK
                         : static_cast<HRESULT>(mc::codes::kObjectNotFound);
        std::string bytes;
        if (SUCCEEDED(hr)) hr = ResourceFile::ReadBytes(path, mc::kMaxDocumentBytes + 1, bytes);
        if (FAILED(hr)) {
            error.errorCode = static_cast<mc::ErrorCode>(hr);
            error.reason = mc::FormatReason(mc::codes::kObjectNotFound, XmlFromBstr(location));
            return Fail(error);
        }
        if (!collection_->AddFromBytes(XmlFromBstr(namespaceUri), bytes, error)) return Fail(error);
        return S_OK;
    });
}

HRESULT CSchemaCache::AddDocument(BSTR namespaceUri, IUnknown* document) noexcept {
    ql::ComPtr<CDomDocument> source;
    QL_RETURN_HR_IF(E_INVALIDARG, FAILED(ql::ObjectFromUnknown(document, source)));
    return ql::GuardComCall([&]() -> HRESULT {
        mc::ParseError error;
        if (!collection_->Add(XmlFromBstr(namespaceUri), source->CoreDocument().GetTree(), error))
            return Fail(error);
        return S_OK;
    });
}

HRESULT CSchemaCache::get(BSTR namespaceUri, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return ql::GuardComCall([&]() -> HRESULT {
        const std::shared_ptr<mc::Tree> tree = collection_->GetDocument(XmlFromBstr(namespaceUri));
        if (!tree) return S_FALSE;
        // The compiled schema is what validates; the caller gets a copy of its document to read.
        ql::ComPtr<CDomDocument> copy;
        QL_RETURN_IF_FAILED(ql::MakeObject(copy));
        QL_RETURN_IF_FAILED(copy->LoadCopyOf(*tree));
        ql::ComPtr<IXMLDOMElement> root;
        QL_RETURN_IF_FAILED(copy->get_documentElement(root.Put()));
        return root.QueryTo(IID_IXMLDOMNode, reinterpret_cast<void**>(out));
    });
}

HRESULT CSchemaCache::remove(BSTR namespaceUri) noexcept {
    return ql::GuardComCall([&]() -> HRESULT {
        (void)collection_->Remove(XmlFromBstr(namespaceUri));
        return S_OK;
    });
}

HRESULT CSchemaCache::get_length(LONG* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = static_cast<LONG>(collection_->Length());
    return S_OK;
}

HRESULT CSchemaCache::get_namespaceURI(LONG index, BSTR* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_INVALIDARG, index < 0 || static_cast<size_t>(index) >= collection_->Length());
    return BstrFromXml(collection_->NamespaceUriAt(static_cast<size_t>(index)), out);
}

HRESULT CSchemaCache::addCollection(IXMLDOMSchemaCollection* other) noexcept {
    ql::ComPtr<CSchemaCache> source;
    QL_RETURN_HR_IF(E_INVALIDARG, FAILED(ql::ObjectFromUnknown(other, source)));
    return ql::GuardComCall([&]() -> HRESULT {
        if (source.Get() != this) collection_->AddCollection(*source->Collection());
        return S_OK;
    });
}

HRESULT CSchemaCache::get__newEnum(IUnknown** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace msxml_standin
