#include "xml/SharedSchemaFiles.h"

#include <string_view>

#include "classlib/ApartmentShared.h"
#include "classlib/Bstr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/XmlClassObjects.h"

namespace {

HRESULT AddStraight(IXMLDOMSchemaCollection* collection, BSTR schemaNamespace, BSTR location) noexcept {
    ql::Variant where;
    QL_RETURN_IF_FAILED(where.SetBstr(location ? location : L""));
    return collection->add(schemaNamespace, *where.Get());
}

// A location with a scheme ("file:", "http:") is resolved by the collection itself, not as a path; a
// drive letter's colon is no scheme.
bool IsPlainPath(std::wstring_view location) noexcept {
    const size_t colon = location.find(L':');
    return !location.empty() && (colon == std::wstring_view::npos || colon == 1);
}

bool SameObject(IUnknown* a, IUnknown* b) noexcept {
    ql::ComPtr<IUnknown> identityA, identityB;
    return SUCCEEDED(a->QueryInterface(IID_IUnknown, identityA.PutVoid())) &&
           SUCCEEDED(b->QueryInterface(IID_IUnknown, identityB.PutVoid())) &&
           identityA.Get() == identityB.Get();
}

}  // namespace

CSharedSchemaFiles::Entry* CSharedSchemaFiles::Find(const std::wstring& path,
                                                    std::wstring_view schemaNamespace) noexcept {
    for (Entry& entry : entries_) {
        if (entry.schemaNamespace == schemaNamespace && ql::SamePath(entry.path, path)) return &entry;
    }
    return nullptr;
}

HRESULT CSharedSchemaFiles::AddTo(IXMLDOMSchemaCollection* collection, BSTR schemaNamespace,
                                  BSTR location) noexcept {
    QL_RETURN_HR_IF(E_POINTER, !collection);
    const std::wstring_view written(location ? location : L"", ::SysStringLen(location));
    std::wstring path;
    ql::FileStamp stamp;
    const bool known = ql::GuardComCall([&]() -> HRESULT {
                           return IsPlainPath(written) &&
                                          ql::FullPathOf(std::wstring(written).c_str(), path) &&
                                          ql::ReadFileStamp(path.c_str(), stamp)
                                      ? S_OK
                                      : S_FALSE;
                       }) == S_OK;
    if (!known) return AddStraight(collection, schemaNamespace, location);

    const std::wstring_view name(schemaNamespace ? schemaNamespace : L"", ::SysStringLen(schemaNamespace));
    if (Entry* entry = Find(path, name)) {
        if (entry->stamp == stamp) {
            if (collection->addCollection(entry->compiled.Get()) == S_OK) return S_OK;
            return AddStraight(collection, schemaNamespace, location);
        }
    }
    return Compile(collection, schemaNamespace, location, std::move(path), stamp);
}

HRESULT CSharedSchemaFiles::Compile(IXMLDOMSchemaCollection* collection, BSTR schemaNamespace, BSTR location,
                                    std::wstring path, const ql::FileStamp& stamp) noexcept {
    ql::ComPtr<IXMLDOMSchemaCollection> compiled;
    if (FAILED(CreateXmlObject(CLSID_XMLSchemaCache, CLSCTX_ALL, IID_IXMLDOMSchemaCollection,
                               compiled.PutVoid())) ||
        !compiled) {
        return AddStraight(collection, schemaNamespace, location);
    }
    // A class that hands out one collection for every request (a test's double) has compiled it into the
    // caller's collection already.
    if (SameObject(compiled.Get(), collection)) return AddStraight(collection, schemaNamespace, location);

    const HRESULT hr = AddStraight(compiled.Get(), schemaNamespace, location);
    const std::wstring_view name(schemaNamespace ? schemaNamespace : L"", ::SysStringLen(schemaNamespace));
    Entry* entry = Find(path, name);
    if (hr != S_OK) {
        // The file no longer compiles: nobody takes its old state from here any more.
        if (entry) entries_.erase(entries_.begin() + (entry - entries_.data()));
        return hr;
    }
    if (collection->addCollection(compiled.Get()) != S_OK)
        return AddStraight(collection, schemaNamespace, location);
    // The collection has the schema already; without memory to keep it, the next object compiles the file
    // again.
    (void)ql::GuardComCall([&]() -> HRESULT {
        if (entry) {
            entry->stamp = stamp;
            entry->compiled = std::move(compiled);
        } else {
            entries_.push_back({std::move(path), std::wstring(name), stamp, std::move(compiled)});
        }
        return S_OK;
    });
    return S_OK;
}

std::shared_ptr<CSharedSchemaFiles> HoldSharedSchemaFiles() noexcept {
    return ql::ApartmentShared<CSharedSchemaFiles>::Hold();
}
