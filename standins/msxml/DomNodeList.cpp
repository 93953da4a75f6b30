#include "standins/msxml/DomNodeList.h"

#include "classlib/HResult.h"
#include "standins/msxml/DomDocument.h"

namespace msxml_standin {

namespace mc = msxml_core;

namespace {

HRESULT Create(CDomDocument& owner, const std::shared_ptr<mc::Tree>& tree, mc::Node* parent,
               std::vector<mc::Node*> nodes, IXMLDOMNodeList** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ql::ComPtr<CDomNodeList> list;
    QL_RETURN_IF_FAILED(ql::MakeObject(list, owner, tree, parent, std::move(nodes)));
    *out = list.Detach();
    return S_OK;
}

}  // namespace

HRESULT CDomNodeList::CreateChildren(CDomDocument& owner, const std::shared_ptr<mc::Tree>& tree,
                                     mc::Node& parent, IXMLDOMNodeList** out) noexcept {
    return Create(owner, tree, &parent, {}, out);
}

HRESULT CDomNodeList::CreateSnapshot(CDomDocument& owner, const std::shared_ptr<mc::Tree>& tree,
                                     std::vector<mc::Node*> nodes, IXMLDOMNodeList** out) noexcept {
    return Create(owner, tree, nullptr, std::move(nodes), out);
}

CDomNodeList::CDomNodeList(CDomDocument& owner, std::shared_ptr<mc::Tree> tree, mc::Node* parent,
                           std::vector<mc::Node*> nodes) noexcept
    : owner_(&owner), tree_(std::move(tree)), parent_(parent), nodes_(std::move(nodes)) {}

CDomNodeList::~CDomNodeList() = default;

mc::Node* CDomNodeList::At(size_t index) const noexcept {
    if (parent_) return parent_->ChildAt(index);
    return index < nodes_.size() ? nodes_[index] : nullptr;
}

size_t CDomNodeList::Count() const noexcept { return parent_ ? parent_->ChildCount() : nodes_.size(); }

HRESULT CDomNodeList::get_item(LONG index, IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    if (index < 0) return S_FALSE;
    ql::ComPtr<IXMLDOMNode> node;
    const HRESULT hr = owner_->WrapNode(tree_, At(static_cast<size_t>(index)), node);
    *out = node.Detach();
    return hr;
}

HRESULT CDomNodeList::get_length(LONG* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = static_cast<LONG>(Count());
    return S_OK;
}

HRESULT CDomNodeList::nextNode(IXMLDOMNode** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ql::ComPtr<IXMLDOMNode> node;
    const HRESULT hr = owner_->WrapNode(tree_, At(cursor_), node);
    if (hr == S_OK) ++cursor_;
    *out = node.Detach();
    return hr;
}

HRESULT CDomNodeList::reset() noexcept {
    cursor_ = 0;
    return S_OK;
}

HRESULT CDomNodeList::get__newEnum(IUnknown** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

}  // namespace msxml_standin
