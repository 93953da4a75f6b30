#include "standins/msxml/DomText.h"

#include "classlib/HResult.h"

namespace msxml_standin {

HRESULT CDomText::splitText(LONG, IXMLDOMText** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace msxml_standin
