#include "classlib/ApartmentShared.h"

#include <objbase.h>

namespace ql {

DWORD CurrentApartmentKey() noexcept { return ::CoGetCurrentProcess(); }

}  // namespace ql
