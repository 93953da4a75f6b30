#pragma once
// CSharedSchemaFiles: the schema files that the XML handlers of one apartment thread have added, each
// compiled once into a schema collection of its own and shared from there. Every DTM object and control
// fills its handler's collection with the same FDT files; compiling them again for each (reading, parsing
// and compiling ten files) was most of what the environment step of a DTM cost. A handler now takes the
// compiled schema over with addCollection, which shares it, and a schema that one handler needed (a file
// named only by a document it loaded) is there for the next one without being read again.
//
// A file is known by its full path and namespace, and its stamp (size, creation and write times) must
// still be the one it was compiled from: a changed file is compiled anew for whoever adds it next, while
// the handlers that took the old one keep it, as they kept their own before. Locations that are no plain
// file path (a URL) go straight to the collection, as does everything when a shared copy cannot be made.
//
// Threading: one per apartment thread (ql::ApartmentShared); the XML handler of every DTM object and
// control holds its thread's, so the compiled schemas stay while any of them lives.
#include <windows.h>
#include <msxml2.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/ComPtr.h"
#include "classlib/FileStamp.h"

class CSharedSchemaFiles {
public:
    CSharedSchemaFiles() = default;
    CSharedSchemaFiles(const CSharedSchemaFiles&) = delete;
    CSharedSchemaFiles& operator=(const CSharedSchemaFiles&) = delete;

    // Adds the schema at `location` to `collection` under `schemaNamespace`, with the answer the
    // collection's own add would give for it: S_OK when it is there, else the add's code (with its error
    // information), the collection unchanged.
    HRESULT AddTo(IXMLDOMSchemaCollection* collection, BSTR schemaNamespace, BSTR location) noexcept;

private:
    struct Entry {
        std::wstring path;
        std::wstring schemaNamespace;
        ql::FileStamp stamp;
        ql::ComPtr<IXMLDOMSchemaCollection> compiled;  // holds this one schema only
    };

    // The entry of the file and namespace, null when there is none.
    Entry* Find(const std::wstring& path, std::wstring_view schemaNamespace) noexcept;
    // Compiles the file into a collection of its own, keeps it and hands it to `collection`.
    HRESULT Compile(IXMLDOMSchemaCollection* collection, BSTR schemaNamespace, BSTR location,
                    std::wstring path, const ql::FileStamp& stamp) noexcept;

    std::vector<Entry> entries_;
};

// Holds the calling thread's shared schema files; null when memory ran out (schemas are then added
// straight to each collection).
std::shared_ptr<CSharedSchemaFiles> HoldSharedSchemaFiles() noexcept;
