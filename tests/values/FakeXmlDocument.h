#pragma once
// A DOM document and attribute just large enough for attribute escaping: createAttribute, put_nodeValue and
// get_xml work, every other method fails the test. The attribute writes its XML as MSXML does for a
// double-quoted value (& < and " as entity references). References are counted, not freed, so a test can
// prove they balance.
#include <gtest/gtest.h>
#include <msxml2.h>

#include <string>
#include <vector>

#include "classlib/Bstr.h"

#define VARNOK_UNEXPECTED(name, ...)                       \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { \
        ADD_FAILURE() << "unexpected call of " #name;      \
        return E_NOTIMPL;                                  \
    }

template <class Interface>
class NodeStub : public Interface {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    VARNOK_UNEXPECTED(GetTypeInfoCount, UINT*)
    VARNOK_UNEXPECTED(GetTypeInfo, UINT, LCID, ITypeInfo**)
    VARNOK_UNEXPECTED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
    VARNOK_UNEXPECTED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
    VARNOK_UNEXPECTED(get_nodeName, BSTR*)
    VARNOK_UNEXPECTED(get_nodeValue, VARIANT*)
    VARNOK_UNEXPECTED(put_nodeValue, VARIANT)
    VARNOK_UNEXPECTED(get_nodeType, DOMNodeType*)
    VARNOK_UNEXPECTED(get_parentNode, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_childNodes, IXMLDOMNodeList**)
    VARNOK_UNEXPECTED(get_firstChild, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_lastChild, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_previousSibling, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_nextSibling, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_attributes, IXMLDOMNamedNodeMap**)
    VARNOK_UNEXPECTED(insertBefore, IXMLDOMNode*, VARIANT, IXMLDOMNode**)
    VARNOK_UNEXPECTED(replaceChild, IXMLDOMNode*, IXMLDOMNode*, IXMLDOMNode**)
    VARNOK_UNEXPECTED(removeChild, IXMLDOMNode*, IXMLDOMNode**)
    VARNOK_UNEXPECTED(appendChild, IXMLDOMNode*, IXMLDOMNode**)
    VARNOK_UNEXPECTED(hasChildNodes, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(get_ownerDocument, IXMLDOMDocument**)
    VARNOK_UNEXPECTED(cloneNode, VARIANT_BOOL, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_nodeTypeString, BSTR*)
    VARNOK_UNEXPECTED(get_text, BSTR*)
    VARNOK_UNEXPECTED(put_text, BSTR)
    VARNOK_UNEXPECTED(get_specified, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(get_definition, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_nodeTypedValue, VARIANT*)
    VARNOK_UNEXPECTED(put_nodeTypedValue, VARIANT)
    VARNOK_UNEXPECTED(get_dataType, VARIANT*)
    VARNOK_UNEXPECTED(put_dataType, BSTR)
    VARNOK_UNEXPECTED(get_xml, BSTR*)
    VARNOK_UNEXPECTED(transformNode, IXMLDOMNode*, BSTR*)
    VARNOK_UNEXPECTED(selectNodes, BSTR, IXMLDOMNodeList**)
    VARNOK_UNEXPECTED(selectSingleNode, BSTR, IXMLDOMNode**)
    VARNOK_UNEXPECTED(get_parsed, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(get_namespaceURI, BSTR*)
    VARNOK_UNEXPECTED(get_prefix, BSTR*)
    VARNOK_UNEXPECTED(get_baseName, BSTR*)
    VARNOK_UNEXPECTED(transformNodeToObject, IXMLDOMNode*, VARIANT)
};

class FakeAttribute final : public NodeStub<IXMLDOMAttribute> {
public:
    HRESULT valueRefusal = S_OK;  // what put_nodeValue answers; a failure leaves the value empty
    std::wstring value;

    HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT v) override {
        if (FAILED(valueRefusal)) return valueRefusal;
        EXPECT_EQ(VT_BSTR, V_VT(&v));
        value = v.bstrVal ? v.bstrVal : L"";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_xml(BSTR* xml) override {
        std::wstring text = L"test=\"";
        for (wchar_t c : value) {
            if (c == L'&')
                text += L"&amp;";
            else if (c == L'<')
                text += L"&lt;";
            else if (c == L'"')
                text += L"&quot;";
            else
                text += c;
        }
        text += L'"';
        *xml = ql::Bstr(text).Detach();
        return S_OK;
    }
    VARNOK_UNEXPECTED(get_name, BSTR*)
    VARNOK_UNEXPECTED(get_value, VARIANT*)
    VARNOK_UNEXPECTED(put_value, VARIANT)
};

class FakeDocument final : public NodeStub<IXMLDOMDocument> {
public:
    FakeAttribute attribute;
    std::vector<std::wstring> attributeNames;

    HRESULT STDMETHODCALLTYPE createAttribute(BSTR name, IXMLDOMAttribute** out) override {
        attributeNames.emplace_back(name ? name : L"");
        attribute.AddRef();
        *out = &attribute;
        return S_OK;
    }
    VARNOK_UNEXPECTED(get_doctype, IXMLDOMDocumentType**)
    VARNOK_UNEXPECTED(get_implementation, IXMLDOMImplementation**)
    VARNOK_UNEXPECTED(get_documentElement, IXMLDOMElement**)
    VARNOK_UNEXPECTED(putref_documentElement, IXMLDOMElement*)
    VARNOK_UNEXPECTED(createElement, BSTR, IXMLDOMElement**)
    VARNOK_UNEXPECTED(createDocumentFragment, IXMLDOMDocumentFragment**)
    VARNOK_UNEXPECTED(createTextNode, BSTR, IXMLDOMText**)
    VARNOK_UNEXPECTED(createComment, BSTR, IXMLDOMComment**)
    VARNOK_UNEXPECTED(createCDATASection, BSTR, IXMLDOMCDATASection**)
    VARNOK_UNEXPECTED(createProcessingInstruction, BSTR, BSTR, IXMLDOMProcessingInstruction**)
    VARNOK_UNEXPECTED(createEntityReference, BSTR, IXMLDOMEntityReference**)
    VARNOK_UNEXPECTED(getElementsByTagName, BSTR, IXMLDOMNodeList**)
    VARNOK_UNEXPECTED(createNode, VARIANT, BSTR, BSTR, IXMLDOMNode**)
    VARNOK_UNEXPECTED(nodeFromID, BSTR, IXMLDOMNode**)
    VARNOK_UNEXPECTED(load, VARIANT, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(get_readyState, __LONG32*)
    VARNOK_UNEXPECTED(get_parseError, IXMLDOMParseError**)
    VARNOK_UNEXPECTED(get_url, BSTR*)
    VARNOK_UNEXPECTED(get_async, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(put_async, VARIANT_BOOL)
    VARNOK_UNEXPECTED(abort)
    VARNOK_UNEXPECTED(loadXML, BSTR, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(save, VARIANT)
    VARNOK_UNEXPECTED(get_validateOnParse, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(put_validateOnParse, VARIANT_BOOL)
    VARNOK_UNEXPECTED(get_resolveExternals, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(put_resolveExternals, VARIANT_BOOL)
    VARNOK_UNEXPECTED(get_preserveWhiteSpace, VARIANT_BOOL*)
    VARNOK_UNEXPECTED(put_preserveWhiteSpace, VARIANT_BOOL)
    VARNOK_UNEXPECTED(put_onreadystatechange, VARIANT)
    VARNOK_UNEXPECTED(put_ondataavailable, VARIANT)
    VARNOK_UNEXPECTED(put_ontransformnode, VARIANT)
};
