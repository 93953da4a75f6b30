#pragma once
// The node object class for each kind of node.
#include <windows.h>

#include <msxml2.h>

#include <memory>

#include "classlib/ComPtr.h"
#include "standins/msxml/core/Node.h"
#include "standins/msxml/core/Tree.h"

namespace msxml_standin {

class CDomDocument;

// A new node object of `owner` for `node` of `tree` (not a document node). E_NOTIMPL for a node kind the
// server offers no object for (document fragments: nothing creates them).
HRESULT CreateNodeWrapper(CDomDocument& owner, const std::shared_ptr<msxml_core::Tree>& tree,
                          msxml_core::Node& node, ql::ComPtr<IXMLDOMNode>& out) noexcept;

}  // namespace msxml_standin
