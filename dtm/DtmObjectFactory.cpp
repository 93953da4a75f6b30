#include "dtm/DtmObjectFactory.h"

#include "classlib/ComObject.h"
#include "dtm/DtmObject.h"

HRESULT CreateDtmObject(IUnknown* outer, REFIID iid, void** out) noexcept {
    return ql::CreateInstance<CDtmObject>(outer, iid, out);
}
