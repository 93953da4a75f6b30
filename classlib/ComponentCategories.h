#pragma once
// Registration of the component categories a class implements, through the system's category manager.
#include <windows.h>

#include "classlib/ObjectMap.h"

namespace ql {

// Registers (or removes) every category of `map` as implemented by `clsid`. A null or empty map answers S_OK.
// Removal also deletes the class's "Implemented Categories" key once it is empty.
HRESULT RegisterClassCategories(REFCLSID clsid, const CategoryMapEntry* map, bool doRegister) noexcept;

}  // namespace ql
