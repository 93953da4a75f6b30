#pragma once
// The class objects of the XML library's classes (DOMDocument, XMLSchemaCache) for one apartment thread.
// CoCreateInstance looks the class up in the registry on every call, which costs more than everything
// else of a small document load; with the class object held, every later creation on the thread is one
// call of its IClassFactory. The XML handler that every DTM object and control embeds holds the thread's
// set, so it stays while any of them lives and goes with the last one.
//
// Threading: one set per apartment thread (ql::ApartmentShared), used on that thread only.
#include <windows.h>
#include <unknwn.h>

#include <memory>
#include <vector>

#include "classlib/ComPtr.h"

class CXmlClassObjects {
public:
    CXmlClassObjects() = default;
    CXmlClassObjects(const CXmlClassObjects&) = delete;
    CXmlClassObjects& operator=(const CXmlClassObjects&) = delete;

    // A new object of `classId` (no outer object) through its class object, which the first call for the
    // class and context takes from COM. When COM gives no class object, the answer is CoCreateInstance's
    // own (and nothing is kept).
    HRESULT CreateInstance(REFCLSID classId, DWORD context, REFIID iid, void** out) noexcept;

private:
    struct Entry {
        CLSID classId;
        DWORD context;
        ql::ComPtr<IClassFactory> factory;
    };
    std::vector<Entry> entries_;
};

// Holds the calling thread's set; null when memory ran out (creations then take the plain way).
std::shared_ptr<CXmlClassObjects> HoldXmlClassObjects() noexcept;

// CoCreateInstance without an outer object: through the calling thread's set while something holds it,
// otherwise the plain way.
HRESULT CreateXmlObject(REFCLSID classId, DWORD context, REFIID iid, void** out) noexcept;
