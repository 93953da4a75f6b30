#pragma once
// What every node object of the server stands for, and the IXMLDOMNode members they all share.
//
// A node object names one node of a core tree and the document object that owns the tree. As in MSXML, a node
// keeps its document alive: the node object holds a reference to the document object, never the other way
// round (the document only caches its node objects without owning them, so that the same node always comes
// back as the same COM object). The tree itself is shared: a node keeps the tree it belongs to even after
// the document loaded another one.
// The document object is a node too; its access names "the document node of whatever tree the document holds
// now" and holds no reference to itself.
// Threading: apartment-threaded like the rest of the server; no locks.
#include <windows.h>

#include <msxml2.h>

#include <memory>

#include "classlib/ComPtr.h"
#include "standins/msxml/NodeImporter.h"
#include "standins/msxml/core/Node.h"
#include "standins/msxml/core/Tree.h"

namespace msxml_standin {

class CDomDocument;

class NodeAccess {
public:
    // A node object of `owner` for `node` of `tree`; `self` is the node object's own IXMLDOMNode.
    NodeAccess(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node& node,
               IXMLDOMNode* self) noexcept;
    // The document object's own access.
    explicit NodeAccess(CDomDocument& self) noexcept;
    NodeAccess(const NodeAccess&) = delete;
    NodeAccess& operator=(const NodeAccess&) = delete;
    ~NodeAccess();

    CDomDocument& Owner() const noexcept { return *owner_; }
    msxml_core::Node& Target() const noexcept;
    const std::shared_ptr<msxml_core::Tree>& TargetTree() const noexcept;
    msxml_core::Tree& CoreTree() const noexcept { return *TargetTree(); }

    // Moves this node object onto `node` of another document (a node appended across documents is copied into
    // the other document's tree, and its node objects follow the copy).
    void Rebind(CDomDocument& owner, std::shared_ptr<msxml_core::Tree> tree, msxml_core::Node& node) noexcept;

    // ---- IXMLDOMNode ----
    HRESULT GetNodeName(BSTR* out) const noexcept;
    HRESULT GetNodeValue(VARIANT* out) const noexcept;
    HRESULT PutNodeValue(const VARIANT& value) noexcept;
    HRESULT GetNodeType(DOMNodeType* out) const noexcept;
    HRESULT GetParentNode(IXMLDOMNode** out) const noexcept;
    HRESULT GetChildNodes(IXMLDOMNodeList** out) const noexcept;
    HRESULT GetFirstChild(IXMLDOMNode** out) const noexcept;
    HRESULT GetLastChild(IXMLDOMNode** out) const noexcept;
    HRESULT GetPreviousSibling(IXMLDOMNode** out) const noexcept;
    HRESULT GetNextSibling(IXMLDOMNode** out) const noexcept;
    HRESULT GetAttributes(IXMLDOMNamedNodeMap** out) const noexcept;
    HRESULT InsertBefore(IXMLDOMNode* newChild, const VARIANT& reference, IXMLDOMNode** out) noexcept;
    HRESULT ReplaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild, IXMLDOMNode** out) noexcept;
    HRESULT RemoveChild(IXMLDOMNode* child, IXMLDOMNode** out) noexcept;
    HRESULT AppendChild(IXMLDOMNode* newChild, IXMLDOMNode** out) noexcept;
    HRESULT GetHasChildNodes(VARIANT_BOOL* out) const noexcept;
    HRESULT GetOwnerDocument(IXMLDOMDocument** out) const noexcept;
    HRESULT CloneNode(VARIANT_BOOL deep, IXMLDOMNode** out) noexcept;
    HRESULT GetNodeTypeString(BSTR* out) const noexcept;
    HRESULT GetText(BSTR* out) const noexcept;
    HRESULT PutText(BSTR text) noexcept;
    HRESULT GetSpecified(VARIANT_BOOL* out) const noexcept;
    HRESULT GetNodeTypedValue(VARIANT* out) const noexcept;
    HRESULT PutNodeTypedValue(const VARIANT& value) noexcept;
    HRESULT GetDataType(VARIANT* out) const noexcept;
    HRESULT PutDataType(BSTR name) noexcept;
    HRESULT GetXml(BSTR* out) const noexcept;
    HRESULT SelectNodes(BSTR expression, IXMLDOMNodeList** out) const noexcept;
    HRESULT SelectSingleNode(BSTR expression, IXMLDOMNode** out) const noexcept;
    HRESULT GetNamespaceUri(BSTR* out) const noexcept;
    HRESULT GetPrefix(BSTR* out) const noexcept;
    HRESULT GetBaseName(BSTR* out) const noexcept;

    // Hands out the node object of `node` (a node of this node's tree) as `iid`; S_FALSE and null for none.
    HRESULT HandOut(msxml_core::Node* node, REFIID iid, void** out) const noexcept;
    // The node list of the elements below this node named `tagName` ("*": all), in document order.
    HRESULT ElementsByTagName(BSTR tagName, IXMLDOMNodeList** out) const noexcept;

private:
    HRESULT InsertNode(NodeAccess& child, msxml_core::Node* reference, IXMLDOMNode** out) noexcept;

    ql::ComPtr<CDomDocument> ownerReference_;  // null in the document object's own access
    CDomDocument* owner_;
    std::shared_ptr<msxml_core::Tree> tree_;  // null in the document object's own access
    msxml_core::Node* node_;                  // null in the document object's own access
    IXMLDOMNode* self_;                       // the node object, as its document's cache knows it
};

// The access of a node object of this server behind `node`; null for a foreign object (another DOM
// implementation's node, a proxy) or a null pointer. No reference is added.
NodeAccess* NodeAccessFromUnknown(IUnknown* node) noexcept;

// Moves the node objects of `from` that name the sources of `pairs` onto their copies in `to` (a node
// appended to another document is copied into that document's tree, and its objects follow the copy).
void MoveNodeObjects(CDomDocument& from, const NodeImporter::NodePairs& pairs, CDomDocument& to,
                     const std::shared_ptr<msxml_core::Tree>& toTree) noexcept;

// Maps a refused tree edit onto MSXML's answers.
HRESULT HResultFromEdit(msxml_core::EditStatus status) noexcept;

}  // namespace msxml_standin
