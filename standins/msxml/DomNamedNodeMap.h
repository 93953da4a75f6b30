#pragma once
// CDomNamedNodeMap: IXMLDOMNamedNodeMap, live over the attributes of one element. It holds the element's
// node object, which holds the document.
#include <windows.h>

#include <msxml2.h>

#include <memory>

#include "classlib/ComObject.h"
#include "standins/common/DispatchStub.h"
#include "standins/msxml/NodeAccess.h"

namespace msxml_standin {

class CDomNamedNodeMap final : public ql::ComObjectBase<CDomNamedNodeMap>,
                               public standins::DispatchStub<IXMLDOMNamedNodeMap> {
    QL_INTERFACE_TABLE(CDomNamedNodeMap, QL_ENTRY_IID(IID_IXMLDOMNamedNodeMap, IXMLDOMNamedNodeMap),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMNamedNodeMap))
public:
    static HRESULT Create(CDomDocument& owner, const std::shared_ptr<msxml_core::Tree>& tree,
                          msxml_core::Node& element, IXMLDOMNamedNodeMap** out) noexcept;

    CDomNamedNodeMap(ql::ComPtr<IXMLDOMNode> element, NodeAccess& access) noexcept;
    ~CDomNamedNodeMap() override;

    HRESULT STDMETHODCALLTYPE getNamedItem(BSTR name, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE setNamedItem(IXMLDOMNode* item, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE removeNamedItem(BSTR name, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* out) noexcept override;
    HRESULT STDMETHODCALLTYPE getQualifiedItem(BSTR baseName, BSTR namespaceUri,
                                               IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE removeQualifiedItem(BSTR baseName, BSTR namespaceUri,
                                                  IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE reset() noexcept override;
    HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** out) noexcept override;

private:
    HRESULT HandOutRemoved(msxml_core::Node* attribute, IXMLDOMNode** out) noexcept;

    ql::ComPtr<IXMLDOMNode> element_;  // keeps the element's object, and with it the access below, alive
    NodeAccess& access_;
    size_t cursor_ = 0;  // nextNode's position
};

}  // namespace msxml_standin
