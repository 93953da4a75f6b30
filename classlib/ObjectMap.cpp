#include "classlib/ObjectMap.h"

#include <utility>

#include "classlib/ClassFactory.h"
#include "classlib/ComModule.h"

namespace ql {

namespace {
// Constant-initialised, so it is null before the first static initialiser links an entry, whatever the
// order of initialisation across files.
const AutoObjectEntry* g_objectEntryHead = nullptr;
}  // namespace

AutoObjectEntry::AutoObjectEntry(ObjectMapEntry entry) noexcept
    : entry_(std::move(entry)), next_(g_objectEntryHead) {
    g_objectEntryHead = this;
}

const AutoObjectEntry* AutoObjectEntry::Head() noexcept { return g_objectEntryHead; }

const wchar_t* NoDescription() noexcept { return nullptr; }

void NoObjectMain(bool) noexcept {}

HRESULT CreateNotImplemented(IUnknown*, REFIID, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}

ObjectMapEntry MakeObjectEntry(const CLSID& clsid, UpdateRegistryFn updateRegistry,
                               CreateInstanceFn createInstance, CategoryMapFn categoryMap) noexcept {
    return ObjectMapEntry{&clsid, updateRegistry, &ClassFactory::Create, createInstance, nullptr,
                          0,      &NoDescription, categoryMap,           &NoObjectMain};
}

HRESULT UpdateRegistryFromResource(UINT scriptId, bool doRegister) noexcept {
    return ComModule::Instance().UpdateRegistryFromResource(scriptId, doRegister);
}

}  // namespace ql
