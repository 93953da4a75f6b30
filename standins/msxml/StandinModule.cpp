// The server's entry points: the module state, the two creatable classes and their registration.
#include <windows.h>

#include "classlib/ComModule.h"
#include "classlib/ComObject.h"
#include "classlib/ObjectMap.h"
#include "standins/msxml/ClassRegistration.h"
#include "standins/msxml/DomDocument.h"
#include "standins/msxml/SchemaCache.h"
#include "standins/msxml/StandinClassIds.h"

namespace {

HRESULT UpdateDomDocumentRegistration(BOOL doRegister) noexcept {
    return msxml_standin::UpdateInprocServerRegistration(CLSID_DOMDocument2, L"XML DOM Document",
                                                         doRegister != FALSE);
}

HRESULT UpdateSchemaCacheRegistration(BOOL doRegister) noexcept {
    return msxml_standin::UpdateInprocServerRegistration(CLSID_XMLSchemaCache, L"XML Schema Cache",
                                                         doRegister != FALSE);
}

const ql::ObjectMapEntry kObjectMap[] = {
    ql::MakeObjectEntry(CLSID_DOMDocument2, &UpdateDomDocumentRegistration,
                        &ql::CreateInstance<msxml_standin::CDomDocument>),
    ql::MakeObjectEntry(CLSID_XMLSchemaCache, &UpdateSchemaCacheRegistration,
                        &ql::CreateInstance<msxml_standin::CSchemaCache>),
    ql::ObjectMapEntry{},
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    return ql::ComModule::DllMain(instance, reason, kObjectMap, GUID_NULL);
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept {
    return ql::ComModule::Instance().GetClassObject(clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() noexcept {
    return ql::ComModule::Instance().CanUnloadNow();
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() noexcept {
    return ql::ComModule::Instance().RegisterServer(false);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() noexcept {
    return ql::ComModule::Instance().UnregisterServer(false);
}
