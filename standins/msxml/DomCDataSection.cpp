#include "standins/msxml/DomCDataSection.h"

#include "classlib/HResult.h"

namespace msxml_standin {

HRESULT CDomCDataSection::splitText(LONG, IXMLDOMText** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace msxml_standin
