#include "values/XmlClassObjects.h"

#include <objbase.h>

#include "classlib/ApartmentShared.h"
#include "classlib/HResult.h"

HRESULT CXmlClassObjects::CreateInstance(REFCLSID classId, DWORD context, REFIID iid, void** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ql::ComPtr<IClassFactory> factory;
    for (const Entry& entry : entries_) {
        if (entry.context == context && ::IsEqualCLSID(entry.classId, classId)) factory = entry.factory;
    }
    if (!factory) {
        if (FAILED(::CoGetClassObject(classId, context, nullptr, IID_IClassFactory, factory.PutVoid())) ||
            !factory) {
            return ::CoCreateInstance(classId, nullptr, context, iid, out);
        }
        // Without room to keep it the class object still serves this call.
        (void)ql::GuardComCall([&]() -> HRESULT {
            entries_.push_back({classId, context, factory});
            return S_OK;
        });
    }
    return factory->CreateInstance(nullptr, iid, out);
}

std::shared_ptr<CXmlClassObjects> HoldXmlClassObjects() noexcept {
    return ql::ApartmentShared<CXmlClassObjects>::Hold();
}

HRESULT CreateXmlObject(REFCLSID classId, DWORD context, REFIID iid, void** out) noexcept {
    if (const std::shared_ptr<CXmlClassObjects> held = ql::ApartmentShared<CXmlClassObjects>::Peek())
        return held->CreateInstance(classId, context, iid, out);
    QL_RETURN_IF_NULL_OUT(out);
    return ::CoCreateInstance(classId, nullptr, context, iid, out);
}
