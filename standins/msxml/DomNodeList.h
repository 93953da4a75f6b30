#pragma once
// CDomNodeList: IXMLDOMNodeList, either live over the children of a node (childNodes) or a fixed list of
// nodes (selectNodes, getElementsByTagName). It holds the document (so its nodes can be handed out as the
// document's node objects) and the tree of its nodes.
#include <windows.h>

#include <msxml2.h>

#include <memory>
#include <vector>

#include "classlib/ComObject.h"
#include "standins/common/DispatchStub.h"
#include "standins/msxml/core/Node.h"
#include "standins/msxml/core/Tree.h"

namespace msxml_standin {

class CDomDocument;

class CDomNodeList final : public ql::ComObjectBase<CDomNodeList>,
                           public standins::DispatchStub<IXMLDOMNodeList> {
    QL_INTERFACE_TABLE(CDomNodeList, QL_ENTRY_IID(IID_IXMLDOMNodeList, IXMLDOMNodeList),
                       QL_ENTRY_IID(IID_IDispatch, IXMLDOMNodeList))
public:
    static HRESULT CreateChildren(CDomDocument& owner, const std::shared_ptr<msxml_core::Tree>& tree,
                                  msxml_core::Node& parent, IXMLDOMNodeList** out) noexcept;
    static HRESULT CreateSnapshot(CDomDocument& owner, const std::shared_ptr<msxml_core::Tree>& tree,
                                  std::vector<msxml_core::Node*> nodes, IXMLDOMNodeList** out) noexcept;

    CDomNodeList(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node* parent,
                 std::vector<msxml_core::Node*> nodes) noexcept;
    ~CDomNodeList() override;

    HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* out) noexcept override;
    HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** out) noexcept override;
    HRESULT STDMETHODCALLTYPE reset() noexcept override;
    HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** out) noexcept override;

private:
    msxml_core::Node* At(size_t index) const noexcept;
    size_t Count() const noexcept;

    ql::ComPtr<CDomDocument> owner_;
    std::shared_ptr<msxml_core::Tree> tree_;
    msxml_core::Node* parent_;  // live list of its children; null for a fixed list
    std::vector<msxml_core::Node*> nodes_;
    size_t cursor_ = 0;  // nextNode's position
};

}  // namespace msxml_standin
