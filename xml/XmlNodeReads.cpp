#include "xml/XmlNodeReads.h"

#include "classlib/Bstr.h"
#include "classlib/ComPtr.h"
#include "classlib/HResult.h"
#include "classlib/Variant.h"
#include "values/VariantConversion.h"

namespace {

HRESULT CheckNodeAndPath(IXMLDOMNode* node, BSTR xpath) noexcept {
    if (!node) return E_POINTER;
    if (::SysStringLen(xpath) == 0) return E_INVALIDARG;
    return S_OK;
}

// S_OK with the node, E_FAIL when nothing is selected, or the selection's error code.
HRESULT SelectNode(IXMLDOMNode* node, BSTR xpath, ql::ComPtr<IXMLDOMNode>& selected) noexcept {
    const HRESULT hr = node->selectSingleNode(xpath, selected.Put());
    if (FAILED(hr)) return hr;
    return selected ? S_OK : E_FAIL;
}

// Reads and converts into `out`, which the caller has cleared.
HRESULT ReadSelectedValue(IXMLDOMNode* selected, VARTYPE vt, ql::Variant& out) noexcept {
    // An attribute's text for strings; for the other types the value typed by the document's schema.
    QL_RETURN_IF_FAILED(vt == VT_BSTR ? selected->get_nodeValue(out.Put())
                                      : selected->get_nodeTypedValue(out.Put()));
    QL_RETURN_IF_FAILED(ConvertVariantType(out.Get(), out.Get(), vt, 0, 0));
    return S_OK;
}

}  // namespace

HRESULT XmlGetNodeValue(IXMLDOMNode* node, BSTR xpath, VARIANT* value, VARTYPE vt) noexcept {
    QL_RETURN_IF_NULL_OUT(value);
    QL_RETURN_IF_FAILED(CheckNodeAndPath(node, xpath));
    ql::ComPtr<IXMLDOMNode> selected;
    QL_RETURN_IF_FAILED(SelectNode(node, xpath, selected));

    {
        // The caller's old value goes now, whatever the read gives.
        ql::Variant old;
        old.Attach(*value);
    }
    ql::Variant read;
    QL_RETURN_IF_FAILED(ReadSelectedValue(selected.Get(), vt, read));
    return read.Detach(value);
}

LONG XmlNodeExists(IXMLDOMNode* node, BSTR xpath) noexcept {
    if (FAILED(CheckNodeAndPath(node, xpath))) return 0;
    ql::ComPtr<IXMLDOMNode> selected;
    return SelectNode(node, xpath, selected) == S_OK ? 1 : 0;
}

HRESULT XmlGetNodeText(BSTR* text, bool* found, IXMLDOMNode* node, BSTR xpath) noexcept {
    QL_RETURN_IF_NULL_OUT(found);
    *found = false;
    QL_RETURN_IF_NULL_OUT(text);
    QL_RETURN_IF_FAILED(CheckNodeAndPath(node, xpath));
    if (!XmlNodeExists(node, xpath)) return S_OK;

    ql::Variant read;
    QL_RETURN_IF_FAILED(XmlGetNodeValue(node, xpath, read.Put(), VT_BSTR));
    ql::Bstr copy;
    QL_RETURN_IF_FAILED(copy.AssignCopy(read->bstrVal));
    *found = true;
    *text = copy.Detach();
    return S_OK;
}
